#pragma once
// Where the maker puts a note: the reader's arithmetic run backwards. The reader counts time from
// the middle of the first empty sector; the maker keeps the first sector empty, so that is
// where time starts.

#include "engine/making/disc_layout.h"

namespace tivenor {

// Direction (revolutions) from which the reader will count time on a made disc.
double StartDirection();

// Direction of the note point that the reader turns into `tick` on `pin`.
double NotePointDirection(int tick, int pin);

// Revolutions a slot of this length covers on the pin's track.
double SlotSpan(double lengthMm, int pin);

// A straight slot along the direction of rotation, as a chord of the pin's track that ends, on
// its counter-clockwise side, at the note point. With the reader's hole length extrapolation of
// 3, the reader's note point of a uniform slot is its end: the mean plus √3 standard deviations
// of a uniform length, half that length.
Slot SlotForNote(int tick, int pin, double lengthMm, double widthMm);

}  // namespace tivenor
