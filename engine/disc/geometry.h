#pragma once
// The disc's geometry, shared by the reader and the maker so that the two can never drift apart:
// its size, the ring the reader scans, the pins with their keys and radii, the sectors of the
// start-gap search, and how a note's direction and radius become its time.
// Millimetres from the disc centre; directions in fractions of a revolution counter-clockwise
// from the positive x axis, y upwards.

#include <array>
#include <cstdint>

namespace tivenor {

inline constexpr double DiscDiameterMm = 114.0;
inline constexpr double EdgeMarginMm = 3.0;    // no hole is looked for this close to the rim
inline constexpr double InnerRadiusMm = 10.0;  // nor this close to the centre
inline constexpr int32_t SectorCount = 24;     // sectors tried by the start-gap search

inline constexpr double kRimRadiusMm = DiscDiameterMm * 0.5;
// The reader takes hole pixels only nearer the centre than this.
inline constexpr double kScanRingOuterRadiusMm = kRimRadiusMm - EdgeMarginMm;

inline constexpr int kPinCount = 30;

// MIDI key of each pin; pin 0 is the innermost track.
inline constexpr std::array<uint8_t, kPinCount> PinTones = {
    52, 59, 64, 66, 68, 71, 71, 73, 75, 76,  // pins 0 to 9
    78, 81, 83, 85, 87, 88, 88, 90, 90, 92,  // pins 10 to 19
    92, 93, 93, 94, 95, 95, 97, 97, 99, 100  // pins 20 to 29
};

// Pin p lies at kPinZeroRadiusMm + p × kPinSpanMm / kPinsPerSpan: 30 pins to every 41 mm.
inline constexpr long double kPinZeroRadiusMm = 14.5L;
inline constexpr long double kPinSpanMm = 41.0L;
inline constexpr long double kPinsPerSpan = 30.0L;
inline constexpr long double kOneOverPinSpanMm = 0.02439024390243902439L;  // 1 / 41

constexpr double PinTrackRadiusMm(int pin) {
  return static_cast<double>(kPinZeroRadiusMm + pin * kPinSpanMm / kPinsPerSpan);
}

// A note's time is (kTimeLead / radius + direction after the start) × kTicksPerTurn: the lead
// puts a note slightly later the nearer it lies to the centre.
inline constexpr long double kTimeLead = 0.4;  // the double nearest to 0.4
inline constexpr int kTicksPerTurn = 3600;
// 3600 ticks at 96 a quarter note of 0.6 s.
inline constexpr double kSecondsPerTurn = 22.5;
inline constexpr int kBuiltInProgram = 10;  // General MIDI, counted from 0: a music box

// Real slots of such discs: from small 1.1 x 0.45 mm ones to large 2.0 x 1.1 mm ones.
struct SlotSizeMm {
  double length;
  double width;
};
inline constexpr SlotSizeMm kSmallestSlotMm{1.1, 0.45};
inline constexpr SlotSizeMm kLargestSlotMm{2.0, 1.1};

}  // namespace tivenor
