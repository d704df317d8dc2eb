#pragma once
// A disc laid out from a tune: every slot in millimetres, and every note of the tune either
// punched or left out with its reason.

#include <vector>

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

struct PunchedNote {
  double seconds = 0.0;
  int sourceKey = 0;
  int key = 0;  // on the disc, after transposing
  int pin = 0;
  int tick = 0;  // as the reader gives it: 3600 per turn from the start direction
  Slot slot;
};

enum class LeftOutReason {
  kNoPin,          // no pin plays the key
  kOuterPin,       // only the pin outside the scanned ring plays it
  kSameKeyAtOnce,  // the same key already sounds at that time
  kNoRoom,         // the slots of its pin or pins leave no room
};

struct LeftOutNote {
  double seconds = 0.0;
  int sourceKey = 0;
  int key = 0;  // after transposing
  LeftOutReason reason = LeftOutReason::kNoPin;
  int pin = -1;       // kNoRoom, kOuterPin: the pin tried
  int otherPin = -1;  // kNoRoom: the second pin of a key two pins play, -1 otherwise
};

struct DiscLayout {
  int transpose = 0;
  double ticksPerSecond = 0.0;  // tick = ticksPerSecond × seconds + tickAtZero, then rounded
  double tickAtZero = 0.0;
  std::vector<PunchedNote> notes;  // in time order
  std::vector<LeftOutNote> leftOut;
  // Drum notes are not part of the tune; they are counted, not listed.
  int drumNotes = 0;
};

}  // namespace tivenor
