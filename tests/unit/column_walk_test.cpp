// The column walk reads the picture in memory order and skips what cannot seed a note; it must
// find exactly what a plain walk down every column finds, in the same order.

#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "engine/reading/hole_scan.h"
#include "engine/reading/hole_shape.h"
#include "engine/reading/outline.h"
#include "engine/reading/oversize_log.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

using testing::MemoryHost;

void PlainColumnWalk(ScanState& state, Host& host) {
  const int threshold = host.Threshold();
  PrepareWorkBitmap(state, host);
  FindMidpointDiameter(state, host);
  state.NoteCount = 0;
  state.Rejected = {};
  state.OversizePixels = 0;
  FillQueue queue;
  for (int32_t x = state.EdgeLeft.x; x <= state.EdgeRight.x; ++x) {
    const WalkedStretch rows = WalkedRows(state, x);
    for (int32_t y = rows.first; y <= rows.last; ++y) {
      if (static_cast<int>(state.WorkBitmap.Pixel(x, y) & 0xFF) > threshold &&
          FillHole(state, host, queue, x, y)) {
        HoleToNote(state, host);
      }
    }
  }
  LogOversizeLeftOut(state, host);
  host.TakeBitmap(std::exchange(state.WorkBitmap, Raster{}));
}

// A dark elliptic disc with light blobs of every size scattered over it, some crossing the
// ring's borders, some touching each other, and light specks.
Raster RandomDisc(uint32_t seed, int32_t width, int32_t height, double radiusX, double radiusY) {
  std::mt19937 random(seed);
  Raster picture;
  picture.Resize(width, height, 0xE0E0E0);
  const double cx = width / 2.0, cy = height / 2.0;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const double u = (x + 0.5 - cx) / radiusX, v = (y + 0.5 - cy) / radiusY;
      if (u * u + v * v <= 1.0) picture.SetPixel(x, y, 0x202020);
    }
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int blob = 0; blob < 250; ++blob) {
    const int32_t x = static_cast<int32_t>(unit(random) * width);
    const int32_t y = static_cast<int32_t>(unit(random) * height);
    const int32_t w = 1 + static_cast<int32_t>(unit(random) * 14);
    const int32_t h = 1 + static_cast<int32_t>(unit(random) * 14);
    FillEllipse(picture, x, y, x + w, y + h, 0xF0F0F0);
  }
  for (int speck = 0; speck < 400; ++speck) {
    picture.SetPixel(static_cast<int32_t>(unit(random) * width),
                     static_cast<int32_t>(unit(random) * height), 0x0000FF);
  }
  return picture;
}

struct Outcome {
  ScanState state;
  MemoryHost host;
};

void ExpectSameOutcome(const Raster& picture, int minimum, int maximum) {
  MemoryHost fastHost(picture), plainHost(picture);
  fastHost.settings.minimum = plainHost.settings.minimum = minimum;
  fastHost.settings.maximum = plainHost.settings.maximum = maximum;
  ScanState fast, plain;
  ScanDisc(fast, fastHost);
  PlainColumnWalk(plain, plainHost);

  ASSERT_EQ(fast.NoteCount, plain.NoteCount);
  EXPECT_GT(fast.NoteCount, 0);
  for (int32_t j = 1; j <= fast.NoteCount; ++j) {
    ASSERT_EQ(fast.NoteX[j], plain.NoteX[j]) << "note " << j;
    ASSERT_EQ(fast.NoteY[j], plain.NoteY[j]) << "note " << j;
  }
  EXPECT_EQ(fastHost.display.pixels, plainHost.display.pixels);
  EXPECT_EQ(fastHost.messages, plainHost.messages);
  EXPECT_EQ(fastHost.logLines, plainHost.logLines);
  EXPECT_EQ(fast.Rejected.tooSmall, plain.Rejected.tooSmall);
  EXPECT_EQ(fast.Rejected.tooLarge, plain.Rejected.tooLarge);
}

TEST(ColumnWalkTest, FindsWhatAPlainWalkFindsInTheSameOrder) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    ExpectSameOutcome(RandomDisc(seed, 400, 380, 180, 175), 2, 60);
  }
}

TEST(ColumnWalkTest, WideAndTallOutlinesAndDiscsCutByThePictureEdge) {
  ExpectSameOutcome(RandomDisc(11, 500, 300, 240, 130), 1, 900);  // wider than tall
  ExpectSameOutcome(RandomDisc(12, 300, 500, 130, 240), 1, 900);  // taller than wide
  ExpectSameOutcome(RandomDisc(13, 1100, 300, 600, 200), 3, 80);  // cut at left and right
}

TEST(ColumnWalkTest, ManyBlocksOfColumns) {
  ExpectSameOutcome(RandomDisc(21, 2300, 700, 1120, 330), 2, 200);
}

}  // namespace
}  // namespace tivenor
