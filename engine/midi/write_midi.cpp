#include "engine/midi/write_midi.h"

#include <array>
#include <cmath>

#include "engine/base/checked_math.h"
#include "engine/transcription/transcribe.h"

namespace tivenor {

namespace {

constexpr double VelocityBase = 75.0;
constexpr double VelocityScale = 1.0;
constexpr uint8_t kNoteOn = 0x90;

}  // namespace

uint8_t VelocityOf(uint8_t key) {
  const int64_t velocity =
      RoundHalfEven(static_cast<long double>(VelocityBase) + VelocityScale * (key - PinTones[0]));
  return static_cast<uint8_t>(velocity & 0xFF);
}

void WriteNoteEvents(const ScanState& state, MidiBuffer& buffer) {
  // One flag per distinct key: pins that share a key share the highest such pin's slot.
  CheckedTable<uint8_t, PinTones.front(), PinTones.back()> keySlot;
  std::array<bool, kPinCount> slotSounding{};
  for (int pin = 0; pin < kPinCount; ++pin) keySlot[PinTones[pin]] = static_cast<uint8_t>(pin);

  StartMidi(buffer);
  bool first = true;
  uint16_t previousTime = 0;
  for (int32_t place = 1; place <= state.NoteCount; ++place) {
    const int32_t note = state.NoteOrder[place];
    if (!state.NoteHasPin[note]) continue;  // a note without a key is logged, not played
    const uint8_t key = state.NotePitch[note];
    const uint8_t slot = keySlot[key];
    if (first) {
      AppendVarLen(buffer, state.NoteTime[note]);  // counted from the last set-up event
      buffer.AppendByte(kNoteOn);
    } else {
      AppendVarLen(buffer, CheckedSub(state.NoteTime[note], previousTime));
      if (slotSounding[slot]) {
        // Release the key at the very tick it is struck again.
        buffer.AppendByte(key);
        buffer.AppendByte(0x00);
        buffer.AppendByte(0x00);
      }
    }
    buffer.AppendByte(key);
    buffer.AppendByte(VelocityOf(key));
    slotSounding[slot] = true;
    previousTime = state.NoteTime[note];
    first = false;
  }
  FinishMidi(buffer);
  PatchTrackLength(buffer);
}

void BuildMidi(ScanState& state, Host& host, MidiBuffer& buffer) {
  TranscribeNotes(state, host);
  WriteNoteEvents(state, buffer);
}

void WriteMidi(ScanState& state, Host& host) {
  MidiBuffer buffer;
  BuildMidi(state, host, buffer);
  SaveMidiFile(state, buffer);
}

}  // namespace tivenor
