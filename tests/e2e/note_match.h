#pragma once
// Compares the notes read from a MIDI file with the notes a disc was drawn from.

#include <string>
#include <vector>

#include "tests/support/disc_geometry.h"
#include "tests/support/midi_reader.h"

namespace tivenor::testing {

// A note point is known to about a pixel: the centre comes from whole edge pixels and each slot's
// ends are cut to pixels. 1.5 pixels of arc at the note's radius, plus one tick for the rounding
// of the time, is what a note may move; at 150 dpi that is 11 ticks on the innermost pin and 4 on
// the outermost.
int TickTolerance(int pin, double pixelsPerMm);

struct NoteComparison {
  std::string differences;  // one line per note missing, unexpected or too far off; empty if none
  int worstTickError = 0;   // largest |read - drawn| among matched notes
  double meanErrorPixels = 0.0;  // mean |read - drawn| of matched notes, as pixels of arc
};

// Note-ons with velocity above 0, their ticks counted from the set-up events that open the track:
// the disc's time 0 lies at the last event before the first note.
std::vector<MidiNote> DiscNotesOf(const MidiFile& midi);

// Quantisation errors average out well below half a pixel over many notes; a systematic error,
// such as a centre one pixel off, moves the notes by half a pixel of arc or more on average.
inline constexpr double kMeanErrorLimitPixels = 0.4;
inline constexpr int kNotesForMeanError = 10;

// Pairs every drawn note with a read note of the same key within its tolerance, nearest first;
// with enough notes, also reports a mean error above kMeanErrorLimitPixels.
NoteComparison CompareNotes(const std::vector<ExpectedNote>& drawn,
                            const std::vector<MidiNote>& read, double pixelsPerMm);

}  // namespace tivenor::testing
