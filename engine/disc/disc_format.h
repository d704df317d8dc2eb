#pragma once
// A disc format: everything about one kind of disc that reading it and making it depend on. A
// format is plain data; formats other than the built-in one come from format files (see
// docs/formats.md), read by the format-file adapter.
//
// Lengths are fractions of the rim radius, so that a picture, whose scale comes from the rim it
// shows, needs no millimetres; `diameterMm` gives them a size where it is known. Angles are
// degrees counter-clockwise from the picture's +x axis, as seen on the disc's face.

#include <cstdint>
#include <string>
#include <vector>

namespace tivenor {

enum class MusicDirection { kCounterClockwise, kClockwise };
enum class NoteKind {
  kPlucked,    // a note-on at the hole's leading end (a comb)
  kSustained,  // on at the leading edge, off at the trailing edge (reeds, a piano player)
};
enum class StartRule {
  kSectors,    // the first of `startSectors` sectors with no note (the built-in disc)
  kWidestGap,  // the widest angle without any slot on any track
  kAngle,      // a fixed angle, `startAngleDegrees`
  kLine,       // a printed radial start line, else the widest gap
};

// The slowest turn a format may give: an hour; anything longer is no playing speed.
inline constexpr double kLongestTurnSeconds = 3600.0;

struct SizeRange {
  double minimum = 0.0;
  double maximum = 0.0;
};

struct DiscFormat {
  std::string name;         // what --format takes: lower case, digits and '-'
  std::string title;        // for people: "Ariston organette disc, 24 tracks, 33 cm"
  double diameterMm = 0.0;  // 0 when the format does not know its size

  std::vector<double> trackRadii;  // centre of each track, innermost first
  std::vector<uint8_t> keys;       // the MIDI key of each track
  double ringInner = 0.0;          // holes are looked for only between these radii
  double ringOuter = 0.0;
  double labelRadius = 0.0;  // a printed label covers everything inside this; 0: none

  MusicDirection music = MusicDirection::kCounterClockwise;
  double turnSeconds = 0.0;  // one revolution at the usual playing speed
  StartRule start = StartRule::kWidestGap;
  int startSectors = 0;            // with kSectors
  double startAngleDegrees = 0.0;  // with kAngle
  NoteKind notes = NoteKind::kPlucked;
  int program = 0;  // General MIDI program, counted from 0

  SizeRange holeLength;  // typical slots: along the track
  SizeRange holeWidth;   // and across it
  // A note sounds later by timeLead / r turns, r its radius: the built-in disc's comb sits a little
  // behind the line its times are measured from.
  double timeLead = 0.0;
  double driveHoleRadius = 0.0;  // where drive holes are punched; 0: none
  int driveHoles = 0;

  int TrackCount() const { return static_cast<int>(trackRadii.size()); }
};

// The built-in disc: 114 mm, 30 pins, read as the program always has read it.
const DiscFormat& BuiltInDiscFormat();
bool IsBuiltIn(const DiscFormat& format);

}  // namespace tivenor
