#pragma once
// Renders a MIDI file through the synthesizer straight into a sound file, as fast as the machine
// allows and without any audio device: from the start of the piece to the end of its last
// note's sound.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tivenor {

enum class SoundFileType { kWav, kFlac, kOgg, kRaw };

// The type a sound file's name asks for: ".wav", ".flac" or ".ogg", in any case; nullopt for
// anything else.
std::optional<SoundFileType> SoundFileTypeFor(const std::string& fileName);

// The extensions SoundFileTypeFor knows, for messages: ".wav, .flac or .ogg".
const char* SoundFileExtensionsText();

struct RenderRequest {
  std::string midiFile;
  std::string soundFont;
  std::string audioFile;  // written directly: SaveSoundFile replaces a file safely
  std::string shownName;  // the name failures give, when audioFile stands in for another
  SoundFileType fileType = SoundFileType::kWav;
  // How long the last notes may ring after the piece's end before the sound is cut.
  double longestRingOutSeconds = 10.0;
};

// Stereo at kSampleRate: 16-bit for WAV, FLAC and raw (little-endian), Vorbis for Ogg. Returns
// the number of sample frames written. Throws SoundError.
int64_t RenderMidiFile(const RenderRequest& request);

// The same for a MIDI file held in memory: `midiBytes` are rendered as they are and
// request.midiFile is not read (a file replaced since it was written would be another tune).
int64_t RenderMidiBytes(const std::vector<char>& midiBytes, const RenderRequest& request);

}  // namespace tivenor
