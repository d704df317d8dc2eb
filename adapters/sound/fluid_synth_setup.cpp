#include "adapters/sound/fluid_synth_setup.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "adapters/sound/fluid_error_text.h"
#include "adapters/sound/sound_error.h"

namespace tivenor {

void ThrowFluidFailure(const std::string& context) {
  const std::string reason = TakeFluidError();
  if (reason.empty()) throw SoundError(kUnknownErrorCode);
  throw SoundError(context.empty() ? reason : context + ": " + reason);
}

std::string FluidSynthVersion() {
  return fluid_version_str();
}

FluidSettings MakeSynthSettings() {
  CaptureFluidErrors();
  TakeFluidError();  // a stale message must not explain this failure
  FluidSettings settings(new_fluid_settings());
  if (!settings) ThrowFluidFailure("");
  fluid_settings_setnum(settings.get(), "synth.sample-rate", kSampleRate);
  fluid_settings_setnum(settings.get(), "synth.gain", 0.5);
  // A music-box note rings out on its own; a reset at the end of the piece would cut it off.
  fluid_settings_setint(settings.get(), "player.reset-synth", 0);
  return settings;
}

FluidSynth MakeSynth(fluid_settings_t* settings, const std::string& soundFont) {
  FluidSynth synth(new_fluid_synth(settings));
  if (!synth) ThrowFluidFailure("");
  if (fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
    ThrowFluidFailure("Cannot load the SoundFont " + soundFont);
  }
  return synth;
}

std::vector<char> ReadMidiFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw SoundError("Cannot open " + fileName + ": " + std::strerror(errno));
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw SoundError("Cannot read " + fileName + ": " + std::strerror(errno));
  if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
    throw SoundError(fileName + " is not a MIDI file");
  }
  return bytes;
}

FluidPlayer MakePlayer(fluid_synth_t* synth, const std::vector<char>& midiFile) {
  FluidPlayer player(new_fluid_player(synth));
  if (!player) ThrowFluidFailure("");
  if (fluid_player_add_mem(player.get(), midiFile.data(), midiFile.size()) != FLUID_OK) {
    ThrowFluidFailure("");
  }
  return player;
}

}  // namespace tivenor
