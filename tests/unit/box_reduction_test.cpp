#include "engine/base/box_reduction.h"

#include <gtest/gtest.h>

namespace tivenor {
namespace {

// Rows fed one at a time, as a decoder gives them.
Raster Reduce(const Raster& picture, int factor) {
  Raster reduced;
  BoxReduction reduction(picture.width, picture.height, factor, reduced);
  for (int32_t y = 0; y < picture.height; ++y)
    reduction.AddRow(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
  EXPECT_EQ(reduction.RowsAdded(), picture.height);
  return reduced;
}

TEST(BoxReduction, EachBlockBecomesTheRoundedMeanOfEveryChannel) {
  Raster picture;
  picture.Resize(4, 2, 0);
  picture.SetPixel(0, 0, 0x00102030);
  picture.SetPixel(1, 0, 0x00102030);
  picture.SetPixel(1, 1, 0x00FFFFFF);
  picture.SetPixel(2, 0, 0xFF000001);  // a fourth byte, as libraries leave it, is no colour
  const Raster reduced = Reduce(picture, 2);
  ASSERT_EQ(reduced.width, 2);
  ASSERT_EQ(reduced.height, 1);
  // Red (0x30 + 0x30 + 0 + 0xFF) / 4 = 87.75, green 79.75, blue 71.75, each rounded.
  EXPECT_EQ(reduced.Pixel(0, 0), 0x00485058u);
  EXPECT_EQ(reduced.Pixel(1, 0), 0u);  // 1/4 rounds down
}

TEST(BoxReduction, BlocksCutByTheEdgesAreTheMeanOfWhatTheyHold) {
  Raster picture;
  picture.Resize(7, 5, 0x00101010);
  for (int32_t y = 0; y < 5; ++y) picture.SetPixel(6, y, 0x00F0F0F0);  // the last column
  for (int32_t x = 0; x < 7; ++x) picture.SetPixel(x, 4, 0x00808080);  // the last row
  const Raster reduced = Reduce(picture, 3);
  ASSERT_EQ(reduced.width, 3);   // ceil(7 / 3)
  ASSERT_EQ(reduced.height, 2);  // ceil(5 / 3)
  EXPECT_EQ(reduced.Pixel(0, 0), 0x00101010u);
  EXPECT_EQ(reduced.Pixel(2, 0), 0x00F0F0F0u);  // one column of three rows
  EXPECT_EQ(reduced.Pixel(0, 1), 0x00484848u);  // (0x10 x 3 + 0x80 x 3) / 6
  EXPECT_EQ(reduced.Pixel(2, 1), 0x00B8B8B8u);  // (0xF0 + 0x80) / 2
}

TEST(BoxReduction, FactorOneCopiesAndTheLargestFactorHolds) {
  Raster picture;
  picture.Resize(40, 33, 0x00FFFFFF);
  picture.SetPixel(3, 4, 0x00010203);
  EXPECT_EQ(Reduce(picture, 1).pixels, picture.pixels);
  // Sixteen by sixteen pixels of 255 in every channel do not carry into the next channel.
  const Raster reduced = Reduce(picture, 99);
  EXPECT_EQ(reduced.width, 3);
  EXPECT_EQ(reduced.height, 3);
  EXPECT_EQ(reduced.Pixel(1, 1), 0x00FFFFFFu);
  EXPECT_EQ(reduced.Pixel(2, 2), 0x00FFFFFFu);
}

// Bands reduced apart, in any order, give the picture reduced whole.
TEST(BoxReduction, BandsReducedApartMakeTheWhole) {
  Raster picture;
  picture.Resize(23, 31);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
  const Raster whole = Reduce(picture, 3);
  Raster banded;
  banded.Resize(whole.width, whole.height);
  for (const auto& [first, last] : {std::pair{12, 31}, std::pair{0, 12}}) {
    BoxReduction band(picture.width, last - first, 3, banded, first);
    for (int32_t y = first; y < last; ++y)
      band.AddRow(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
    EXPECT_EQ(band.RowsAdded(), last - first);
  }
  EXPECT_EQ(banded.pixels, whole.pixels);
}

TEST(BoxReduction, RowsBeyondThePictureAreIgnored) {
  Raster picture;
  picture.Resize(2, 2, 0x00202020);
  Raster reduced;
  BoxReduction reduction(2, 2, 2, reduced);
  const uint32_t row[2] = {0x00202020u, 0x00202020u};
  for (int i = 0; i < 5; ++i) reduction.AddRow(row);
  EXPECT_EQ(reduction.RowsAdded(), 2);
  EXPECT_EQ(reduced.Pixel(0, 0), 0x00202020u);
}

}  // namespace
}  // namespace tivenor
