#include "app/playback/midi_render.h"

#include "app/playback/fluid_synth_setup.h"
#include "app/playback/media_device.h"

namespace tivenor {

void RenderMidiFile(const RenderRequest& request) {
  const std::vector<char> midiFile = ReadMidiFile(request.midiFile);
  FluidSettings settings = MakeSynthSettings();
  fluid_settings_setstr(settings.get(), "audio.file.name", request.audioFile.c_str());
  fluid_settings_setstr(settings.get(), "audio.file.type", request.fileType.c_str());
  fluid_settings_setstr(settings.get(), "audio.file.format", "s16");
  fluid_settings_setstr(settings.get(), "audio.file.endian", "little");
  // The player must follow the rendered samples, not the wall clock.
  fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
  fluid_settings_setint(settings.get(), "synth.lock-memory", 0);

  FluidSynth synth = MakeSynth(settings.get(), request.soundFont);
  FluidPlayer player = MakePlayer(synth.get(), midiFile);
  FluidFileRenderer renderer(new_fluid_file_renderer(synth.get()));
  if (!renderer) ThrowFluidFailure("Cannot write " + request.audioFile);

  if (fluid_player_play(player.get()) != FLUID_OK) ThrowFluidFailure("");
  while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING) {
    if (fluid_file_renderer_process_block(renderer.get()) != FLUID_OK) {
      ThrowFluidFailure("Cannot write " + request.audioFile);
    }
  }
  int periodSize = 64;
  fluid_settings_getint(settings.get(), "audio.period-size", &periodSize);
  const auto tailBlocks = static_cast<long>(request.tailSeconds * kSampleRate / periodSize);
  for (long block = 0; block < tailBlocks; ++block) {
    if (fluid_file_renderer_process_block(renderer.get()) != FLUID_OK) {
      ThrowFluidFailure("Cannot write " + request.audioFile);
    }
  }
}

}  // namespace tivenor
