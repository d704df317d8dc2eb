#pragma once
// The error of a format that cannot be used: a bad format file, or a name no format has. Its text
// is one line naming the file, the field and what is wrong with it.

#include <stdexcept>
#include <string>

namespace tivenor {

class FormatError : public std::runtime_error {
 public:
  explicit FormatError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace tivenor
