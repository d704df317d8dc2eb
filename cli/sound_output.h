#pragma once
// The converter's --audio: the tune of the MIDI file just written, as a sound file.

#include <string>

namespace tivenor::cli {

// Renders `midiFile` into `soundFile` with the SoundFont playback uses, never replacing
// `picture`. Throws SoundError naming the file.
void WriteSoundFile(const std::string& picture, const std::string& midiFile,
                    const std::string& soundFile);

}  // namespace tivenor::cli
