#pragma once
// Where the music stands on the disc while it plays. The disc turns so that its notes pass the
// comb in time order: the direction being played is the start line turned counter-clockwise by
// the share of the turn played so far.

#include <cstdint>
#include <vector>

#include "engine/reading/scan_state.h"

namespace tivenor {

struct PixelPointF {
  double x = 0.0;
  double y = 0.0;
};

// A note point on the picture and the time at which it sounds.
struct PlayheadNote {
  PixelPointF point;
  uint16_t time = 0;  // ticks from the start direction
};

// What a display needs to follow the music over a transcribed disc; a value of its own, so that
// it stays right while a later scan overwrites the scan state.
struct PlayheadMap {
  PixelPointF centre;
  double radius = 0.0;              // pixels, centre to rim
  double startAngle = 0.0;          // fraction of a revolution, counter-clockwise on the screen
  std::vector<PlayheadNote> notes;  // the notes that sound, in time order
};

// From the scan state as the transcription leaves it.
PlayheadMap MakePlayheadMap(const ScanState& state);

// Seconds from the start of a MIDI file of START at a position in ticks: its header sets 96 ticks
// to a quarter note of 600000 microseconds.
double MidiSecondsAt(double midiTicks);

// Disc time in ticks at a position of the MIDI file: note times count from the end of the
// file's set-up events; before that the disc stands at its start.
double DiscTicksAt(double midiTicks);

// The direction being played after `discTicks`, a fraction of a revolution in [0, 1).
double PlayheadAngle(const PlayheadMap& map, double discTicks);

// The rim end of the playhead line, in pixels (y downwards).
PixelPointF PlayheadEnd(const PlayheadMap& map, double discTicks);

// How many notes have sounded by `discTicks`: map.notes[0 .. n) have.
std::size_t NotesPlayed(const PlayheadMap& map, double discTicks);

}  // namespace tivenor
