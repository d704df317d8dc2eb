// A patch far beyond 500 pixels (a mis-set threshold, a crafted picture) writes the log line for
// its first pixels only, then one line saying how many were left out: the log stays small.

#include <gtest/gtest.h>

#include <string>

#include "engine/reading/hole_scan.h"
#include "engine/reading/oversize_log.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

constexpr const char* kLine = "ERROR: too many pixels in disk hole";

// A rendered disc with a light patch of about 20,000 pixels in its ring.
struct FloodedDisc {
  testing::MemoryHost host;
  ScanState state;
  long patchPixels = 0;

  FloodedDisc() {
    Raster picture = testing::RenderDisc({});
    const int32_t cx = picture.width / 2 + 180, cy = picture.height / 2;
    FillEllipse(picture, cx - 80, cy - 80, cx + 80, cy + 80, 0x00F0F0F0);
    for (const uint32_t pixel : picture.pixels) patchPixels += pixel == 0x00F0F0F0 ? 1 : 0;
    host = testing::MemoryHost(picture);
    host.settings.maximum = 900;
  }
};

TEST(OversizeLogTest, TheFirstLinesAreWrittenThenOneLineCountsTheRest) {
  FloodedDisc disc;
  ScanDisc(disc.state, disc.host);
  const long beyond = disc.patchPixels - kMaxHolePixels;
  ASSERT_GT(beyond, kMaxOversizeLogLines);
  ASSERT_EQ(disc.host.logLines.size(), static_cast<std::size_t>(kMaxOversizeLogLines) + 1);
  for (int i = 0; i < kMaxOversizeLogLines; ++i) ASSERT_EQ(disc.host.logLines[i], kLine) << i;
  EXPECT_EQ(disc.host.logLines.back(), std::string(kLine) + ": " +
                                           std::to_string(beyond - kMaxOversizeLogLines) +
                                           " more such lines left out");
  EXPECT_EQ(disc.state.OversizePixels, beyond);
}

// Each START is a run of its own: the count starts again.
TEST(OversizeLogTest, EachScanCountsAfresh) {
  FloodedDisc disc;
  ScanDisc(disc.state, disc.host);
  disc.host.logLines.clear();
  disc.state.PictureClean = false;  // as START leaves it: the next scan reloads the picture
  ScanDisc(disc.state, disc.host);
  EXPECT_EQ(disc.host.logLines.size(), static_cast<std::size_t>(kMaxOversizeLogLines) + 1);
}

TEST(OversizeLogTest, BelowTheCapEveryPixelHasItsLineAndNoCountFollows) {
  testing::MemoryHost host;
  ScanState state;
  for (int i = 0; i < 3; ++i) LogOversizePixel(state, host);
  LogOversizeLeftOut(state, host);
  EXPECT_EQ(host.logLines, std::vector<std::string>(3, kLine));
}

}  // namespace
}  // namespace tivenor
