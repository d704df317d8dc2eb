#pragma once
// Where a note of a punched disc lies: pin radius, direction from its tick, the start gap, and
// the notes as the engine should read them back. Millimetres from the disc centre, y upwards;
// directions in fractions of a revolution counter-clockwise from the +x axis.

#include <cstdint>
#include <vector>

namespace tivenor::testing {

inline constexpr int kTicksPerRevolution = 3600;
inline constexpr int kSectors = 24;
inline constexpr double kFirstPinRadiusMm = 14.5;
inline constexpr double kPinSpacingMm = 41.0 / 30.0;
inline constexpr double kTimeLeadMm = 0.4;  // the engine adds 0.4 / radius to a note's direction

struct DiscNote {
  int pin = 0;   // 0..29, pin 0 innermost
  int tick = 0;  // time from the start direction, 3600 per revolution
  friend bool operator==(const DiscNote&, const DiscNote&) = default;
};

struct ExpectedNote {
  int key = 0;
  int tick = 0;
  int pin = 0;
  friend bool operator==(const ExpectedNote&, const ExpectedNote&) = default;
};

struct MmPoint {
  double x = 0.0;
  double y = 0.0;
};

double PinRadiusMm(int pin);
// The lowest pin that plays the key; throws std::invalid_argument when no pin does.
int PinOfKey(int key);
DiscNote NoteOfKey(int key, int tick);

// Middle of sector `gapSector` (1..24), the direction from which ticks are counted.
double StartDirection(int gapSector);
// Direction of the note point of a note when the start gap is sector `gapSector`.
double NoteDirection(const DiscNote& note, int gapSector);
MmPoint NotePointMm(const DiscNote& note, int gapSector);

// Throws std::invalid_argument unless the engine can read the notes back as drawn: every tick
// reachable from its radius, no note near the gap sector, every sector before the gap held by a
// note well inside it, and slots on one pin apart by at least `holeLengthMm` plus `minimumGapMm`
// of arc. `marginMm` is the distance of arc a note keeps from a sector border.
void CheckDiscNotes(const std::vector<DiscNote>& notes, int gapSector, double holeLengthMm,
                    double minimumGapMm, double marginMm);

// The notes as the engine should find them, in time order (ties by key).
std::vector<ExpectedNote> ExpectedNotes(const std::vector<DiscNote>& notes);

}  // namespace tivenor::testing
