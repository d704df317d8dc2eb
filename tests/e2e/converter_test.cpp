// The converter run as a user runs it: exit status, the MIDI file beside the picture, the
// summary line, and bad pictures that do not stop the good ones.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/melodies.h"
#include "tests/e2e/note_match.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"

namespace tivenor::testing {
namespace {

struct Converted {
  int exitCode = -1;
  std::string errors;  // what it printed on stderr: progress, summaries, failures
};

// Runs the converter inside `folder` (its log goes there) with the given arguments.
Converted Convert(const TempFolder& folder, const std::string& arguments) {
  const std::string errorFile = folder.File("stderr.txt");
  const std::string command = "cd '" + folder.path().string() + "' && '" TIVENOR_CONVERT "' " +
                              arguments + " >/dev/null 2>'" + errorFile + "'";
  const int status = std::system(command.c_str());
  Converted result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errorFile);
  std::stringstream text;
  text << in.rdbuf();
  result.errors = text.str();
  return result;
}

class Converter : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBmp(RenderDisc(melody_.notes), BmpFormat::Rgb24, folder_.File("disc.bmp"));
    Raster light;
    light.Resize(300, 300, 0x00DCE2E4);
    WriteBmp(light, BmpFormat::Rgb24, folder_.File("nodisc.bmp"));
  }

  std::string NotesDiffer(const std::string& midiFile) const {
    return CompareNotes(ExpectedNotes(melody_.notes), DiscNotesOf(ReadMidiFile(midiFile)),
                        PixelsPerMm(DiscOptions{}))
        .differences;
  }

  Melody melody_ = ScaleWithChords();
  TempFolder folder_;
};

TEST_F(Converter, WritesMidiBesidePictureAndSummarises) {
  const Converted run = Convert(folder_, "disc.bmp");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(NotesDiffer(folder_.File("disc.mid")), "");
  const std::string count = std::to_string(melody_.notes.size()) + " notes found";
  EXPECT_NE(run.errors.find(count), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("disc.mid"), std::string::npos) << run.errors;
}

TEST_F(Converter, OutputOptionNamesTheFile) {
  const Converted run = Convert(folder_, "-o tune.mid disc.bmp");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(NotesDiffer(folder_.File("tune.mid")), "");
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
}

