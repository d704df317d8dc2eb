#include "tests/support/bmp_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "adapters/picture/picture_file.h"

namespace tivenor::testing {
namespace {

uint32_t Field32(const std::vector<uint8_t>& bytes, std::size_t offset) {
  return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 |
         uint32_t{bytes[offset + 2]} << 16 | uint32_t{bytes[offset + 3]} << 24;
}

// A gradient with a dark block and odd sizes, so rows need padding and runs vary.
Raster Gradient(int32_t width, int32_t height) {
  Raster picture;
  picture.Resize(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const auto v = static_cast<uint32_t>((x * 255) / std::max(width - 1, 1));
      const bool block = x > width / 3 && x < width / 2 && y > height / 4;
      picture.SetPixel(x, y,
                       block ? 0x00102030u : (v | (255 - v) << 8 | ((v + y * 9) & 0xFF) << 16));
    }
  }
  return picture;
}

std::string Decoded(const Raster& picture, BmpFormat format) {
  // One file per process: the tests run in parallel.
  const std::string file =
      ::testing::TempDir() + "/bmp_writer_test-" + std::to_string(getpid()) + ".bmp";
  WriteBmp(picture, format, file);
  const Raster read = LoadPicture(file);
  std::filesystem::remove(file);
  const Raster expected = QuantiseForBmp(picture, format);
  if (read.width != expected.width || read.height != expected.height) return "size differs";
  for (std::size_t i = 0; i < read.pixels.size(); ++i) {
    if (read.pixels[i] != expected.pixels[i]) return "pixel " + std::to_string(i) + " differs";
  }
  return "";
}

class EveryLayout : public ::testing::TestWithParam<BmpFormat> {};

TEST_P(EveryLayout, ReaderSeesWhatTheWriterStored) {
  for (int32_t width : {1, 2, 3, 5, 8, 31, 300}) {
    SCOPED_TRACE(width);
    EXPECT_EQ(Decoded(Gradient(width, 7), GetParam()), "");
  }
}

TEST_P(EveryLayout, TwoTonePictureKeepsItsColours) {
  Raster picture;
  picture.Resize(37, 11, 0x00DCE2E4);
  for (int32_t x = 5; x < 30; ++x) picture.SetPixel(x, 5, 0x00232628);
  const Raster stored = QuantiseForBmp(picture, GetParam());
  if (GetParam() == BmpFormat::Rgb555) {
    EXPECT_EQ(stored.Pixel(0, 0), 0x00D8E0E0u);  // five bits a channel
  } else {
    EXPECT_EQ(stored.pixels, picture.pixels);
  }
  EXPECT_EQ(Decoded(picture, GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Bmp, EveryLayout, ::testing::ValuesIn(kAllBmpFormats),
                         [](const ::testing::TestParamInfo<BmpFormat>& info) {
                           return std::string(BmpFormatName(info.param));
                         });

TEST(BmpHeader, SaysDepthCompressionAndRowOrder) {
  const Raster picture = Gradient(40, 30);
  const auto header = [&](BmpFormat format) { return EncodeBmp(picture, format); };
  EXPECT_EQ(header(BmpFormat::Rle8)[28], 8);
  EXPECT_EQ(Field32(header(BmpFormat::Rle8), 30), 1u);
  EXPECT_EQ(header(BmpFormat::Rle4)[28], 4);
  EXPECT_EQ(Field32(header(BmpFormat::Rle4), 30), 2u);
  EXPECT_EQ(header(BmpFormat::Palette1)[28], 1);
  EXPECT_EQ(header(BmpFormat::Rgb555)[28], 16);
  EXPECT_EQ(static_cast<int32_t>(Field32(header(BmpFormat::Rgb24), 22)), 30);
  EXPECT_EQ(static_cast<int32_t>(Field32(header(BmpFormat::TopDown24), 22)), -30);
  const std::vector<uint8_t> bytes = header(BmpFormat::Rgb24);
  EXPECT_EQ(Field32(bytes, 2), bytes.size());
  EXPECT_EQ(bytes.size(), 54u + 30u * 120u);
}

// Long runs of one colour must shrink: the run-length layouts really are encoded.
TEST(BmpHeader, RunLengthLayoutsCompressFlatAreas) {
  Raster picture;
  picture.Resize(200, 100, 0x00DCE2E4);
  EXPECT_LT(EncodeBmp(picture, BmpFormat::Rle8).size(),
            EncodeBmp(picture, BmpFormat::Palette8).size() / 10);
  EXPECT_LT(EncodeBmp(picture, BmpFormat::Rle4).size(),
            EncodeBmp(picture, BmpFormat::Palette4).size() / 5);
}

}  // namespace
}  // namespace tivenor::testing
