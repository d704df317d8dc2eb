// JPEG files as cameras write them, baseline and progressive, read as Qt's own decoder reads
// them: whole, at 1/2, 1/4 and 1/8 by the library's scaled decoding, and turned upright as
// their EXIF says. Files cut short or announcing far more pixels than they hold are refused.

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "tests/e2e/temp_folder.h"
#include "tests/picture/picture_compare.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {
namespace {

// A small photograph-like scan: noise, uneven light, an odd size.
const Raster& Scan() {
  static const Raster picture = [] {
    DiscOptions options = RealSizeScan(100, 8);
    options.darkCornerLight = 0.6;
    options.falloff = DiscOptions::Falloff::Radial;
    return RenderDisc(SampleMelody(), options);
  }();
  return picture;
}

// The scan cut to whole blocks of 8, where Qt's scaled decoding needs no resampling of its own.
Raster WholeBlocks(const Raster& picture) {
  Raster cut;
  cut.Resize(picture.width / 8 * 8, picture.height / 8 * 8);
  for (int32_t y = 0; y < cut.height; ++y)
    for (int32_t x = 0; x < cut.width; ++x) cut.SetPixel(x, y, picture.Pixel(x, y));
  return cut;
}

Raster QtDecoded(const std::string& file, bool upright, int reduction = 1) {
  QImageReader reader(QString::fromStdString(file));
  reader.setAutoTransform(upright);
  if (reduction > 1) reader.setScaledSize(reader.size() / reduction);
  return RasterFromImage(reader.read());
}

template <typename Call>
std::string RunErrorOf(Call call) {
  try {
    call();
  } catch (const RunError& error) {
    return error.what();
  }
  return "";
}

std::vector<char> Bytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& file, const std::vector<char>& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class JpegKind : public ::testing::TestWithParam<bool> {};

TEST_P(JpegKind, ReadsAsQtsOwnDecoderReads) {
  TempFolder folder;
  const std::string file = folder.File("photo.jpg");
  WriteJpeg(Scan(), {85, GetParam(), 0}, file);
  const Raster read = LoadPicture(file);
  const PixelDifference fromQt = ComparePixels(read, QtDecoded(file, false));
  ASSERT_TRUE(fromQt.sameSize);
  EXPECT_LE(fromQt.largest, 1);
  // And as a JPEG at quality 85 keeps the picture.
  EXPECT_LT(ComparePixels(read, Scan()).mean, 4.5);
}

TEST_P(JpegKind, ScaledDecodingGivesTheMeansOfTheBlocks) {
  TempFolder folder;
  const std::string file = folder.File("photo.jpg");
  const Raster picture = WholeBlocks(Scan());
  WriteJpeg(picture, {85, GetParam(), 0}, file);
  const Raster whole = LoadPicture(file);
  for (int reduction : {2, 4, 8}) {
    SCOPED_TRACE(reduction);
    const ReducedPicture read = LoadReducedPicture(file, reduction);
    EXPECT_EQ(read.reduction, reduction);
    EXPECT_LE(ComparePixels(read.picture, QtDecoded(file, false, reduction)).largest, 1);
    const PixelDifference fromMeans = ComparePixels(read.picture, BoxReduced(whole, reduction));
    ASSERT_TRUE(fromMeans.sameSize);
    EXPECT_LT(fromMeans.mean, 2.0);
  }
}

INSTANTIATE_TEST_SUITE_P(BaselineAndProgressive, JpegKind, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Progressive" : "Baseline");
                         });

// The library decodes at 1/1, 1/2, 1/4 and 1/8; any other reduction takes the next finer one,
// and a picture whose side is no multiple of it keeps its last, partial block.
TEST(JpegReduction, OtherReductionsTakeTheNextFinerOne) {
  TempFolder folder;
  const std::string file = folder.File("photo.jpg");
  WriteJpeg(Scan(), {}, file);
  for (const auto& [wanted, given] :
       std::vector<std::pair<int, int>>{{1, 1}, {3, 2}, {5, 4}, {7, 4}, {16, 8}}) {
    SCOPED_TRACE(wanted);
    const ReducedPicture read = LoadReducedPicture(file, wanted);
    EXPECT_EQ(read.reduction, given);
    EXPECT_EQ(read.picture.width, (Scan().width + given - 1) / given);
    EXPECT_EQ(read.picture.height, (Scan().height + given - 1) / given);
  }
}

class JpegOrientation : public ::testing::TestWithParam<int> {};

TEST_P(JpegOrientation, StoredTurnedIsReadUpright) {
  TempFolder folder;
  const std::string file = folder.File("turned.jpg");
  WriteJpeg(StoredForOrientation(Scan(), GetParam()), {95, false, GetParam()}, file);
  const Raster read = LoadPicture(file);
  const PixelDifference upright = ComparePixels(read, Scan());
  ASSERT_TRUE(upright.sameSize);
  EXPECT_LT(upright.mean, 3.0);  // a wrong turn is tens of levels off
  EXPECT_LE(ComparePixels(read, QtDecoded(file, true)).largest, 1);
  // Reduced as stored, then turned.
  const ReducedPicture reduced = LoadReducedPicture(file, 2);
  const Raster expected = UprightForOrientation(BoxReduced(QtDecoded(file, false), 2), GetParam());
  EXPECT_LT(ComparePixels(reduced.picture, expected).mean, 2.0);
}

INSTANTIATE_TEST_SUITE_P(EveryTag, JpegOrientation, ::testing::Range(1, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Tag" + std::to_string(info.param);
                         });

// The library fills a missing end with grey and only warns: that grey would be read as holes.
TEST(UnreadableJpeg, ACutFileIsRefusedNotFilledIn) {
  TempFolder folder;
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive);
    const std::string file = folder.File("cut.jpg");
    WriteJpeg(Scan(), {85, progressive, 0}, file);
    std::vector<char> bytes = Bytes(file);
    bytes.resize(bytes.size() * 6 / 10);
    Write(file, bytes);
    const std::string error = RunErrorOf([&] { LoadPicture(file); });
    EXPECT_EQ(error.rfind("Cannot read picture \"" + file + "\": ", 0), 0u) << error;
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
  }
}

// A header may announce 65000 x 65000 pixels: a small file cannot hold them, and is refused
// before anything that size is allocated or decoded.
TEST(UnreadableJpeg, AHugeSizeInASmallFileIsRefusedAtOnce) {
  TempFolder folder;
  const std::string file = folder.File("huge.jpg");
  WriteJpeg(Scan(), {}, file);
  std::vector<char> bytes = Bytes(file);
  // The frame header: FF C0, length, precision, then height and width, big-endian.
  for (std::size_t at = 2; at + 9 < bytes.size();) {
    const auto marker = static_cast<unsigned char>(bytes[at + 1]);
    const std::size_t length =
        static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]);
    if (marker == 0xC0 || marker == 0xC2) {
      for (std::size_t i : {at + 5, at + 7}) {
        bytes[i] = static_cast<char>(65000 >> 8);
        bytes[i + 1] = static_cast<char>(65000 & 0xFF);
      }
      break;
    }
    at += 2 + length;
  }
  Write(file, bytes);
  const auto start = std::chrono::steady_clock::now();
  const std::string error = RunErrorOf([&] { LoadPicture(file); });
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_NE(error.find("65000 x 65000 pixels"), std::string::npos) << error;
  EXPECT_NE(error.find("too short"), std::string::npos) << error;
  EXPECT_LT(std::chrono::duration<double>(took).count(), 0.5);
}

}  // namespace
}  // namespace tivenor::testing
