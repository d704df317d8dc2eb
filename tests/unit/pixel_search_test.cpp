#include "engine/reading/pixel_search.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tivenor {
namespace {

// The vector searches must agree with a plain loop for every length and position, including
// the tails shorter than one vector.
TEST(PixelSearchTest, AgreesWithAPlainLoopOnRandomRows) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 2000; ++trial) {
    const int32_t length = static_cast<int32_t>(random() % 23);
    std::vector<uint32_t> row(static_cast<std::size_t>(length) + 1);
    for (uint32_t& pixel : row)
      pixel = random() % 4 == 0 ? random() % 0x1000000 : 0xFFFFFF;  // mostly light
    const int32_t limit = static_cast<int32_t>(random() % 0x1000000);
    const int threshold = static_cast<int>(random() % 256);
    const int32_t from = length == 0 ? 0 : static_cast<int32_t>(random() % (length + 1));

    int32_t expectedUp = -1;
    for (int32_t c = from; c < length; ++c)
      if (static_cast<int32_t>(row[c]) <= limit) {
        expectedUp = c;
        break;
      }
    EXPECT_EQ(FirstDarkUp(row.data(), from, length, limit), expectedUp);

    int32_t expectedDown = -1;
    for (int32_t c = length - 1; c >= from; --c)
      if (static_cast<int32_t>(row[c]) <= limit) {
        expectedDown = c;
        break;
      }
    EXPECT_EQ(FirstDarkDown(row.data(), length - 1, from, limit), expectedDown);

    std::vector<int32_t> expectedBright, bright;
    for (int32_t c = 0; c < length; ++c)
      if (static_cast<int>(row[c] & 0xFF) > threshold) expectedBright.push_back(c);
    ForEachBright(row.data(), length, threshold, [&](int32_t c) { bright.push_back(c); });
    EXPECT_EQ(bright, expectedBright);
  }
}

TEST(PixelSearchTest, DarkIncludesTheLimitAndBrightExcludesTheThreshold) {
  const uint32_t row[] = {0xFFFFFF, 0xFFFFFF, 6579300, 0xFFFFFF, 0xFFFFFF};
  EXPECT_EQ(FirstDarkUp(row, 0, 5, 6579300), 2);
  EXPECT_EQ(FirstDarkUp(row, 0, 5, 6579299), -1);
  EXPECT_EQ(FirstDarkDown(row, 4, 0, 6579300), 2);
  const uint32_t red[] = {100, 101, 0x00FF00, 0xFF0000, 255};
  std::vector<int32_t> bright;
  ForEachBright(red, 5, 100, [&](int32_t c) { bright.push_back(c); });
  EXPECT_EQ(bright, (std::vector<int32_t>{1, 4}));
}

}  // namespace
}  // namespace tivenor
