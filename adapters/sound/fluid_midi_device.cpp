#include "adapters/sound/fluid_midi_device.h"

#include <utility>

#include "adapters/sound/fluid_error_text.h"
#include "adapters/sound/fluid_synth_setup.h"
#include "adapters/sound/sound_font.h"

namespace tivenor {

std::vector<AudioOutput> DesktopAudioOutputs() {
  return {{"pulseaudio", ""}, {"alsa", ""}};
}

FluidMidiDevice::FluidMidiDevice(const std::string& midiFile, const std::string& soundFont,
                                 const std::vector<AudioOutput>& outputs)
    : midiFile_(ReadMidiFile(midiFile)), outputs_(outputs) {
  if (outputs_.empty()) throw NoSoundOutputError("No audio output configured");
  settings_ = MakeSynthSettings();
  synth_ = MakeSynth(settings_.get(), soundFont);
  StartOutput();
}

FluidMidiDevice::~FluidMidiDevice() {
  // The driver's thread runs the player: end it before the player and the synth go.
  driver_.reset();
  player_.reset();
}

void FluidMidiDevice::StartOutput() {
  driver_.reset();
  player_ = MakePlayer(synth_.get(), midiFile_);
  std::string firstFailure;
  for (const AudioOutput& output : outputs_) {
    fluid_settings_setstr(settings_.get(), "audio.driver", output.driver.c_str());
    if (!output.fileName.empty()) {
      fluid_settings_setstr(settings_.get(), "audio.file.name", output.fileName.c_str());
      fluid_settings_setstr(settings_.get(), "audio.file.type", "raw");
    }
    TakeFluidError();
    driver_.reset(new_fluid_audio_driver(settings_.get(), synth_.get()));
    if (driver_) return;
    const std::string reason = TakeFluidError();
    if (firstFailure.empty()) firstFailure = reason;
  }
  throw NoSoundOutputError(firstFailure.empty() ? kUnknownErrorCode : firstFailure);
}

void FluidMidiDevice::HaltPlayer() {
  fluid_player_stop(player_.get());
  fluid_synth_all_sounds_off(synth_.get(), -1);
  wantsToPlay_ = false;
}

bool FluidMidiDevice::PlayedToEnd() {
  return wantsToPlay_ && fluid_player_get_status(player_.get()) == FLUID_PLAYER_DONE;
}

void FluidMidiDevice::Play() {
  if (IsAtEnd() || IsPlaying()) return;
  paused_ = false;
  wantsToPlay_ = fluid_player_play(player_.get()) == FLUID_OK;
}

void FluidMidiDevice::Pause() {
  if (!IsPlaying()) return;
  HaltPlayer();
  paused_ = true;
}

bool FluidMidiDevice::Resume() {
  if (!paused_) return false;
  paused_ = false;
  wantsToPlay_ = fluid_player_play(player_.get()) == FLUID_OK;
  return wantsToPlay_;
}

void FluidMidiDevice::Stop() {
  if (PlayedToEnd()) atEnd_ = true;
  HaltPlayer();
  paused_ = false;
}

void FluidMidiDevice::SeekToStart() {
  HaltPlayer();
  paused_ = false;
  atEnd_ = false;
  // A fresh player stands at the start at once; a seek would only take effect once it plays, and
  // a player that reached the end has dropped its file.
  StartOutput();
}

void FluidMidiDevice::SeekToEnd() {
  HaltPlayer();
  paused_ = false;
  atEnd_ = true;
}

bool FluidMidiDevice::IsPlaying() {
  return wantsToPlay_ && fluid_player_get_status(player_.get()) == FLUID_PLAYER_PLAYING;
}

bool FluidMidiDevice::IsPaused() {
  return paused_;
}

bool FluidMidiDevice::IsAtEnd() {
  return atEnd_ || PlayedToEnd();
}

double FluidMidiDevice::PositionTicks() {
  if (IsAtEnd()) return fluid_player_get_total_ticks(player_.get());
  return fluid_player_get_current_tick(player_.get());
}

double FluidMidiDevice::LengthTicks() {
  // The player reads the file's tracks only once it plays; every later player has the same.
  if (lengthTicks_ == 0) lengthTicks_ = fluid_player_get_total_ticks(player_.get());
  return lengthTicks_;
}

MediaDeviceFactory FluidDeviceFactory(std::vector<AudioOutput> outputs) {
  return [outputs = std::move(outputs)](const std::string& fileName) {
    return std::unique_ptr<MediaDevice>(
        std::make_unique<FluidMidiDevice>(fileName, RequireSoundFont(), outputs));
  };
}

}  // namespace tivenor
