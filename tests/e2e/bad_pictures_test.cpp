// Pictures that give no MIDI file: no disc, no holes, holes outside the size settings, and files
// that are not pictures at all. Each fails cleanly, naming what went wrong, and writes nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/melodies.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"

namespace tivenor::testing {
namespace {

void WriteBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void PutLittleEndian32(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// The message of the RunError the call throws, or "" if it throws none.
template <typename Call>
std::string RunErrorOf(Call call) {
  try {
    call();
  } catch (const RunError& error) {
    return error.what();
  }
  return "";
}

Raster Blank(uint32_t colour) {
  Raster picture;
  picture.Resize(400, 300, colour);
  return picture;
}

TEST(NoDisc, LightPictureStopsWithNoDiscAndWritesNothing) {
  TempFolder folder;
  EXPECT_EQ(RunErrorOf([&] {
              StartOnPicture(Blank(0x00DCE2E4), folder.File("empty.bmp"), HoleSettings{});
            }),
            kNoDiscFound);
  EXPECT_FALSE(std::filesystem::exists(folder.File("empty.mid")));
}

// Dark pixels in a single row have no height: there is no disc to measure.
TEST(NoDisc, DarkLineStopsWithNoDisc) {
  Raster picture = Blank(0x00DCE2E4);
  for (int32_t x = 50; x < 350; ++x) picture.SetPixel(x, 150, 0x00202020);
  TempFolder folder;
  EXPECT_EQ(RunErrorOf([&] { StartOnPicture(picture, folder.File("line.bmp"), HoleSettings{}); }),
            kNoDiscFound);
}

TEST(NoHoles, DiscWithoutHolesEndsWithoutMidiFile) {
  TempFolder folder;
  const StartOutcome run = StartOnPicture(RenderDisc({}), folder.File("blank.bmp"), HoleSettings{});
  EXPECT_FALSE(run.written);
  EXPECT_EQ(run.state.NoteCount, 0);
  EXPECT_GT(run.state.PixelsPerMm, 0.0);  // the disc itself was found
  EXPECT_FALSE(std::filesystem::exists(folder.File("blank.mid")));
}

// The size settings decide which bright patches are holes: slots of about 45 pixels are all
// refused below a Maximum of 30 or above a Minimum of 60, and all taken between.
TEST(HoleSizeSettings, SlotsOutsideTheRangeMakeNoNotes) {
  const Melody melody = ScaleWithChords();
  const Raster picture = RenderDisc(melody.notes);
  TempFolder folder;
  HoleSettings tooSmallMaximum;
  tooSmallMaximum.maximum = 30;
  EXPECT_FALSE(StartOnPicture(picture, folder.File("a.bmp"), tooSmallMaximum).written);
  HoleSettings tooLargeMinimum;
  tooLargeMinimum.minimum = 60;
  tooLargeMinimum.maximum = 900;
  EXPECT_FALSE(StartOnPicture(picture, folder.File("b.bmp"), tooLargeMinimum).written);
  HoleSettings fitting;
  fitting.minimum = 30;
  fitting.maximum = 60;
  const StartOutcome run = StartOnPicture(picture, folder.File("c.bmp"), fitting);
  EXPECT_EQ(run.state.NoteCount, static_cast<int32_t>(melody.notes.size()));
}

class UnreadablePicture : public ::testing::Test {
 protected:
  std::vector<uint8_t> GoodBmp() const { return EncodeBmp(RenderDisc({}), BmpFormat::Rgb24); }

  // LoadPicture must refuse the file with a RunError that names it.
  void ExpectRefused(const std::vector<uint8_t>& bytes) {
    const std::string file = folder_.File("bad.bmp");
    WriteBytes(file, bytes);
    const std::string error = RunErrorOf([&] { LoadPicture(file); });
    if (error.empty()) {
      ADD_FAILURE() << "the picture was read";
      return;
    }
    EXPECT_NE(error.find(file), std::string::npos) << error;
  }

  TempFolder folder_;
};

// A file cut short must not be read with made-up pixels where its data is missing.
TEST_F(UnreadablePicture, TruncatedBmpIsRefusedInEveryLayout) {
  for (BmpFormat format : kAllBmpFormats) {
    SCOPED_TRACE(BmpFormatName(format));
    std::vector<uint8_t> bytes = EncodeBmp(RenderDisc({}), format);
    bytes.resize(bytes.size() / 2);
    ExpectRefused(bytes);
  }
}

TEST_F(UnreadablePicture, HeaderOnlyBmpIsRefused) {
  std::vector<uint8_t> bytes = GoodBmp();
  bytes.resize(54);
  ExpectRefused(bytes);
}

TEST_F(UnreadablePicture, GarbageIsRefused) {
  std::vector<uint8_t> bytes(5000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7919 % 251);
  ExpectRefused(bytes);
}

TEST_F(UnreadablePicture, EmptyFileIsRefused) {
  ExpectRefused({});
}

TEST_F(UnreadablePicture, MissingFileIsRefused) {
  const std::string file = folder_.File("missing.bmp");
  const std::string error = RunErrorOf([&] { LoadPicture(file); });
  EXPECT_NE(error.find(file), std::string::npos) << error;
}

// Declared sizes far beyond the data must be refused, not allocated.
TEST_F(UnreadablePicture, HugeDeclaredWidthAndHeightAreRefused) {
  for (uint32_t side : {100000u, 46341u, 40000u}) {
    std::vector<uint8_t> bytes = GoodBmp();
    PutLittleEndian32(bytes, 18, side);
    PutLittleEndian32(bytes, 22, side);
    SCOPED_TRACE(side);
    ExpectRefused(bytes);
  }
}

// A complete file can still be too large to decode: a small one-bit file becomes hundreds of
// megabytes of pixels. What the memory cannot hold is refused before decoding, with how much it
// needs; the same picture is read where the memory suffices.
TEST_F(UnreadablePicture, TooManyPixelsForTheMemoryAreRefusedBeforeDecoding) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  std::vector<uint8_t> bytes = EncodeBmp(RenderDisc({}), BmpFormat::Palette1);
  const uint32_t dataOffset = bytes[10] | bytes[11] << 8;
  const uint32_t width = 12000, height = 9000;  // 108 megapixels, 432 MB as read
  bytes.resize(dataOffset + width / 8 * height, 0);
  PutLittleEndian32(bytes, 18, width);
  PutLittleEndian32(bytes, 22, height);
  PutLittleEndian32(bytes, 34, width / 8 * height);
  WriteBytes(folder_.File("huge.bmp"), bytes);
  const ConverterRun limited = RunConverterWithinMemory(folder_, "huge.bmp", 400 * 1024);
  EXPECT_EQ(limited.exitCode, 1);
  EXPECT_NE(limited.errors.find("Cannot read picture \"huge.bmp\": the picture is too large for "
                                "the memory: its 12000 x 9000 pixels need "),
            std::string::npos)
      << limited.errors;
  // Read where the memory holds it (and found to hold no disc music).
  const ConverterRun unlimited = RunConverter(folder_, "huge.bmp");
  EXPECT_EQ(unlimited.errors.find("Cannot read picture"), std::string::npos) << unlimited.errors;
}

TEST_F(UnreadablePicture, HugeDeclaredHeightOfOneColumnIsRefused) {
  std::vector<uint8_t> bytes = GoodBmp();
  PutLittleEndian32(bytes, 18, 1);
  PutLittleEndian32(bytes, 22, 0x7FFFFFFF);
  ExpectRefused(bytes);
}

}  // namespace
}  // namespace tivenor::testing
