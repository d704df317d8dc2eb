#pragma once
// A disc laid out from a tune: every slot in millimetres, and every note of the tune either
// punched or left out with its reason.

#include <vector>

#include "engine/disc/disc_format.h"

namespace tivenor {

struct MmPoint {
  double x = 0.0;  // mm from the disc centre, to the right
  double y = 0.0;  // mm from the disc centre, upwards
};

// A straight slot whose counter-clockwise end is the note point the reader derives from it.
struct Slot {
  MmPoint centre;
  double axisRadians = 0.0;  // direction of its long side, counter-clockwise from +x
  double lengthMm = 0.0;
  double widthMm = 0.0;
  MmPoint notePoint;
};

// A slot on a disc of any other format: the part of its track's ring between two directions, in
// degrees counter-clockwise from +x. It runs counter-clockwise from `fromDegrees`, in [0, 360),
// to `toDegrees`, which may lie past 360.
struct ArcSlot {
  double radiusMm = 0.0;  // of the track's centre line
  double widthMm = 0.0;   // across the track
  double fromDegrees = 0.0;
  double toDegrees = 0.0;
};

struct PunchedNote {
  double seconds = 0.0;
  int sourceKey = 0;
  int key = 0;   // on the disc, after transposing
  int pin = 0;   // on other formats the track, 0 the innermost
  int tick = 0;  // as the reader gives it: 3600 per turn from the start direction
  Slot slot{};   // the built-in disc's
  // Other formats: the slot, its leading end in degrees from the start in the music's direction,
  // and the seconds it takes to pass, its note's sounding length where the notes are sustained.
  ArcSlot arc{};
  double degrees = 0.0;
  double lengthSeconds = 0.0;
};

enum class LeftOutReason {
  kNoPin,          // no pin plays the key
  kOuterPin,       // only the pin outside the scanned ring plays it
  kSameKeyAtOnce,  // the same key already sounds at that time
  kNoRoom,         // the slots of its pin or pins leave no room
  // Other formats:
  kNoTrack,        // no track plays the key
  kNoRoomOnTrack,  // the slots of its track or tracks leave no room
  kMerged,         // too close to the slot before it on its track: that slot now lasts to its end
  kPastTheEnd,     // its slot would reach past the end of the turn
};

struct LeftOutNote {
  double seconds = 0.0;
  int sourceKey = 0;
  int key = 0;  // after transposing
  LeftOutReason reason = LeftOutReason::kNoPin;
  int pin = -1;       // kNoRoom, kOuterPin: the pin tried; kNoRoomOnTrack, kMerged: the track
  int otherPin = -1;  // kNoRoom(OnTrack): the second pin or track of the key, -1 otherwise
};

// How a disc of a format other than the built-in one was laid out, and what was changed on the way.
struct FormatPlacement {
  double diameterMm = 0.0;
  double secondsPerTurn = 0.0;
  double startDegrees = 0.0;  // time counts from this direction, counter-clockwise from +x
  double slotWidthMm = 0.0;
  double shortestSlotMm = 0.0;  // along the track
  double webMm = 0.0;           // the least card left between two slots on one track
  double trackWebMm = 0.0;      // and between slots of neighbouring tracks
  int shortenedNotes = 0;       // to leave the web before the next slot on their track
  int lengthenedNotes = 0;      // shorter than the shortest slot
  int notesWithoutLength = 0;   // the tune gave no length: punched as short slots
  // From the end of the last slot round to the first, and the widest angle without a slot on any
  // track inside the tune: a reader that starts at the widest gap needs the first to be wider.
  double startGapDegrees = 0.0;
  double widestRestDegrees = 0.0;
};

struct DiscLayout {
  DiscFormat format = BuiltInDiscFormat();
  FormatPlacement placement;  // formats other than the built-in one
  int transpose = 0;
  double ticksPerSecond = 0.0;  // tick = ticksPerSecond × seconds + tickAtZero, then rounded
  double tickAtZero = 0.0;
  std::vector<PunchedNote> notes;  // in time order
  std::vector<LeftOutNote> leftOut;
  // Drum notes are not part of the tune; they are counted, not listed.
  int drumNotes = 0;
};

}  // namespace tivenor
