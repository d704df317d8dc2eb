#pragma once
// Notes to music: turn to the start direction, times, pins and keys, time order.

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

void TranscribeNotes(ScanState& state, Host& host);

// NoteRank[j] := 0-based place of note j in time order; equal times keep note-number order.
void RankNotes(ScanState& state);

}  // namespace tivenor
