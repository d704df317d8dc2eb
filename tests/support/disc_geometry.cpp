#include "tests/support/disc_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "engine/reading/scan_state.h"

namespace tivenor::testing {
namespace {

double Wrap(double revolutions) {
  return revolutions - std::floor(revolutions);
}

// Distance between two directions, in revolutions, the short way round.
double Apart(double a, double b) {
  const double d = Wrap(a - b);
  return std::min(d, 1.0 - d);
}

// Fraction of the revolution left of a note's direction after the time lead.
double DirectionAfterStart(const DiscNote& note) {
  return static_cast<double>(note.tick) / kTicksPerRevolution - kTimeLeadMm / PinRadiusMm(note.pin);
}

std::string Describe(const DiscNote& note) {
  return "pin " + std::to_string(note.pin) + " tick " + std::to_string(note.tick);
}

}  // namespace

double PinRadiusMm(int pin) {
  return kFirstPinRadiusMm + pin * kPinSpacingMm;
}

int PinOfKey(int key) {
  for (int pin = 0; pin < kPinCount; ++pin) {
    if (PinTones[static_cast<std::size_t>(pin)] == key) return pin;
  }
  throw std::invalid_argument("no pin plays key " + std::to_string(key));
}

DiscNote NoteOfKey(int key, int tick) {
  return DiscNote{PinOfKey(key), tick};
}

double StartDirection(int gapSector) {
  return (2.0 * gapSector - 1.0) / (2.0 * kSectors);
}

double NoteDirection(const DiscNote& note, int gapSector) {
  return Wrap(StartDirection(gapSector) + DirectionAfterStart(note));
}

MmPoint NotePointMm(const DiscNote& note, int gapSector) {
  const double r = PinRadiusMm(note.pin);
  const double angle = 2.0 * std::numbers::pi * NoteDirection(note, gapSector);
  return {r * std::cos(angle), r * std::sin(angle)};
}

void CheckDiscNotes(const std::vector<DiscNote>& notes, int gapSector, double holeLengthMm,
                    double minimumGapMm, double marginMm) {
  if (gapSector < 1 || gapSector > kSectors) throw std::invalid_argument("gap sector out of range");
  const double halfSector = 0.5 / kSectors;
  for (const DiscNote& note : notes) {
    if (note.pin < 0 || note.pin >= kPinCount) {
      throw std::invalid_argument("no such pin: " + Describe(note));
    }
    const double circumference = 2.0 * std::numbers::pi * PinRadiusMm(note.pin);
    const double margin = marginMm / circumference;
    const double a = DirectionAfterStart(note);
    // The note must stay clear of both halves of the gap sector around the start direction.
    if (a < halfSector + margin || a > 1.0 - halfSector - margin) {
      throw std::invalid_argument("note in or next to the start gap: " + Describe(note));
    }
  }
  // The gap must be the first empty sector counted from the +x axis.
  for (int sector = 1; sector < gapSector; ++sector) {
    const bool held = std::any_of(notes.begin(), notes.end(), [&](const DiscNote& note) {
      const double margin = marginMm / (2.0 * std::numbers::pi * PinRadiusMm(note.pin));
      const double direction = NoteDirection(note, gapSector);
      return direction >= (sector - 1.0) / kSectors + margin &&
             direction <= static_cast<double>(sector) / kSectors - margin;
    });
    if (!held) {
      throw std::invalid_argument("sector " + std::to_string(sector) +
                                  " before the gap holds no note");
    }
  }
  for (std::size_t i = 0; i < notes.size(); ++i) {
    for (std::size_t j = i + 1; j < notes.size(); ++j) {
      if (notes[i].pin != notes[j].pin) continue;
      const double circumference = 2.0 * std::numbers::pi * PinRadiusMm(notes[i].pin);
      const double arc =
          Apart(NoteDirection(notes[i], gapSector), NoteDirection(notes[j], gapSector)) *
          circumference;
      if (arc < holeLengthMm + minimumGapMm) {
        throw std::invalid_argument("holes too close on one pin: " + Describe(notes[i]) + " and " +
                                    Describe(notes[j]));
      }
    }
  }
}

std::vector<ExpectedNote> ExpectedNotes(const std::vector<DiscNote>& notes) {
  std::vector<ExpectedNote> expected;
  expected.reserve(notes.size());
  for (const DiscNote& note : notes) {
    expected.push_back({PinTones.at(static_cast<std::size_t>(note.pin)), note.tick, note.pin});
  }
  std::sort(expected.begin(), expected.end(), [](const ExpectedNote& a, const ExpectedNote& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.key < b.key;
  });
  return expected;
}

}  // namespace tivenor::testing
