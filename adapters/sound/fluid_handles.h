#pragma once
// Owning handles for FluidSynth objects: each pairs new_fluid_* with its delete_fluid_*.

#include <fluidsynth.h>

#include <memory>

namespace tivenor {

template <typename T, void (*Delete)(T*)>
struct FluidDeleter {
  void operator()(T* handle) const {
    if (handle != nullptr) Delete(handle);
  }
};

using FluidSettings =
    std::unique_ptr<fluid_settings_t, FluidDeleter<fluid_settings_t, delete_fluid_settings>>;
using FluidSynth = std::unique_ptr<fluid_synth_t, FluidDeleter<fluid_synth_t, delete_fluid_synth>>;
using FluidPlayer =
    std::unique_ptr<fluid_player_t, FluidDeleter<fluid_player_t, delete_fluid_player>>;
using FluidAudioDriver =
    std::unique_ptr<fluid_audio_driver_t,
                    FluidDeleter<fluid_audio_driver_t, delete_fluid_audio_driver>>;
using FluidFileRenderer =
    std::unique_ptr<fluid_file_renderer_t,
                    FluidDeleter<fluid_file_renderer_t, delete_fluid_file_renderer>>;

}  // namespace tivenor
