#pragma once
// Renders a MIDI file through the synthesizer straight into an audio file, as fast as the
// machine allows and without any audio device: for checking what playback would sound like.

#include <string>

namespace tivenor {

struct RenderRequest {
  std::string midiFile;
  std::string soundFont;
  std::string audioFile;
  std::string fileType = "wav";  // "wav", or "raw" for bare samples
  double tailSeconds = 1.0;      // rendered after the piece ends, so the last notes ring out
};

// Output: 16-bit stereo at kSampleRate, little-endian. Throws MediaDeviceError.
void RenderMidiFile(const RenderRequest& request);

}  // namespace tivenor
