#pragma once
// The media device on FluidSynth: the player runs in the audio driver's thread, so playing
// needs nothing from the caller's thread.

#include <string>
#include <vector>

#include "adapters/sound/fluid_handles.h"
#include "adapters/sound/media_device.h"

namespace tivenor {

// Where the sound goes: a FluidSynth audio driver by name ("pulseaudio", "alsa", ...), or the
// "file" driver writing raw 16-bit stereo in real time to `fileName`.
struct AudioOutput {
  std::string driver;
  std::string fileName;
};

// The outputs of a desktop, tried in this order.
std::vector<AudioOutput> DesktopAudioOutputs();

class FluidMidiDevice : public MediaDevice {
 public:
  // Opens `midiFile` on the first output that works. Throws MediaDeviceError.
  FluidMidiDevice(const std::string& midiFile, const std::string& soundFont,
                  const std::vector<AudioOutput>& outputs);
  ~FluidMidiDevice() override;
  FluidMidiDevice(const FluidMidiDevice&) = delete;
  FluidMidiDevice& operator=(const FluidMidiDevice&) = delete;

  void Play() override;
  void Pause() override;
  bool Resume() override;
  void Stop() override;
  void SeekToStart() override;
  void SeekToEnd() override;
  bool IsPlaying() override;
  bool IsPaused() override;
  bool IsAtEnd() override;
  double PositionTicks() override;
  double LengthTicks() override;

 private:
  void StartOutput();  // a fresh player at the start of the piece, and the driver
  void HaltPlayer();   // stops the player and silences what still sounds
  bool PlayedToEnd();

  std::vector<char> midiFile_;
  std::vector<AudioOutput> outputs_;
  FluidSettings settings_;
  FluidSynth synth_;
  FluidPlayer player_;
  FluidAudioDriver driver_;  // declared last: it goes first, before the player it drives
  bool wantsToPlay_ = false;
  bool paused_ = false;
  bool atEnd_ = false;
  int lengthTicks_ = 0;  // known once a player has loaded the file
};

// Opens FluidMidiDevice on the first output that works, with the SoundFont found on the system.
MediaDeviceFactory FluidDeviceFactory(std::vector<AudioOutput> outputs);

}  // namespace tivenor
