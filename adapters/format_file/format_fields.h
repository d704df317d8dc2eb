#pragma once
// Taking a format file's JSON apart field by field: every value is checked for its type as it is
// taken, and anything wrong ends the reading with one line naming the file and the field, such as
// `"my.json": tracks.keys[3]: 130 is not a MIDI key (0 to 127)`.

#include <nlohmann/json.hpp>

#include <array>
#include <span>
#include <string>

namespace tivenor::format_file {

using Json = nlohmann::json;

// Where a value stands in the file: "tracks", "tracks.keys[3]"; "" for the whole file.
std::string ChildPath(const std::string& parent, const std::string& key);
std::string ItemPath(const std::string& parent, std::size_t index);

// A value as a message shows it: JSON text, cut short when long, always one line.
std::string Shown(const Json& value);
std::string Shown(double number);

class FieldCheck {
 public:
  explicit FieldCheck(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  // Throws FormatError: "\"file\": path: what", or "\"file\": what" for the whole file.
  [[noreturn]] void Fail(const std::string& path, const std::string& what) const;

  // `value` must be an object holding only fields named in `known`.
  void Object(const Json& value, const std::string& path, std::span<const char* const> known) const;
  // A field of an object already checked with Object().
  const Json& Required(const Json& object, const std::string& path, const char* key) const;
  static const Json* Optional(const Json& object, const char* key);

  double Number(const Json& value, const std::string& path) const;
  // A whole number from `minimum` to `maximum`; `meaning` names such a number for the message:
  // "130 is not a MIDI key (0 to 127)".
  int WholeNumber(const Json& value, const std::string& path, int minimum, int maximum,
                  const char* meaning) const;
  std::string Text(const Json& value, const std::string& path) const;
  const Json& Array(const Json& value, const std::string& path) const;
  // Two numbers; `shape` names them for the message: "[inner, outer]".
  std::array<double, 2> Pair(const Json& value, const std::string& path, const char* shape) const;
  // The index of the text in `choices` that `value` is.
  std::size_t Choice(const Json& value, const std::string& path,
                     std::span<const char* const> choices) const;

 private:
  std::string fileName_;
};

}  // namespace tivenor::format_file
