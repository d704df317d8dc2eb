#pragma once
// A disc's tune saved as a sound file, the format chosen by the file's extension.

#include <string>
#include <vector>

namespace tivenor {

// Renders `midiFile` into `soundFile` (".wav", ".flac" or ".ogg") with `soundFont`. An existing
// sound file is replaced only by a complete new one (engine/files/save_file.h). `soundFile` must
// be neither the MIDI file nor one of `keep` (the user's picture, say). Throws SoundError, or
// RunError when the file cannot be written, naming the file, and leaves no temporary file
// behind.
void SaveSoundFile(const std::string& midiFile, const std::string& soundFile,
                   const std::string& soundFont, const std::vector<std::string>& keep = {});

// The same for a tune held in memory: `midiBytes` are the whole MIDI file, which is not read
// again; `midiFile` names it, so that the sound never replaces it.
void SaveSoundFile(const std::vector<char>& midiBytes, const std::string& midiFile,
                   const std::string& soundFile, const std::string& soundFont,
                   const std::vector<std::string>& keep = {});

}  // namespace tivenor
