#include "adapters/format_file/format_fields.h"

#include <charconv>
#include <cmath>

#include "adapters/format_file/format_error.h"

namespace tivenor::format_file {

namespace {

// Longer values are cut in messages: a message stays one readable line.
constexpr std::size_t kLongestShownValue = 48;

bool IsPlainKey(const std::string& key) {
  if (key.empty()) return false;
  for (const char c : key) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-';
    if (!plain) return false;
  }
  return true;
}

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string CutShort(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0U) == 0x80U) --end;
  text.resize(end);
  return text + "...";
}

std::string QuotedList(std::span<const char* const> texts) {
  std::string list;
  for (const char* text : texts) {
    if (!list.empty()) list += ", ";
    list += std::string("\"") + text + "\"";
  }
  return list;
}

std::string PlainList(std::span<const char* const> texts) {
  std::string list;
  for (const char* text : texts) {
    if (!list.empty()) list += ", ";
    list += text;
  }
  return list;
}

}  // namespace

std::string ChildPath(const std::string& parent, const std::string& key) {
  // A key with spaces, dots or control characters is shown as JSON text, so that the path stays
  // one unambiguous line.
  const std::string shown = IsPlainKey(key) ? key : CutShort(Json(key).dump(), kLongestShownValue);
  return parent.empty() ? shown : parent + "." + shown;
}

std::string ItemPath(const std::string& parent, std::size_t index) {
  return parent + "[" + std::to_string(index) + "]";
}

std::string Shown(const Json& value) {
  // Invalid UTF-8 cannot reach here: the parser refuses it.
  return CutShort(value.dump(), kLongestShownValue);
}

std::string Shown(double number) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, number);
  return std::string(text, result.ptr);
}

void FieldCheck::Fail(const std::string& path, const std::string& what) const {
  const std::string file = "\"" + fileName_ + "\": ";
  throw FormatError(path.empty() ? file + what : file + path + ": " + what);
}

void FieldCheck::Object(const Json& value, const std::string& path,
                        std::span<const char* const> known) const {
  if (!value.is_object()) Fail(path, Shown(value) + " is not an object { ... }");
  for (const auto& [key, item] : value.items()) {
    bool found = false;
    for (const char* name : known) found = found || key == name;
    if (!found) Fail(ChildPath(path, key), "unknown field (known: " + PlainList(known) + ")");
  }
}

const Json& FieldCheck::Required(const Json& object, const std::string& path,
                                 const char* key) const {
  const Json* value = Optional(object, key);
  if (value == nullptr) Fail(ChildPath(path, key), "missing");
  return *value;
}

const Json* FieldCheck::Optional(const Json& object, const char* key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

double FieldCheck::Number(const Json& value, const std::string& path) const {
  if (!value.is_number()) Fail(path, Shown(value) + " is not a number");
  return value.get<double>();
}

int FieldCheck::WholeNumber(const Json& value, const std::string& path, int minimum, int maximum,
                            const char* meaning) const {
  const double number = Number(value, path);
  if (std::floor(number) != number) Fail(path, Shown(value) + " is not a whole number");
  if (number < minimum || number > maximum) {
    Fail(path, Shown(value) + " is not " + meaning + " (" + std::to_string(minimum) + " to " +
                   std::to_string(maximum) + ")");
  }
  return static_cast<int>(number);
}

std::string FieldCheck::Text(const Json& value, const std::string& path) const {
  if (!value.is_string()) Fail(path, Shown(value) + " is not a text in quotes");
  return value.get<std::string>();
}

const Json& FieldCheck::Array(const Json& value, const std::string& path) const {
  if (!value.is_array()) Fail(path, Shown(value) + " is not an array [ ... ]");
  return value;
}

std::array<double, 2> FieldCheck::Pair(const Json& value, const std::string& path,
                                       const char* shape) const {
  if (!value.is_array() || value.size() != 2) {
    Fail(path, Shown(value) + " is not a pair " + shape);
  }
  return {Number(value[0], ItemPath(path, 0)), Number(value[1], ItemPath(path, 1))};
}

std::size_t FieldCheck::Choice(const Json& value, const std::string& path,
                               std::span<const char* const> choices) const {
  if (value.is_string()) {
    const std::string& text = value.get_ref<const std::string&>();
    for (std::size_t index = 0; index < choices.size(); ++index) {
      if (text == choices[index]) return index;
    }
  }
  Fail(path, Shown(value) + " is not one of " + QuotedList(choices));
}

}  // namespace tivenor::format_file
