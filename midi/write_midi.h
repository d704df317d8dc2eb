#pragma once
// The note event stream: transcribes the notes and builds and saves the MIDI file.

#include "analysis/host.h"
#include "analysis/scan_state.h"
#include "midi/midi_buffer.h"

namespace tivenor {

// Velocity byte of a key: 75 + (key - 52), rounded.
uint8_t VelocityOf(uint8_t key);

// TranscribeNotes, then the whole file in `buffer` (no file I/O).
void BuildMidi(ScanState& state, Host& host, MidiBuffer& buffer);

// BuildMidi, then SaveMidiFile beside the picture. The caller hands MidiFileName to playback.
void WriteMidi(ScanState& state, Host& host);

}  // namespace tivenor
