#include "engine/disc/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/transcription/transcribe.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

TEST(GeometryTest, PinsLieWhereTheTableSays) {
  EXPECT_DOUBLE_EQ(PinTrackRadiusMm(0), 14.5);
  EXPECT_NEAR(PinTrackRadiusMm(29), 54.1333, 1e-4);
  EXPECT_EQ(PinTones.front(), 52);
  EXPECT_EQ(PinTones.back(), 100);
  for (int pin = 1; pin < kPinCount; ++pin) EXPECT_LE(PinTones[pin - 1], PinTones[pin]);
}

TEST(GeometryTest, OnlyTheOuterPinLiesOutsideTheScannedRing) {
  EXPECT_DOUBLE_EQ(kScanRingOuterRadiusMm, 54.0);
  EXPECT_GT(PinTrackRadiusMm(kPinCount - 1), kScanRingOuterRadiusMm);
  EXPECT_LT(PinTrackRadiusMm(kPinCount - 2), kScanRingOuterRadiusMm);
  EXPECT_GT(PinTrackRadiusMm(0), InnerRadiusMm);
}

// The reader must give every pin's track its own pin and key back, so that a disc laid out from
// this geometry reads as it was made.
TEST(GeometryTest, TheReaderFindsEachPinOnItsTrack) {
  testing::MemoryHost host;
  host.display.Resize(100, 100, 0);
  ScanState state;
  state.PixelsPerMm = 1.0;
  for (int pin = 0; pin < kPinCount; ++pin) {
    // Sector 1 stays empty; each note lies halfway round.
    state.NoteCount = pin + 1;
    state.NoteX[pin + 1] = -PinTrackRadiusMm(pin);
    state.NoteY[pin + 1] = 0.0;
  }
  TranscribeNotes(state, host);
  for (int pin = 0; pin < kPinCount; ++pin) {
    SCOPED_TRACE(pin);
    ASSERT_TRUE(state.NoteHasPin[pin + 1]);
    EXPECT_EQ(state.NotePitch[pin + 1], PinTones[pin]);
    const double turned = 0.5 - 1.0 / 48.0;
    const double lead = static_cast<double>(kTimeLead) / PinTrackRadiusMm(pin);
    EXPECT_EQ(state.NoteTime[pin + 1], std::lround((turned + lead) * kTicksPerTurn));
  }
}

}  // namespace
}  // namespace tivenor
