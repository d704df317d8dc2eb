// Pictures are told apart by their first bytes, not by their names; a file of any other type is
// refused with the types that are read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "tests/e2e/temp_folder.h"
#include "tests/picture/picture_compare.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/tiff_writer.h"

namespace tivenor::testing {
namespace {

template <typename Call>
std::string RunErrorOf(Call call) {
  try {
    call();
  } catch (const RunError& error) {
    return error.what();
  }
  return "";
}

const Raster& Disc() {
  static const Raster picture = RenderDisc({}, RealSizeScan(100));
  return picture;
}

TEST(PictureTypes, OtherTypesAreRefusedNamingTheTypesRead) {
  TempFolder folder;
  const std::string gif = folder.File("x.gif");
  const char header[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, '\x80', 0, 0};
  std::ofstream(gif, std::ios::binary).write(header, sizeof header);
  EXPECT_EQ(RunErrorOf([&] { LoadPicture(gif); }),
            "Cannot read picture \"" + gif +
                "\": not a picture type Tivenor reads (BMP, PNG, JPEG, TIFF)");
  EXPECT_EQ(RunErrorOf([&] { ReadPictureSize(gif); }), RunErrorOf([&] { LoadPicture(gif); }));
}

TEST(PictureTypes, EmptyAndMissingFilesSaySo) {
  TempFolder folder;
  const std::string empty = folder.File("empty.bmp");
  std::ofstream(empty, std::ios::binary).flush();
  EXPECT_EQ(RunErrorOf([&] { LoadPicture(empty); }),
            "Cannot read picture \"" + empty + "\": the file is empty");
  const std::string missing = folder.File("missing.jpg");
  EXPECT_EQ(RunErrorOf([&] { LoadPicture(missing); }),
            "Cannot read picture \"" + missing + "\": File not found");
}

// A camera's JPEG saved as .bmp, a PNG named .jpg: each is read as what it is.
TEST(PictureTypes, TheContentDecidesNotTheName) {
  TempFolder folder;
  const std::string png = folder.File("disc.jpg");
  SavePicture(Disc(), png);
  EXPECT_EQ(FirstDifference(LoadPicture(png), Disc()), "");
  const std::string tiff = folder.File("disc.png");
  WriteTiff(Disc(), {TiffLayout::Rgb8, TiffCompression::Lzw}, tiff);
  EXPECT_EQ(FirstDifference(LoadPicture(tiff), Disc()), "");
  const std::string jpeg = folder.File("disc.bmp");
  WriteJpeg(Disc(), {95, false, 0}, jpeg);
  EXPECT_LT(ComparePixels(LoadPicture(jpeg), Disc()).mean, 1.5);
  const std::string bmp = folder.File("disc.tif");
  WriteBmp(Disc(), BmpFormat::Palette8, bmp);
  EXPECT_EQ(FirstDifference(LoadPicture(bmp), QuantiseForBmp(Disc(), BmpFormat::Palette8)), "");
  for (const std::string& file : {png, tiff, jpeg, bmp}) {
    SCOPED_TRACE(file);
    const PictureSize size = ReadPictureSize(file);
    EXPECT_EQ(size.width, Disc().width);
    EXPECT_EQ(size.height, Disc().height);
    // BMP and PNG are decoded whole whatever reduction is asked for.
    const ReducedPicture reduced = LoadReducedPicture(file, 2);
    EXPECT_EQ(reduced.picture.width, (Disc().width + reduced.reduction - 1) / reduced.reduction);
  }
}

}  // namespace
}  // namespace tivenor::testing
