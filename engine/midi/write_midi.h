#pragma once
// The note event stream: transcribes the notes and builds and saves the MIDI file.

#include "engine/base/host.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

// Velocity byte of a key: 75 + (key - 52), rounded.
uint8_t VelocityOf(uint8_t key);

// The whole file from the transcribed tables: header, one note-on per keyed note in time order
// (a release before a repeated key), trailer and track length.
void WriteNoteEvents(const ScanState& state, MidiBuffer& buffer);

// TranscribeNotes, then WriteNoteEvents (no file I/O).
void BuildMidi(ScanState& state, Host& host, MidiBuffer& buffer);

// BuildMidi, then SaveMidiFile beside the picture. The caller hands MidiFileName to playback.
void WriteMidi(ScanState& state, Host& host);

}  // namespace tivenor
