#include "adapters/format_file/json_text.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tivenor::format_file {

namespace {

// A format nests three levels; far deeper nesting is no format and would only cost stack later.
constexpr std::size_t kDeepestNesting = 32;

// The object or array the parser is in, to name a field given twice by its path.
struct Level {
  bool array = false;
  std::set<std::string> keys;  // an object's keys so far
  std::string key;             // the object's current key
  std::size_t items = 0;       // an array's elements so far
};

std::string PathOf(const std::vector<Level>& levels) {
  std::string path;
  for (const Level& level : levels) {
    path = level.array ? ItemPath(path, level.items) : ChildPath(path, level.key);
  }
  return path;
}

class NestedTooDeep {};

// The length of the UTF-8 sequence that starts `text` at `at`, or 0 where none does.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80U   ? 1
                             : lead < 0xC2U ? 0
                             : lead < 0xE0U ? 2
                             : lead < 0xF0U ? 3
                             : lead < 0xF5U ? 4
                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t next = at + 1; next < at + length; ++next) {
    if ((static_cast<unsigned char>(text[next]) & 0xC0U) != 0x80U) return 0;
  }
  return length;
}

// The parser quotes the bytes it last read, which may be no UTF-8: those are shown as "<FF>".
std::string ReadableText(std::string_view text) {
  std::string readable;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8Length(text, at);
    if (length == 0) {
      constexpr const char* kDigits = "0123456789ABCDEF";
      const auto byte = static_cast<unsigned char>(text[at]);
      readable += {'<', kDigits[byte >> 4U], kDigits[byte & 0xFU], '>'};
      ++at;
    } else {
      readable.append(text.substr(at, length));
      at += length;
    }
  }
  return readable;
}

// nlohmann's text is "[json.exception.parse_error.101] parse error at line 3, column 5: syntax
// error while parsing ..."; the message keeps what follows "parse error at ".
std::string SyntaxErrorText(const nlohmann::json::parse_error& error) {
  const std::string text = error.what();
  const std::string marker = "parse error at ";
  const std::size_t at = text.find(marker);
  std::string what = at == std::string::npos ? text : text.substr(at + marker.size());
  // The last token read is quoted in full; a long one would make the line unreadable.
  constexpr std::size_t kLongestSyntaxError = 160;
  if (what.size() > kLongestSyntaxError) what = what.substr(0, kLongestSyntaxError) + "...";
  return ReadableText(what);
}

// "line 3, column 5" of the byte at `offset`, counted from 1 as the parser counts.
std::string PlaceOf(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, offset);
  const std::size_t lineStart = before.rfind('\n');
  const auto line = std::count(before.begin(), before.end(), '\n') + 1;
  const std::size_t column = lineStart == std::string_view::npos ? offset + 1 : offset - lineStart;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

bool IsNumberCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
         c == '+' || c == '-' || c == '"';
}

// A number too large for a double ends the parse without a place ("number overflow parsing
// '1e400'"); the first such number standing alone in the text is the one.
std::string OverflowText(std::string_view text, const nlohmann::json::out_of_range& error) {
  const std::string what = error.what();
  const std::string marker = "parsing '";
  const std::size_t start = what.find(marker);
  const std::size_t end = what.rfind('\'');
  if (start == std::string::npos || end <= start + marker.size()) return ReadableText(what);
  const std::string number = what.substr(start + marker.size(), end - start - marker.size());
  for (std::size_t at = text.find(number); at != std::string_view::npos;
       at = text.find(number, at + 1)) {
    const std::size_t after = at + number.size();
    if ((at == 0 || !IsNumberCharacter(text[at - 1])) &&
        (after == text.size() || !IsNumberCharacter(text[after]))) {
      return PlaceOf(text, at) + ": the number " + number + " is too large";
    }
  }
  return "the number " + number + " is too large";
}

bool OnlySpace(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

Json ParseJsonText(std::string_view text, const FieldCheck& check) {
  if (OnlySpace(text)) check.Fail("", "the file is empty");
  std::vector<Level> levels;
  std::optional<std::string> givenTwice;
  const Json::parser_callback_t follow = [&](int /*depth*/, Json::parse_event_t event,
                                             Json& parsed) {
    using Event = Json::parse_event_t;
    switch (event) {
      case Event::object_start:
      case Event::array_start:
        if (levels.size() >= kDeepestNesting) throw NestedTooDeep();
        levels.push_back({event == Event::array_start, {}, {}, 0});
        break;
      case Event::key:
        levels.back().key = parsed.get<std::string>();
        if (!levels.back().keys.insert(levels.back().key).second && !givenTwice) {
          givenTwice = PathOf(levels);
        }
        break;
      case Event::value:
        if (!levels.empty() && levels.back().array) ++levels.back().items;
        break;
      case Event::object_end:
      case Event::array_end:
        levels.pop_back();
        if (!levels.empty() && levels.back().array) ++levels.back().items;
        break;
    }
    return true;
  };
  Json value;
  try {
    value = Json::parse(text, follow, /*allow_exceptions=*/true, /*ignore_comments=*/true);
  } catch (const Json::parse_error& error) {
    check.Fail("", SyntaxErrorText(error));
  } catch (const Json::out_of_range& error) {
    check.Fail("", OverflowText(text, error));
  } catch (const NestedTooDeep&) {
    check.Fail("",
               "nested deeper than " + std::to_string(kDeepestNesting) + " levels of [ ] and { }");
  }
  if (givenTwice) check.Fail(*givenTwice, "given twice");
  return value;
}

}  // namespace tivenor::format_file
