#pragma once
// The synthesizer that playback and file rendering share: a General MIDI SoundFont at 44100 Hz
// playing one MIDI file held in memory. Every failure throws SoundError with
// FluidSynth's own description, or "Unknown error code" when it gave none.

#include <string>
#include <vector>

#include "adapters/sound/fluid_handles.h"

namespace tivenor {

inline constexpr int kSampleRate = 44100;

// Settings for the synth; the caller adds the audio output's own.
FluidSettings MakeSynthSettings();

// A synth with `soundFont` loaded.
FluidSynth MakeSynth(fluid_settings_t* settings, const std::string& soundFont);

// The whole MIDI file, read once so that the file is not held open while it plays.
std::vector<char> ReadMidiFile(const std::string& fileName);

// A player on `midiFile`, positioned at its start and not playing.
FluidPlayer MakePlayer(fluid_synth_t* synth, const std::vector<char>& midiFile);

// The version of the FluidSynth library in use, such as "2.3.1".
std::string FluidSynthVersion();

// Throws SoundError with what FluidSynth last logged.
[[noreturn]] void ThrowFluidFailure(const std::string& context);

}  // namespace tivenor
