#include "engine/transcription/start_gap.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

using testing::MemoryHost;

TEST(PointInTriangleTest, BordersAndCornersCountAsInside) {
  const NotePoint v0{0, 0}, v1{10, 0}, v2{0, 10};
  EXPECT_TRUE(PointInTriangle({2, 2}, v0, v1, v2));
  EXPECT_TRUE(PointInTriangle({5, 0}, v0, v1, v2));
  EXPECT_TRUE(PointInTriangle({5, 5}, v0, v1, v2));
  EXPECT_TRUE(PointInTriangle({0, 0}, v0, v1, v2));
  EXPECT_TRUE(PointInTriangle({10, 0}, v0, v1, v2));
  EXPECT_FALSE(PointInTriangle({5, -1e-12}, v0, v1, v2));
  EXPECT_FALSE(PointInTriangle({5.0001, 5}, v0, v1, v2));
  EXPECT_FALSE(PointInTriangle({-1, 5}, v0, v1, v2));
}

struct GapFixture {
  MemoryHost host;
  ScanState state;

  GapFixture() {
    state.CenterX = 400.7;
    state.CenterY = 300.2;
    state.PixelsPerMm = 5.0;
    host.display.Resize(800, 600, 0);
  }
  void AddNoteAt(double degrees, double radius) {
    ++state.NoteCount;
    const double radians = degrees * M_PI / 180.0;
    state.NoteX[state.NoteCount] = std::cos(radians) * radius;
    state.NoteY[state.NoteCount] = std::sin(radians) * radius;
  }
  void OccupySectors(int first, int last) {
    for (int sector = first; sector <= last; ++sector) AddNoteAt(sector * 15.0 - 7.5, 40.0);
  }
  double Find() { return FindStartAngle(state, host); }
};

TEST(FindStartAngleTest, NoNotesGiveTheFirstSectorAndTheLine) {
  GapFixture f;
  EXPECT_NEAR(f.Find(), 1.0 / 48, 1e-15);
  ASSERT_EQ(f.host.startLines.size(), 1u);
  // From the truncated centre to the chord midpoint in pixels.
  EXPECT_EQ(f.host.startLines[0].first, (PixelPoint{400, 300}));
  EXPECT_EQ(f.host.startLines[0].second, (PixelPoint{681, 263}));
  EXPECT_EQ(f.host.display.Pixel(681, 263), kYellow);
}

TEST(FindStartAngleTest, ANoteInsideOrOnTheEdgeOfSectorOneMovesTheGap) {
  GapFixture inside;
  inside.AddNoteAt(3.0, 30.0);
  EXPECT_NEAR(inside.Find(), 3.0 / 48, 1e-15);

  GapFixture onEdge;
  onEdge.state.NoteCount = 1;
  onEdge.state.NoteX[1] = 30.0;
  onEdge.state.NoteY[1] = 0.0;
  EXPECT_NEAR(onEdge.Find(), 3.0 / 48, 1e-15);
}

TEST(FindStartAngleTest, ANoteBeyondTheChordDoesNotOccupyTheSector) {
  GapFixture f;
  f.AddNoteAt(7.5, 56.6);  // the chord passes 56.51 mm from the centre on the bisector
  EXPECT_NEAR(f.Find(), 1.0 / 48, 1e-15);
}

TEST(FindStartAngleTest, LastSectorAndNoGap) {
  GapFixture last;
  last.OccupySectors(1, 23);
  EXPECT_NEAR(last.Find(), 47.0 / 48, 1e-15);

  GapFixture full;
  full.OccupySectors(1, 24);
  const Raster before = full.host.display;
  EXPECT_EQ(full.Find(), 0.0);
  EXPECT_TRUE(full.host.startLines.empty());
  EXPECT_EQ(full.host.display.pixels, before.pixels);
}

TEST(FindStartAngleTest, TheFirstEmptySectorWinsOverAWiderLaterGap) {
  GapFixture f;
  f.OccupySectors(1, 4);
  f.OccupySectors(6, 8);  // sector 5 empty, sectors 9 to 24 empty as well
  EXPECT_NEAR(f.Find(), 9.0 / 48, 1e-15);
}

TEST(FindStartAngleTest, ANoteExactlyOnAnAxisFallsInTheSectorTheStepDecides) {
  // The step is the double just above pi/12, so six steps end slightly past the positive y axis:
  // (0, 40) lies inside sector 6 and outside sector 7. With the double just below, it would be
  // the other way round and the gap would be sector 6.
  GapFixture f;
  f.OccupySectors(1, 5);
  f.state.NoteCount += 1;
  f.state.NoteX[f.state.NoteCount] = 0.0;
  f.state.NoteY[f.state.NoteCount] = 40.0;
  EXPECT_NEAR(f.Find(), 13.0 / 48, 1e-15);
}

}  // namespace
}  // namespace tivenor
