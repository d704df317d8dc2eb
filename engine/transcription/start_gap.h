#pragma once
// The start gap: the first of the 24 sectors, counter-clockwise from the positive x axis, that
// holds no note.

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

struct NotePoint {
  double x = 0.0;
  double y = 0.0;
};

// True when p lies inside the triangle v0 v1 v2 or on its border (no tolerance).
bool PointInTriangle(NotePoint p, NotePoint v0, NotePoint v1, NotePoint v2);

// Returns the start angle (fraction of a revolution) and draws the start line, or returns 0 and
// draws nothing when every sector holds a note.
double FindStartAngle(ScanState& state, Host& host);

}  // namespace tivenor
