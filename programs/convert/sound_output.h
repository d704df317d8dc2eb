#pragma once
// The converter's --audio: the tune of the MIDI file just written, as a sound file.

#include <string>
#include <vector>

#include "programs/convert/run_files.h"

namespace tivenor::cli {

// Throws RunError before anything is written when the sound file would replace a picture of
// the run, a file it wrote, or something that is not a regular file.
void CheckSoundFile(const RunFiles& files, const std::string& picture,
                    const std::string& soundFile);

// Renders the MIDI file just written, from its bytes (`midiBytes`, written as `midiFile`), into
// `soundFile` with the SoundFont playback uses, after the same checks. Throws RunError or
// SoundError naming the file.
void WriteSoundFile(RunFiles& files, const std::string& picture, const std::string& midiFile,
                    const std::vector<char>& midiBytes, const std::string& soundFile);

}  // namespace tivenor::cli
