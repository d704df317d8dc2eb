#include "adapters/sound/sound_font.h"

#include <fstream>

#include "adapters/sound/sound_error.h"

namespace tivenor {

std::optional<std::string> FindSoundFont() {
  for (const char* candidate : kSoundFontCandidates) {
    if (std::ifstream(candidate, std::ios::binary).good()) return std::string(candidate);
  }
  return std::nullopt;
}

std::string NoSoundFontText() {
  std::string text = "No General MIDI SoundFont found (looked for";
  const char* separator = " ";
  for (const char* candidate : kSoundFontCandidates) {
    text += separator;
    text += candidate;
    separator = ", ";
  }
  return text + "); install the package fluid-soundfont-gm";
}

}  // namespace tivenor

namespace tivenor {

std::string RequireSoundFont() {
  const std::optional<std::string> found = FindSoundFont();
  if (!found) throw SoundError(NoSoundFontText());
  return *found;
}

}  // namespace tivenor
