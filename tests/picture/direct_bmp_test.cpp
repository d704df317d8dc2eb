// The picture reader's own path for uncompressed 24- and 32-bit BMP must give exactly the pixels
// Qt's reader gives, for every width (every row padding), both row orders and every Windows
// header; the layouts it leaves to Qt must still come back as Qt reads them.

#include "adapters/picture/direct_bmp.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/temp_folder.h"

namespace tivenor::testing {
namespace {

struct Layout {
  int bits = 24;
  uint32_t infoSize = 40;
  bool topDown = false;
  int32_t width = 1;
  int32_t height = 1;
  uint32_t gap = 0;  // bytes between the headers and the pixel rows
  uint32_t alphaMask = 0;
  uint32_t compression = 0;
  uint32_t planes = 1;
};

void Put(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes[offset + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// Headers as the layout says; every byte after them, padding included, random.
std::vector<uint8_t> RandomBmp(const Layout& layout, std::mt19937& random) {
  const std::size_t rowBytes =
      (static_cast<std::size_t>(std::abs(layout.width)) * layout.bits + 31) / 32 * 4;
  const std::size_t dataOffset = 14 + layout.infoSize + layout.gap;
  std::vector<uint8_t> bytes(dataOffset + rowBytes * static_cast<std::size_t>(layout.height));
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t i = 14 + layout.infoSize; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(byte(random));
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  Put(bytes, 10, static_cast<uint32_t>(dataOffset), 4);
  Put(bytes, 14, layout.infoSize, 4);
  Put(bytes, 18, static_cast<uint32_t>(layout.width), 4);
  Put(bytes, 22, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height), 4);
  Put(bytes, 26, layout.planes, 2);
  Put(bytes, 28, static_cast<uint32_t>(layout.bits), 2);
  Put(bytes, 30, layout.compression, 4);
  if (layout.infoSize >= 108) {
    Put(bytes, 54, 0x00FF0000, 4);  // the masks a version 4 header always carries
    Put(bytes, 58, 0x0000FF00, 4);
    Put(bytes, 62, 0x000000FF, 4);
    Put(bytes, 66, layout.alphaMask, 4);
    Put(bytes, 70, 0x73524742, 4);  // sRGB
  }
  return bytes;
}

void WriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream(fileName, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// What Qt's reader makes of the file, or an empty raster when it cannot read it.
Raster ReadByQt(const std::string& fileName) {
  QImageReader reader(QString::fromStdString(fileName));
  QImage image;
  if (!reader.read(&image)) return {};
  return RasterFromImage(image);
}

Raster ReadDirectly(const std::string& fileName) {
  const ReadOnlyFile file(fileName);
  uint8_t head[kBmpLongestHeaders] = {};
  const std::size_t headSize = file.ReadAt(0, head, sizeof head);
  BmpHeader header;
  if (ReadBmpHeader(head, headSize, header) != BmpHeaderRead::kRead || !IsDirectBmp(header))
    throw std::logic_error("not read directly");
  Raster raster;
  ReadDirectBmp(file, header, raster);
  return raster;
}

std::string FirstDifference(const Raster& read, const Raster& expected) {
  if (read.width != expected.width || read.height != expected.height) {
    return "size " + std::to_string(read.width) + " x " + std::to_string(read.height) +
           " instead of " + std::to_string(expected.width) + " x " +
           std::to_string(expected.height);
  }
  for (int32_t y = 0; y < read.height; ++y) {
    for (int32_t x = 0; x < read.width; ++x) {
      if (read.Pixel(x, y) != expected.Pixel(x, y))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
    }
  }
  return "";
}

struct Variant {
  int bits;
  bool topDown;
  uint32_t infoSize;
  uint32_t alphaMask;
};

std::string VariantName(const ::testing::TestParamInfo<Variant>& info) {
  const Variant& v = info.param;
  return std::to_string(v.bits) + "Bit" + (v.topDown ? "TopDown" : "BottomUp") + "Header" +
         std::to_string(v.infoSize) + (v.alphaMask != 0 ? "WithAlpha" : "");
}

class DirectBmpTest : public ::testing::TestWithParam<Variant> {
 protected:
  TempFolder folder_;
};

TEST_P(DirectBmpTest, EveryWidthAndHeightGivesQtsPixels) {
  const Variant& variant = GetParam();
  std::mt19937 random(static_cast<unsigned>(variant.bits * 1000 + variant.infoSize));
  const std::string file = folder_.File("random.bmp");
  for (const int32_t width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 63, 64, 65, 301}) {
    for (const int32_t height : {1, 2, 5}) {
      for (const uint32_t gap : {0u, 3u}) {
        Layout layout;
        layout.bits = variant.bits;
        layout.infoSize = variant.infoSize;
        layout.topDown = variant.topDown;
        layout.alphaMask = variant.alphaMask;
        layout.width = width;
        layout.height = height;
        layout.gap = gap;
        WriteFile(file, RandomBmp(layout, random));
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", gap " +
                     std::to_string(gap));
        const Raster expected = ReadByQt(file);
        ASSERT_EQ(expected.width, width);  // Qt must read it, or the comparison says nothing
        EXPECT_EQ(FirstDifference(ReadDirectly(file), expected), "");
        EXPECT_EQ(FirstDifference(LoadPicture(file), expected), "");
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ScannerLayouts, DirectBmpTest,
                         ::testing::Values(Variant{24, false, 40, 0}, Variant{24, true, 40, 0},
                                           Variant{32, false, 40, 0}, Variant{32, true, 40, 0},
                                           Variant{24, false, 108, 0}, Variant{32, true, 108, 0},
                                           Variant{32, false, 108, 0xFF000000},
                                           Variant{24, true, 124, 0}, Variant{32, false, 124, 0},
                                           Variant{32, true, 124, 0xFF000000}),
                         VariantName);

class OtherLayoutTest : public ::testing::TestWithParam<std::pair<const char*, Layout>> {
 protected:
  TempFolder folder_;
};

// Layouts the own path leaves alone still come back as Qt reads them, or fail where Qt fails.
TEST_P(OtherLayoutTest, IsLeftToQt) {
  const Layout& layout = GetParam().second;
  std::mt19937 random(7);
  const std::string file = folder_.File("other.bmp");
  const std::vector<uint8_t> bytes = RandomBmp(layout, random);
  WriteFile(file, bytes);
  BmpHeader header;
  ASSERT_EQ(ReadBmpHeader(bytes.data(), bytes.size(), header), BmpHeaderRead::kRead);
  EXPECT_FALSE(IsDirectBmp(header));
  const Raster expected = ReadByQt(file);
  if (expected.pixels.empty()) {
    EXPECT_ANY_THROW(LoadPicture(file));
  } else {
    EXPECT_EQ(FirstDifference(LoadPicture(file), expected), "");
  }
}

// Version 4 headers, whose colour masks make bit fields readable.
Layout With(int bits, uint32_t compression = 0, uint32_t planes = 1, int32_t width = 13) {
  Layout layout;
  layout.infoSize = 108;
  layout.bits = bits;
  layout.compression = compression;
  layout.planes = planes;
  layout.width = width;
  layout.height = 4;
  return layout;
}

INSTANTIATE_TEST_SUITE_P(Others, OtherLayoutTest,
                         ::testing::Values(std::pair{"SixteenBits", With(16)},
                                           std::pair{"BitFields", With(32, 3)},
                                           std::pair{"TwoPlanes", With(24, 0, 2)},
                                           std::pair{"MirroredWidth", With(24, 0, 1, -13)}),
                         [](const auto& info) { return std::string(info.param.first); });

// Both ways of converting a row agree, so that processors without the byte shuffle read what
// the others read; each pixel comes from its own three bytes, whatever the row's length.
TEST(DirectBmp, ShuffledAndOneByOneConversionsAgree) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> byte(0, 255);
  for (const int bytesPerPixel : {3, 4}) {
    for (int32_t width = 1; width <= 70; ++width) {
      std::vector<uint8_t> row(static_cast<std::size_t>(width * bytesPerPixel));
      for (uint8_t& value : row) value = static_cast<uint8_t>(byte(random));
      std::vector<uint32_t> shuffled(static_cast<std::size_t>(width), 0xDEADBEEF);
      std::vector<uint32_t> oneByOne(static_cast<std::size_t>(width), 0xDEADBEEF);
      ConvertBmpRow(row.data(), bytesPerPixel, width, shuffled.data());
      ConvertBmpPixels(row.data(), bytesPerPixel, 0, width, oneByOne.data());
      SCOPED_TRACE(std::to_string(bytesPerPixel) + " bytes, width " + std::to_string(width));
      EXPECT_EQ(shuffled, oneByOne);
      const std::size_t last =
          static_cast<std::size_t>(width - 1) * static_cast<std::size_t>(bytesPerPixel);
      EXPECT_EQ(oneByOne.back(),
                uint32_t{row[last]} << 16 | uint32_t{row[last + 1]} << 8 | row[last + 2]);
    }
  }
}

TEST(DirectBmp, FileThatShrankWhileReadIsAnError) {
  TempFolder folder;
  std::mt19937 random(3);
  Layout layout;
  layout.width = 10;
  layout.height = 6;
  std::vector<uint8_t> bytes = RandomBmp(layout, random);
  bytes.resize(bytes.size() - 32);  // the last row and some of the one before
  const std::string file = folder.File("short.bmp");
  WriteFile(file, bytes);
  EXPECT_THROW(ReadDirectly(file), std::runtime_error);
}

TEST(DirectBmp, NextPictureReusesTheStorageOfTheLastOne) {
  TempFolder folder;
  std::mt19937 random(5);
  Layout large;
  large.width = 40;
  large.height = 30;
  Layout small = large;
  small.height = 20;
  const std::string first = folder.File("first.bmp");
  const std::string second = folder.File("second.bmp");
  WriteFile(first, RandomBmp(large, random));
  WriteFile(second, RandomBmp(small, random));

  Raster picture = LoadPicture(first);
  const uint32_t* storage = picture.pixels.data();
  picture = LoadPicture(second, std::move(picture));
  EXPECT_EQ(picture.pixels.data(), storage);
  EXPECT_EQ(FirstDifference(picture, ReadByQt(second)), "");
}

}  // namespace
}  // namespace tivenor::testing