TEST_F(Converter, BadPictureFailsWithoutStoppingTheOthers) {
  const Converted run = Convert(folder_, "nodisc.bmp missing.bmp disc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(NotesDiffer(folder_.File("disc.mid")), "");
  EXPECT_FALSE(std::filesystem::exists(folder_.File("nodisc.mid")));
  EXPECT_NE(run.errors.find("nodisc.bmp"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("missing.bmp"), std::string::npos) << run.errors;
}

// The marked picture is the display after the run: holes green, note points blue, the start
// line yellow, all on the picture as it was read.
TEST_F(Converter, MarkedPictureShowsTheAnalysis) {
  const Converted run = Convert(folder_, "--marked marked.png disc.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const Raster marked = LoadPicture(folder_.File("marked.png"));
  const Raster original = LoadPicture(folder_.File("disc.bmp"));
  ASSERT_EQ(marked.width, original.width);
  ASSERT_EQ(marked.height, original.height);
  const auto count = [&](uint32_t colour) {
    return std::count(marked.pixels.begin(), marked.pixels.end(), colour);
  };
  EXPECT_GT(count(kGreen), static_cast<long>(melody_.notes.size()) * 20);
  EXPECT_GE(count(kBlue), static_cast<long>(melody_.notes.size()));
  EXPECT_GT(count(kYellow), 100);
  EXPECT_GT(count(kRed), 0);
}

// The settings reach the engine: a Maximum below the slots' size refuses every hole, and the
// failure says which setting turned them away.
TEST_F(Converter, SettingsReachTheScan) {
  const Converted tooLarge = Convert(folder_, "--maximum 20 disc.bmp");
  EXPECT_EQ(tooLarge.exitCode, 1) << tooLarge.errors;
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
  const std::string count = std::to_string(melody_.notes.size()) + " light patches were larger";
  EXPECT_NE(tooLarge.errors.find(count + " than --maximum 20"), std::string::npos)
      << tooLarge.errors;

  const Converted tooSmall = Convert(folder_, "--minimum 200 --maximum 900 disc.bmp");
  EXPECT_EQ(tooSmall.exitCode, 1) << tooSmall.errors;
  EXPECT_NE(tooSmall.errors.find("smaller than --minimum 200"), std::string::npos)
      << tooSmall.errors;

  const Converted tooDark = Convert(folder_, "--threshold 254 disc.bmp");
  EXPECT_EQ(tooDark.exitCode, 1) << tooDark.errors;
  EXPECT_NE(tooDark.errors.find("lighter than --threshold 254"), std::string::npos)
      << tooDark.errors;
}

TEST_F(Converter, OutOfRangeOptionIsAUsageError) {
  for (const char* arguments :
       {"--threshold 256 disc.bmp", "--extrapolation 0 disc.bmp", "--minimum -1 disc.bmp",
        "--maximum 901 disc.bmp", "", "--no-such-option disc.bmp"}) {
    SCOPED_TRACE(arguments);
    EXPECT_EQ(Convert(folder_, arguments).exitCode, 2);
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
}

// The marked picture is a PNG or BMP file as its name says: another name is refused before
// anything is written, rather than PNG bytes under a ".jpg" name.
TEST_F(Converter, MarkedPictureNamedOtherThanPngOrBmpIsAUsageError) {
  for (const char* arguments : {"--marked marked.jpg disc.bmp", "--marked marked.tif disc.bmp",
                                "--marked marked disc.bmp"}) {
    SCOPED_TRACE(arguments);
    const Converted run = Convert(folder_, arguments);
    EXPECT_EQ(run.exitCode, 2) << run.errors;
    EXPECT_NE(run.errors.find("--marked takes a file name ending in .png or .bmp"),
              std::string::npos)
        << run.errors;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("marked.jpg")));
  EXPECT_EQ(Convert(folder_, "--marked MARKED.PNG disc.bmp").exitCode, 0);
}

TEST_F(Converter, UnwritableOutputFailsNamingTheFile) {
  const Converted run = Convert(folder_, "-o no-such-folder/tune.mid disc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_NE(run.errors.find("no-such-folder/tune.mid"), std::string::npos) << run.errors;
  EXPECT_FALSE(std::filesystem::exists(folder_.File("no-such-folder")));
}

// A light patch of about 700 pixels inside the ring, accepted with Maximum 900: every pixel
// beyond the 500th is one log line in musicbox.log, in the folder the converter runs in.
TEST_F(Converter, DataErrorsGoToTheLogWhichEachRunStartsAfresh) {
  Raster picture = RenderDisc({});
  const int32_t cx = picture.width / 2 + 150, cy = picture.height / 2;
  FillEllipse(picture, cx - 15, cy - 15, cx + 15, cy + 15, 0x00F0F0F0);
  int32_t blob = 0;
  for (int32_t y = cy - 15; y < cy + 15; ++y)
    for (int32_t x = cx - 15; x < cx + 15; ++x) blob += picture.Pixel(x, y) == 0x00F0F0F0 ? 1 : 0;
  WriteBmp(picture, BmpFormat::Rgb24, folder_.File("blob.bmp"));

  const std::string line = "ERROR: too many pixels in disk hole\r\n";
  std::string expected;
  for (int32_t i = 500; i < blob; ++i) expected += line;
  for (int run = 0; run < 2; ++run) {
    const Converted converted = Convert(folder_, "--maximum 900 blob.bmp");
    EXPECT_EQ(converted.exitCode, 0) << converted.errors;
    EXPECT_NE(converted.errors.find(std::to_string(blob - 500) + " log lines"), std::string::npos)
        << converted.errors;
    std::ifstream in(folder_.File("musicbox.log"), std::ios::binary);
    std::stringstream log;
    log << in.rdbuf();
    EXPECT_EQ(log.str(), expected) << "run " << run;
  }
}

}  // namespace
}  // namespace tivenor::testing
