#pragma once
// Where the General MIDI SoundFont comes from: the places Debian's packages install one.

#include <array>
#include <optional>
#include <string>

namespace tivenor {

inline constexpr std::array<const char*, 2> kSoundFontCandidates = {
    "/usr/share/sounds/sf2/default-GM.sf2",  // the system's chosen GM font
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",  // fluid-soundfont-gm itself
};

// The first candidate that is a readable file.
std::optional<std::string> FindSoundFont();

// The failure text when no candidate exists.
std::string NoSoundFontText();

// FindSoundFont, or SoundError(NoSoundFontText()) when there is none.
std::string RequireSoundFont();

}  // namespace tivenor
