#pragma once
// Failures of the synthesizer and of sound output, in FluidSynth's own words where it gave any.

#include <stdexcept>
#include <string>

namespace tivenor {

inline constexpr const char* kUnknownErrorCode = "Unknown error code";

class SoundError : public std::runtime_error {
 public:
  explicit SoundError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace tivenor
