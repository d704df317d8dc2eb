#include "engine/reading/hole_shape.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

using testing::MemoryHost;

struct ShapeFixture {
  MemoryHost host;
  ScanState state;

  ShapeFixture() {
    state.CenterX = 300.0;
    state.CenterY = 300.0;
    state.MmPerPixel = 0.25;
    state.WorkBitmap.Resize(600, 600, 0);
  }
  void SetHole(const std::vector<PixelPoint>& pixels) {
    state.HolePixelCount = static_cast<int32_t>(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
      state.HolePixels[static_cast<int>(i) + 1] = pixels[i];
  }
  void SetRow(int32_t x0, int32_t x1, int32_t y) {
    std::vector<PixelPoint> pixels;
    for (int32_t x = x0; x <= x1; ++x) pixels.push_back({x, y});
    SetHole(pixels);
  }
  // The note point back in pixels.
  double PointX() const { return state.NoteX[state.NoteCount] / state.MmPerPixel + state.CenterX; }
  double PointY() const { return -state.NoteY[state.NoteCount] / state.MmPerPixel + state.CenterY; }
};

TEST(HoleToNoteTest, WorkedExampleAboveTheCentreTakesTheLeftEnd) {
  ShapeFixture f;
  f.SetRow(200, 211, 100);
  HoleToNote(f.state, f.host);
  ASSERT_EQ(f.state.NoteCount, 1);
  EXPECT_NEAR(f.state.NoteX[1], (205.5 - std::sqrt(39.0) - 300.0) * 0.25, 1e-12);
  EXPECT_NEAR(f.state.NoteX[1], -25.1862, 1e-4);
  EXPECT_EQ(f.state.NoteY[1], 50.0);
  EXPECT_EQ(f.host.messages, std::vector<std::string>{"# Music Notes = 1"});
  // Blue mark in (197, 98)-(201, 102).
  EXPECT_EQ(f.state.WorkBitmap.Pixel(198, 99), kBlue);
  EXPECT_EQ(f.state.WorkBitmap.Pixel(199, 101), kBlue);
  EXPECT_EQ(f.state.WorkBitmap.Pixel(197, 98), 0u);
  EXPECT_EQ(f.state.WorkBitmap.Pixel(201, 100), 0u);
}

TEST(HoleToNoteTest, MirroredBelowTheCentreTakesTheRightEnd) {
  ShapeFixture f;
  f.SetRow(200, 211, 500);
  HoleToNote(f.state, f.host);
  EXPECT_NEAR(f.PointX(), 211.7449, 1e-4);
  EXPECT_NEAR(f.PointY(), 500.0, 1e-9);
}

TEST(HoleToNoteTest, PointAlwaysLiesCounterClockwiseOfTheMean) {
  // Holes whose long axis runs around the centre: right of the centre the point is at the
  // upper end, left of it at the lower end.
  ShapeFixture right;
  right.SetHole({{500, 290}, {500, 291}, {500, 292}, {500, 293}, {500, 294}, {500, 295}});
  HoleToNote(right.state, right.host);
  EXPECT_LT(right.PointY(), 290.0);
  ShapeFixture left;
  left.SetHole({{100, 290}, {100, 291}, {100, 292}, {100, 293}, {100, 294}, {100, 295}});
  HoleToNote(left.state, left.host);
  EXPECT_GT(left.PointY(), 295.0);
}

TEST(HoleToNoteTest, ExtrapolationScalesTheOffsetBySquareRoot) {
  for (int e : {1, 9}) {
    ShapeFixture f;
    f.host.settings.extrapolation = e;
    f.SetRow(200, 211, 100);
    HoleToNote(f.state, f.host);
    EXPECT_NEAR(205.5 - f.PointX(), std::sqrt(13.0 * e), 1e-9) << e;
  }
}

TEST(HoleToNoteTest, DiagonalLineTakesItsAxisFromTheSecondFormula) {
  ShapeFixture f;
  f.state.CenterX = 100.0;
  f.state.CenterY = 0.0;
  f.SetHole({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
  HoleToNote(f.state, f.host);
  // lambda = 7: the point lies on the diagonal, sqrt(21) from the mean (2.5, 2.5).
  EXPECT_NEAR(f.PointX(), f.PointY(), 1e-9);
  EXPECT_NEAR(std::hypot(f.PointX() - 2.5, f.PointY() - 2.5), std::sqrt(21.0), 1e-9);
}

TEST(HoleToNoteTest, RoundHoleTakesTheDirectionOfRotation) {
  ShapeFixture f;
  std::vector<PixelPoint> square;
  for (int32_t y = 100; y < 104; ++y)
    for (int32_t x = 300; x < 304; ++x) square.push_back({x, y});
  f.SetHole(square);
  f.state.CenterX = 301.5;  // straight below the hole: counter-clockwise is to the left
  HoleToNote(f.state, f.host);
  ASSERT_EQ(f.state.NoteCount, 1);
  EXPECT_NEAR(f.PointX(), 301.5 - 2.0, 1e-9);  // sqrt(3 x 20/15) = 2
  EXPECT_NEAR(f.PointY(), 101.5, 1e-9);
}

TEST(HoleToNoteTest, HoleOnTheCentreOrOfFewerThanTwoPixelsMakesNoNote) {
  ShapeFixture f;
  f.SetHole({{299, 299}, {300, 299}, {299, 300}, {300, 300}});  // mean on (299.5, 299.5)
  f.state.CenterX = 299.5;
  f.state.CenterY = 299.5;
  HoleToNote(f.state, f.host);
  f.SetHole({{10, 10}});
  HoleToNote(f.state, f.host);
  f.SetHole({});
  HoleToNote(f.state, f.host);
  EXPECT_EQ(f.state.NoteCount, 0);
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(HoleToNoteTest, AxisPointingAtTheCentreKeepsTheMean) {
  ShapeFixture f;
  f.SetHole({{300, 100}, {300, 101}, {300, 102}, {300, 103}});  // straight above the centre
  HoleToNote(f.state, f.host);
  EXPECT_NEAR(f.PointX(), 300.0, 1e-9);
  EXPECT_NEAR(f.PointY(), 101.5, 1e-9);
}

TEST(HoleToNoteTest, NotesBeyondFiveHundredOverwriteTheLast) {
  ShapeFixture f;
  f.state.NoteCount = 500;
  f.state.NoteX[500] = 1234.0;
  f.SetRow(200, 211, 100);
  HoleToNote(f.state, f.host);
  EXPECT_EQ(f.state.NoteCount, 500);
  EXPECT_EQ(f.host.logLines, std::vector<std::string>{"ERROR: too many notes"});
  EXPECT_EQ(f.host.messages, std::vector<std::string>{"# Music Notes = 500"});
  EXPECT_NEAR(f.state.NoteX[500], -25.1862, 1e-4);
}

}  // namespace
}  // namespace tivenor
