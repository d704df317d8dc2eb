#pragma once
// The one error type of a run: it ends the running command with a text the user can act on.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tivenor {

inline constexpr const char* kRangeCheckError = "Range check error";
inline constexpr const char* kIntegerOverflow = "Integer overflow";
inline constexpr const char* kInvalidFloatOperation = "Invalid floating point operation";
inline constexpr const char* kFloatDivisionByZero = "Floating point division by zero";
inline constexpr const char* kFloatOverflow = "Floating point overflow";
inline constexpr const char* kNoDiscFound = "No disc found in the picture";
inline constexpr const char* kDiskFull = "Disk full";

class RunError : public std::runtime_error {
 public:
  explicit RunError(const std::string& text) : std::runtime_error(text) {}
};

// An input/output failure: the platform's text for errno (kDiskFull for ENOSPC), naming the
// file.
[[noreturn]] void ThrowIoError(const std::string& fileName, int errorNumber);

}  // namespace tivenor
