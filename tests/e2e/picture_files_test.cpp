// A disc saved as a scanner's TIFF or a camera's JPEG reads as the notes it was drawn from: in
// the window's road (the picture whole, the default settings) and in the converter's with
// --auto, where a fine picture is decoded straight at a lower resolution. Headers announcing
// more pixels than the file or the memory holds end the run at once, with a line saying so.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/run_files.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/melodies.h"
#include "tests/e2e/note_match.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/sample_melody.h"
#include "tests/support/tiff_writer.h"

namespace tivenor::testing {
namespace {

// How a disc picture is saved: a name for the test, and the writer.
struct PictureFile {
  std::string name;
  std::string extension;
  TiffFormat tiff;
  JpegOptions jpeg;
  bool isJpeg = false;
};

PictureFile Tiff(TiffLayout layout, TiffCompression compression) {
  return {std::string(TiffLayoutName(layout)) + std::string(TiffCompressionName(compression)),
          ".tif",
          {layout, compression},
          {},
          false};
}

PictureFile Jpeg(const std::string& name, JpegOptions options) {
  return {name, ".jpg", {}, options, true};
}

// Writes the upright picture as stored in the file: turned when the file says how to turn it.
void Save(const Raster& upright, const PictureFile& kind, const std::string& file) {
  if (kind.isJpeg) {
    WriteJpeg(StoredForOrientation(upright, kind.jpeg.orientation), kind.jpeg, file);
  } else {
    WriteTiff(StoredForOrientation(upright, kind.tiff.orientation), kind.tiff, file);
  }
}

std::vector<PictureFile> Kinds() {
  return {Tiff(TiffLayout::Rgb8, TiffCompression::None),
          Tiff(TiffLayout::Rgb16, TiffCompression::Lzw),
          Tiff(TiffLayout::Grey8, TiffCompression::Deflate),
          Tiff(TiffLayout::Grey16, TiffCompression::PackBits),
          Tiff(TiffLayout::Palette8, TiffCompression::Lzw),
          Tiff(TiffLayout::Bilevel, TiffCompression::PackBits),
          Tiff(TiffLayout::Rgb8Tiled, TiffCompression::Deflate),
          Tiff(TiffLayout::Rgb16Planes, TiffCompression::None),
          Jpeg("JpegBaseline", {90, false, 0}),
          Jpeg("JpegProgressive", {90, true, 0}),
          Jpeg("JpegTurnedRight", {90, false, 6}),
          Jpeg("JpegTurnedLeft", {90, false, 8})};
}

class PictureFileRoad : public ::testing::TestWithParam<PictureFile> {};

// As the window opens and reads it, with the default settings, like its BMP.
TEST_P(PictureFileRoad, DiscComesBackAsItsNotes) {
  const Melody melody = ScaleWithChords();
  DiscOptions options;
  options.supersampling = 4;
  options.noise = 4;
  TempFolder folder;
  const std::string file = folder.File("disc" + GetParam().extension);
  Save(RenderDisc(melody.notes, options), GetParam(), file);
  const StartOutcome run = StartOnPictureFile(file, HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(run.state.MidiFileName, folder.File("disc.mid"));
  EXPECT_EQ(CompareNotes(ExpectedNotes(melody.notes), DiscNotesOf(run.midi), PixelsPerMm(options))
                .differences,
            "");
}

INSTANTIATE_TEST_SUITE_P(ScannersAndCameras, PictureFileRoad, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<PictureFile>& info) {
                           return info.param.name;
                         });

struct Reading {
  bool written = false;
  std::string failure;
  std::vector<MidiNote> notes;
  ReadingPlan plan;
  std::string summary;
};

// The converter's road with --auto, as in a batch.
Reading ConvertWithAuto(const TempFolder& folder, const std::string& picture,
                        const std::string& marked = "") {
  LogFile log;
  log.FileName = folder.File("musicbox.log");
  std::FILE* progress = std::fopen("/dev/null", "w");
  cli::ConverterHost host({}, {}, log, progress);
  ScanState state;
  cli::ConversionRequest request;
  request.picture = picture;
  request.output = folder.File("read.mid");
  request.markedPicture = marked;
  request.reading.fitSettings = true;
  Reading reading;
  cli::RunFiles files({picture});
  try {
    reading.plan = cli::ConvertPicture(request, state, host, files).reading.fitted.reading;
    reading.written = true;
    reading.notes = DiscNotesOf(ReadMidiFile(request.output));
  } catch (const RunError& error) {
    reading.failure = error.what();
  }
  std::fclose(progress);
  return reading;
}

// A scan at 700 dpi is read at 1/3 of its resolution. Its JPEG is decoded at 1/2 and each
// decoded pixel counts for the blocks it straddles; its TIFF is reduced by 2 while decoded.
// Both read as their BMP does, which is decoded whole.
TEST(FinePictureFiles, ReadAtALowerResolutionStraightFromTheFile) {
  const std::vector<DiscNote> notes = SampleMelody();
  DiscOptions options = RealSizeScan(700);
  options.darkCornerLight = 0.4;
  options.supersampling = 2;  // enough at this resolution, and a quarter of the drawing
  const Raster picture = RenderDisc(notes, options);
  const std::vector<ExpectedNote> drawn = ExpectedNotes(notes);
  TempFolder folder;
  struct Saved {
    std::string file;
    int reduction;
  };
  const std::vector<Saved> saved = {
      {folder.File("disc.bmp"), 1}, {folder.File("disc.jpg"), 2}, {folder.File("disc.tif"), 2}};
  WriteBmp(picture, BmpFormat::Rgb24, saved[0].file);
  WriteJpeg(picture, {90, false, 0}, saved[1].file);
  WriteTiff(picture, {TiffLayout::Rgb16, TiffCompression::Lzw}, saved[2].file);
  for (const Saved& file : saved) {
    SCOPED_TRACE(file.file);
    const Reading reading = ConvertWithAuto(folder, file.file);
    ASSERT_TRUE(reading.written) << reading.failure;
    EXPECT_EQ(reading.plan.scale, 3);
    EXPECT_EQ(reading.plan.pictureReduction, file.reduction);
    EXPECT_EQ(CompareNotes(drawn, reading.notes, PixelsPerMm(options) / 3).differences, "");
  }
  // The marked picture is drawn on the picture as its file holds it: decoded whole.
  const std::string marked = folder.File("marked.png");
  const Reading withMarks = ConvertWithAuto(folder, saved[1].file, marked);
  ASSERT_TRUE(withMarks.written) << withMarks.failure;
  EXPECT_EQ(withMarks.plan.pictureReduction, 1);
  EXPECT_EQ(ReadPictureSize(marked).width, picture.width);
  EXPECT_EQ(CompareNotes(drawn, withMarks.notes, PixelsPerMm(options) / 3).differences, "");
}

// A small disc in a large picture wants a finer picture than the size promised: it is read
// again whole, and reads as well.
TEST(FinePictureFiles, ASmallDiscInALargePictureIsReadWhole) {
  const std::vector<DiscNote> notes = SampleMelody();
  DiscOptions options = RealSizeScan(310);  // read as it is: 12.2 pixels a mm
  options.supersampling = 1;
  options.marginMm = 64;  // the disc covers less than half the picture's side
  TempFolder folder;
  const std::string file = folder.File("far.tif");
  WriteTiff(RenderDisc(notes, options), {TiffLayout::Rgb8, TiffCompression::Deflate}, file);
  const Reading reading = ConvertWithAuto(folder, file);
  ASSERT_TRUE(reading.written) << reading.failure;
  EXPECT_EQ(reading.plan.pictureReduction, 1);
  EXPECT_EQ(CompareNotes(ExpectedNotes(notes), reading.notes, PixelsPerMm(options)).differences,
            "");
}

void PutBigEndian16(std::vector<char>& bytes, std::size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value >> 8);
  bytes[at + 1] = static_cast<char>(value & 0xFF);
}

std::vector<char> Bytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& file, const std::vector<char>& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A little-endian TIFF's width, height and rows per strip (LONG) set to `side`: one strip.
void AnnounceSide(std::vector<char>& bytes, uint32_t side) {
  const auto u16 = [&](std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  const std::size_t directory = static_cast<unsigned char>(bytes[4]) |
                                static_cast<std::size_t>(static_cast<unsigned char>(bytes[5])) << 8;
  for (std::size_t entry = 0; entry < u16(directory); ++entry) {
    const std::size_t at = directory + 2 + 12 * entry;
    if (u16(at) != 256 && u16(at) != 257 && u16(at) != 278) continue;
    bytes[at + 2] = 4;  // LONG
    bytes[at + 3] = 0;
    for (int i = 0; i < 4; ++i) bytes[at + 8 + i] = static_cast<char>(side >> (8 * i));
  }
}

double SecondsOf(const std::chrono::steady_clock::duration& took) {
  return std::chrono::duration<double>(took).count();
}

// A few hundred bytes cannot hold 100000 x 100000 pixels, nor a JPEG 65000 x 65000: the
// converter says so at once, whether it would read the picture whole or reduced.
TEST(HugeDeclaredPictures, AreRefusedAtOnceWithTheSizeTheyClaim) {
  TempFolder folder;
  Raster small;
  small.Resize(16, 16, 0x00808080);
  WriteTiff(small, {TiffLayout::Rgb8, TiffCompression::Lzw}, folder.File("huge.tif"));
  std::vector<char> tiff = Bytes(folder.File("huge.tif"));
  AnnounceSide(tiff, 100000);
  Write(folder.File("huge.tif"), tiff);
  WriteJpeg(small, {}, folder.File("huge.jpg"));
  std::vector<char> jpeg = Bytes(folder.File("huge.jpg"));
  for (std::size_t at = 2; at + 9 < jpeg.size();) {
    const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
    if (marker == 0xC0) {
      PutBigEndian16(jpeg, at + 5, 65000);
      PutBigEndian16(jpeg, at + 7, 65000);
      break;
    }
    at += 2 + (static_cast<unsigned char>(jpeg[at + 2]) << 8 |
               static_cast<unsigned char>(jpeg[at + 3]));
  }
  Write(folder.File("huge.jpg"), jpeg);

  for (const std::string options : {"", "--auto "}) {
    const auto start = std::chrono::steady_clock::now();
    const ConverterRun run = RunConverter(folder, options + "huge.tif huge.jpg");
    EXPECT_LT(SecondsOf(std::chrono::steady_clock::now() - start), 5.0);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_NE(run.errors.find("[1/2] huge.tif: Cannot read picture \"huge.tif\": the file is too "
                              "short for the 100000 x 100000 pixels its header announces"),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("[2/2] huge.jpg: Cannot read picture \"huge.jpg\": the file is too "
                              "short for the 65000 x 65000 pixels its header announces"),
              std::string::npos)
        << run.errors;
  }
}

}  // namespace
}  // namespace tivenor::testing
