// TIFF files in every layout and compression scanners and archives write, read back pixel for
// pixel: whole, reduced while they are decoded, and turned upright as their tag says.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/temp_folder.h"
#include "tests/picture/picture_compare.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/sample_melody.h"
#include "tests/support/tiff_writer.h"

namespace tivenor::testing {
namespace {

// A small scan: anti-aliased slots and noise give every grey level, an odd size cut blocks.
const Raster& Scan() {
  static const Raster picture = [] {
    DiscOptions options = RealSizeScan(100, 6);
    options.darkCornerLight = 0.5;
    return RenderDisc(SampleMelody(), options);
  }();
  return picture;
}

using TiffCase = std::tuple<TiffLayout, TiffCompression>;

class TiffFile : public ::testing::TestWithParam<TiffCase> {
 protected:
  std::string Written() {
    const auto [layout, compression] = GetParam();
    std::string file = folder_.File("scan.tif");
    WriteTiff(Scan(), {layout, compression}, file);
    return file;
  }
  Raster Expected() const { return QuantiseForTiff(Scan(), std::get<0>(GetParam())); }

  TempFolder folder_;
};

TEST_P(TiffFile, ReadsBackPixelForPixel) {
  const std::string file = Written();
  EXPECT_EQ(FirstDifference(LoadPicture(file), Expected()), "");
  const PictureSize size = ReadPictureSize(file);
  EXPECT_EQ(size.width, Scan().width);
  EXPECT_EQ(size.height, Scan().height);
}

// Each block of the reduction is the mean of the file's pixels, blocks cut by the edge too.
TEST_P(TiffFile, ReducedWhileDecodedToTheMeansOfItsBlocks) {
  const std::string file = Written();
  for (int reduction : {2, 3, 7}) {
    SCOPED_TRACE(reduction);
    const ReducedPicture read = LoadReducedPicture(file, reduction);
    EXPECT_EQ(read.reduction, reduction);
    EXPECT_EQ(FirstDifference(read.picture, BoxReduced(Expected(), reduction)), "");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLayoutAndCompression, TiffFile,
                         ::testing::Combine(::testing::ValuesIn(kAllTiffLayouts),
                                            ::testing::ValuesIn(kAllTiffCompressions)),
                         [](const ::testing::TestParamInfo<TiffCase>& info) {
                           return std::string(TiffLayoutName(std::get<0>(info.param))) +
                                  std::string(TiffCompressionName(std::get<1>(info.param)));
                         });

// A large picture is decoded in bands at once, each by its own session of the library, whole
// strips and whole blocks to each: together they give the picture as one pass would.
TEST(TiffBands, ALargePictureDecodedInBandsAtOnceIsTheWhole) {
  Raster picture;
  picture.Resize(2101, 2047);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = static_cast<uint32_t>((i * 2654435761u) >> 5) & 0x00FFFFFFu;
  TempFolder folder;
  const std::string file = folder.File("large.tif");
  WriteTiff(picture, {TiffLayout::Rgb8, TiffCompression::Lzw}, file);
  EXPECT_EQ(FirstDifference(LoadPicture(file), picture), "");
  for (int reduction : {3, 5}) {
    SCOPED_TRACE(reduction);
    EXPECT_EQ(FirstDifference(LoadReducedPicture(file, reduction).picture,
                              BoxReduced(picture, reduction)),
              "");
  }
}

class TiffOrientation : public ::testing::TestWithParam<int> {};

TEST_P(TiffOrientation, StoredTurnedIsReadUpright) {
  TempFolder folder;
  const std::string file = folder.File("turned.tif");
  WriteTiff(StoredForOrientation(Scan(), GetParam()),
            {TiffLayout::Rgb8, TiffCompression::Lzw, GetParam()}, file);
  EXPECT_EQ(FirstDifference(LoadPicture(file), Scan()), "");
  // Reduced as stored, then turned.
  EXPECT_EQ(
      FirstDifference(LoadReducedPicture(file, 4).picture,
                      UprightForOrientation(BoxReduced(StoredForOrientation(Scan(), GetParam()), 4),
                                            GetParam())),
      "");
}

INSTANTIATE_TEST_SUITE_P(EveryTag, TiffOrientation, ::testing::Range(1, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Tag" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace tivenor::testing
