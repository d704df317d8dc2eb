#pragma once
// The discs the maker's round trips are made in: each bundled format, and a format file of our
// own that differs from both in diameter, track count, direction and start rule; with a tune for
// each as a MIDI song that the maker lays out as it is, and how far the notes read back lie from
// the song's, in degrees of the turn.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/disc/disc_format.h"
#include "tests/e2e/format_tunes.h"
#include "tests/e2e/temp_folder.h"
#include "tests/punch/punch_run.h"
#include "tests/support/midi_writer.h"

namespace tivenor::testing {

struct MadeFormat {
  std::string name;         // in test names
  std::string argument;     // what --format takes: a name, or the file written by WriteFormatFile
  std::string fileText;     // a format file of our own; empty for a bundled format
  double diameterMm = 0.0;  // given with --diameter; 0: the format's own
  bool bundled = true;      // --format auto knows it
};

std::vector<MadeFormat> MadeFormats();

// The format file written into `folder`, if the format has one, and the format as the programs
// read it.
DiscFormat PrepareFormat(const MadeFormat& made, const TempFolder& folder);

// The disc's diameter as made, in millimetres.
double DiameterMm(const MadeFormat& made, const DiscFormat& format);

// The options that make the disc: the format, its diameter, no transposing.
std::string PunchFormatArguments(const MadeFormat& made);

// A tune of chords and runs over every track, neighbouring tracks sounding together, each note
// long enough for the shortest slot and apart from the last on its track by more than the web
// the maker leaves, so that the maker punches every note as the song gives it.
struct FormatSong {
  Song song;
  std::vector<TuneNote> notes;  // as the MIDI file gives them, the first at 0 s
};
// `diameterMm`: the disc's as made.
FormatSong SongFor(const DiscFormat& format, double diameterMm, uint32_t seed);

// The song's notes in degrees from the reading's time 0: the first slot where the reader starts
// at the widest gap, the start line where it is a fixed angle or the reader found it printed.
std::vector<DegreeNote> ExpectedOfSong(const FormatSong& song, const DiscFormat& format,
                                       bool fromPrintedLine = false);

// How far a note read back may lie from the song's, in degrees of the turn, on a picture with
// `pixelsPerRim` pixels to the rim's radius: a slot's ends are found to about a pixel, which spans
// the most degrees on the innermost track; 0.05 degrees more for the MIDI file's ticks and the
// rim's fit. 0.19 to 0.27 degrees at 150 dpi, 0.09 to 0.10 at 600 dpi on the discs here.
double ToleranceDegrees(const DiscFormat& format, double pixelsPerRim);

// The notes of a MIDI file the converter wrote, against the song's.
TuneComparison CompareWithSong(const std::string& midiFile, const FormatSong& song,
                               const DiscFormat& format, double toleranceDegrees,
                               bool fromPrintedLine = false);

// What `--format auto` made of the disc that was also read by the format's name into
// named.mid: a bundled format is named and read to the same bytes (chosen.mid); any other is
// refused, naming the closest, with nothing written.
void ExpectAutoAgreesWithTheName(const ProgramRun& chosen, const DiscFormat& format, bool bundled,
                                 const TempFolder& folder);

}  // namespace tivenor::testing
