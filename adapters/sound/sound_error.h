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

// No audio output could be opened (no sound server, no sound card): the tune can still be
// rendered to a file. what() is the sound system's own description.
class NoSoundOutputError : public SoundError {
 public:
  using SoundError::SoundError;
};

}  // namespace tivenor
