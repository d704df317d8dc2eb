// The converter never writes over a file the user has, nor over a result of the same run, and
// reads only regular files: each refusal is one line naming the paths, exit status 1.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/melodies.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"

namespace tivenor::testing {
namespace {

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

bool Mentions(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class DataSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBmp(RenderDisc(ScaleWithChords().notes), BmpFormat::Rgb24, folder_.File("disc.bmp"));
    picture_ = FileBytes(folder_.File("disc.bmp"));
  }

  // Copies the disc picture to `name` in the folder.
  void PictureAs(const std::string& name) const {
    std::filesystem::copy_file(folder_.File("disc.bmp"), folder_.File(name));
  }

  // A run refused before it wrote anything: exit 1, one line naming both paths.
  void ExpectRefused(const std::string& arguments, const std::string& output,
                     const std::string& kept) const {
    SCOPED_TRACE(arguments);
    const ConverterRun run = RunConverter(folder_, arguments);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
    EXPECT_TRUE(Mentions(run.errors, "\"" + output + "\"")) << run.errors;
    EXPECT_TRUE(Mentions(run.errors, "\"" + kept + "\"")) << run.errors;
  }

  TempFolder folder_;
  std::string picture_;  // the bytes of disc.bmp
};

// The MIDI file is named by dropping the picture's last three characters and adding "mid":
// for "pyramid" or "tune.mid" that is the picture itself.
TEST_F(DataSafety, APictureWhoseMidiNameIsItselfIsKept) {
  for (const std::string name : {"pyramid", "tune.mid"}) {
    PictureAs(name);
    ExpectRefused(name, name, name);
    EXPECT_EQ(FileBytes(folder_.File(name)), picture_) << name;
  }
}

TEST_F(DataSafety, OutputsNamingThePictureInAnySpellingAreRefused) {
  std::filesystem::create_symlink("disc.bmp", folder_.File("link.bmp"));
  ExpectRefused("-o disc.bmp disc.bmp", "disc.bmp", "disc.bmp");
  ExpectRefused("-o ./disc.bmp disc.bmp", "./disc.bmp", "disc.bmp");
  ExpectRefused("-o link.bmp disc.bmp", "link.bmp", "disc.bmp");
  ExpectRefused("--marked disc.bmp disc.bmp", "disc.bmp", "disc.bmp");
  ExpectRefused("--marked ./link.bmp disc.bmp", "./link.bmp", "disc.bmp");
  EXPECT_EQ(FileBytes(folder_.File("disc.bmp")), picture_);
  EXPECT_TRUE(std::filesystem::is_symlink(folder_.File("link.bmp")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
}

TEST_F(DataSafety, TheMarkedPictureNeverReplacesTheMidiFile) {
  ExpectRefused("--marked disc.mid disc.bmp", "disc.mid", "disc.mid");
  ExpectRefused("-o tune.mid --marked ./tune.mid disc.bmp", "./tune.mid", "tune.mid");
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("tune.mid")));
}

TEST_F(DataSafety, OutputsThatAreNoRegularFilesAreRefused) {
  std::filesystem::create_directory(folder_.File("folder.mid"));
  ASSERT_EQ(mkfifo(folder_.File("pipe.png").c_str(), 0600), 0);
  for (const std::string arguments : {"-o folder.mid disc.bmp", "--marked pipe.png disc.bmp"}) {
    const ConverterRun run = RunConverter(folder_, arguments, 20);
    EXPECT_EQ(run.exitCode, 1) << arguments << ": " << run.errors;
    EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
    EXPECT_TRUE(Mentions(run.errors, "not a regular file")) << run.errors;
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder_.File("folder.mid")));
  EXPECT_TRUE(std::filesystem::is_fifo(folder_.File("pipe.png")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
}

// waltz.bmp and waltz.png would both give waltz.mid: the first keeps it, the second is refused
// naming both pictures and the file, and the run ends with status 1.
TEST_F(DataSafety, TwoPicturesOfOneRunNeverShareAMidiFile) {
  PictureAs("waltz.bmp");
  SavePicturePng(RenderDisc(RepeatedKeys().notes), folder_.File("waltz.png"));
  ASSERT_EQ(RunConverter(folder_, "waltz.bmp").exitCode, 0);
  const std::string alone = FileBytes(folder_.File("waltz.mid"));
  std::filesystem::remove(folder_.File("waltz.mid"));

  const ConverterRun run = RunConverter(folder_, "waltz.bmp waltz.png");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(FileBytes(folder_.File("waltz.mid")), alone);
  const std::size_t refusal = run.errors.find("waltz.png");
  ASSERT_NE(refusal, std::string::npos) << run.errors;
  const std::string line = run.errors.substr(run.errors.rfind('\n', refusal) + 1);
  EXPECT_TRUE(Mentions(line.substr(0, line.find('\n')), "waltz.bmp")) << run.errors;
  EXPECT_TRUE(Mentions(line.substr(0, line.find('\n')), "waltz.mid")) << run.errors;
}

// A picture named twice on one command line would be written twice as well.
TEST_F(DataSafety, APictureNamedTwiceIsConvertedOnce) {
  const ConverterRun run = RunConverter(folder_, "disc.bmp ./disc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("disc.mid")));
  EXPECT_EQ(FileBytes(folder_.File("disc.bmp")), picture_);
}

// A result must not replace another picture of the run either: "tune.mid" is a picture here.
TEST_F(DataSafety, NoResultReplacesAnotherPictureOfTheRun) {
  PictureAs("tune.mid");
  PictureAs("tune.xyz");
  const ConverterRun run = RunConverter(folder_, "tune.mid tune.xyz");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(FileBytes(folder_.File("tune.mid")), picture_);
}

TEST_F(DataSafety, OnlyRegularFilesAreReadAsPictures) {
  ASSERT_EQ(mkfifo(folder_.File("pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_directory(folder_.File("folder.bmp"));
  for (const std::string picture : {"pipe.bmp", "folder.bmp", "/dev/zero"}) {
    const auto start = std::chrono::steady_clock::now();
    const ConverterRun run = RunConverter(folder_, picture, 20);
    EXPECT_EQ(run.exitCode, 1) << picture << ": " << run.errors;
    EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
    EXPECT_TRUE(Mentions(run.errors, "not a regular file")) << run.errors;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << picture;
  }
}

}  // namespace
}  // namespace tivenor::testing
