// The converter never writes over a file the user has, nor over a result of the same run, and
// reads only regular files: each refusal is one line naming the paths, exit status 1. A file it
// writes replaces the old one only when complete, whatever its name's length or bytes.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/melodies.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/small_disk.h"

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
  // A marked picture is named as a picture, so the default MIDI name never fits it.
  EXPECT_EQ(RunConverter(folder_, "--marked disc.mid disc.bmp").exitCode, 2);
  ExpectRefused("-o tune.png --marked ./tune.png disc.bmp", "./tune.png", "tune.png");
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("tune.png")));
}

TEST_F(DataSafety, OutputsThatAreNoRegularFilesAreRefused) {
  std::filesystem::create_directory(folder_.File("folder.mid"));
  ASSERT_EQ(mkfifo(folder_.File("pipe.png").c_str(), 0600), 0);
  std::filesystem::create_symlink("pipe.png", folder_.File("to-pipe.png"));
  for (const std::string arguments :
       {"-o folder.mid disc.bmp", "--marked pipe.png disc.bmp", "--marked to-pipe.png disc.bmp"}) {
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
  SavePicture(RenderDisc(RepeatedKeys().notes), folder_.File("waltz.png"));
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

// A marked picture a few kilobytes too large for the disk: the old one stays, and the one line
// names it and says the disk is full.
TEST_F(DataSafety, AFullDiskKeepsTheOldMarkedPicture) {
  ASSERT_EQ(RunConverter(folder_, "-o first.mid --marked marked.png disc.bmp").exitCode, 0);
  const uint64_t size = std::filesystem::file_size(folder_.File("marked.png"));
  SmallDisk disk(folder_.File("disk"), 4 * size + (1 << 20));
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small disk";
  std::ofstream(disk.File("marked.png"), std::ios::binary) << "an older marked picture";
  disk.LeaveFree(size - 4096);

  const ConverterRun run = RunConverter(folder_, "-o second.mid --marked disk/marked.png disc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_TRUE(Mentions(run.errors, "\"disk/marked.png\": Disk full\n")) << run.errors;
  EXPECT_TRUE(FileBytes(disk.File("marked.png")) == "an older marked picture");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.File("disk")),
                          std::filesystem::directory_iterator()),
            2);  // the old picture and the disk's filler
}

TEST_F(DataSafety, AFullDiskKeepsTheOldMidiFile) {
  SmallDisk disk(folder_.File("disk"), 4 << 20);
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small disk";
  PictureAs("disk/disc.bmp");
  ASSERT_EQ(RunConverter(folder_, "disk/disc.bmp").exitCode, 0);
  const std::string old = FileBytes(disk.File("disc.mid"));
  disk.LeaveFree(0);
  const ConverterRun run = RunConverter(folder_, "disk/disc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_TRUE(Mentions(run.errors, "\"disk/disc.mid\": Disk full\n")) << run.errors;
  EXPECT_EQ(FileBytes(disk.File("disc.mid")), old);
}

// A name of 255 bytes is the longest a folder holds: the temporary's name must be shorter.
TEST_F(DataSafety, TheLongestNamesAreWritten) {
  for (const std::size_t length : {246u, 250u, 255u}) {
    const std::string stem(length - 4, 'w');
    PictureAs(stem + ".bmp");
    const ConverterRun run =
        RunConverter(folder_, stem + ".bmp --marked " + std::string(length - 4, 'm') + ".png");
    EXPECT_EQ(run.exitCode, 0) << length << ": " << run.errors;
    EXPECT_TRUE(std::filesystem::exists(folder_.File(stem + ".mid"))) << length;
    EXPECT_TRUE(std::filesystem::exists(folder_.File(std::string(length - 4, 'm') + ".png")))
        << length;
  }
}

// Names are bytes: "caf\xe9" is Latin-1, not UTF-8, and must neither be lost nor mended.
TEST_F(DataSafety, NamesThatAreNotUtf8AreKeptByteForByte) {
  const std::string cafe = "caf\xe9";
  PictureAs(cafe + ".bmp");
  SavePicture(RenderDisc(RepeatedKeys().notes), folder_.File(cafe + ".png"));
  ConverterRun run = RunConverter(folder_, "'" + cafe + ".bmp'");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(Mentions(run.errors, "written " + cafe + ".mid\n")) << run.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File(cafe + ".mid")));
  const std::string bmpTune = FileBytes(folder_.File(cafe + ".mid"));

  run = RunConverter(folder_, "-o 'tune\xe9.mid' --marked 'marked\xe9.png' '" + cafe + ".png'");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("tune\xe9.mid")));
  EXPECT_TRUE(std::filesystem::exists(folder_.File("marked\xe9.png")));
  EXPECT_NE(FileBytes(folder_.File("tune\xe9.mid")), bmpTune);  // the other picture's tune
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    EXPECT_EQ(entry.path().filename().string().find("\xef\xbf\xbd"), std::string::npos)
        << "written under a mended name: " << entry.path();
  }
}

TEST_F(DataSafety, ALoopOfLinksIsNoMissingFile) {
  std::filesystem::create_symlink("loop.bmp", folder_.File("loop.bmp"));
  const ConverterRun run = RunConverter(folder_, "loop.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
  EXPECT_TRUE(Mentions(run.errors, "Too many levels of symbolic links")) << run.errors;
  EXPECT_FALSE(Mentions(run.errors, "not found")) << run.errors;
}

// The last three characters give way to "mid": for "sub/ab" that would be "submid", outside
// the picture's folder.
TEST_F(DataSafety, TheMidiFileNeverLeavesThePicturesFolder) {
  std::filesystem::create_directory(folder_.File("sub"));
  PictureAs("sub/ab");
  const ConverterRun run = RunConverter(folder_, "sub/ab");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
  EXPECT_TRUE(Mentions(run.errors, "\"submid\", outside the picture's folder")) << run.errors;
  EXPECT_FALSE(std::filesystem::exists(folder_.File("submid")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.File("sub")),
                          std::filesystem::directory_iterator()),
            1);
}

// The maker's tune.mid made into tune.png: reading the picture back must not replace the tune,
// which is no MIDI file of the converter's own. Its own MIDI files are replaced as before.
TEST_F(DataSafety, TheUsersOwnTuneIsNeverReplaced) {
  PictureAs("tune.png");
  const std::string tune = "MThd\0\0\0\6\0\1\0\2\1\xe0 a tune of the user's";
  std::ofstream(folder_.File("tune.mid"), std::ios::binary) << tune;
  ExpectRefused("tune.png", "tune.mid", "tune.mid");
  EXPECT_TRUE(Mentions(RunConverter(folder_, "tune.png").errors, "a file Tivenor did not write"));
  EXPECT_EQ(FileBytes(folder_.File("tune.mid")), tune);

  ASSERT_EQ(RunConverter(folder_, "-o back.mid tune.png").exitCode, 0);
  ASSERT_EQ(RunConverter(folder_, "-o back.mid tune.png").exitCode, 0);
  std::filesystem::remove(folder_.File("tune.mid"));
  ASSERT_EQ(RunConverter(folder_, "tune.png").exitCode, 0);
  EXPECT_EQ(RunConverter(folder_, "tune.png").exitCode, 0);
  EXPECT_EQ(FileBytes(folder_.File("tune.mid")), FileBytes(folder_.File("back.mid")));
}

// SIGTERM or SIGINT while the marked picture of a large scan is being written: the converter ends
// as the signal asks and leaves no temporary file behind.
TEST_F(DataSafety, AnInterruptedWriteLeavesNothingBehind) {
  DiscOptions large;
  large.dpi = 600;
  WriteBmp(RenderDisc(ScaleWithChords().notes, large), BmpFormat::Rgb24, folder_.File("large.bmp"));
  const std::set<std::string> kept = {"disc.bmp", "large.bmp", "large.mid", "musicbox.log"};
  const auto entries = [&] {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  };
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    std::string words[] = {TIVENOR_CONVERT, "--minimum", "100",        "--maximum",
                           "900",           "--marked",  "marked.png", "large.bmp"};
    std::vector<char*> arguments;
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.path().c_str());
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // As from a terminal: a shell running the tests in the background ignores SIGINT.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    ASSERT_EQ(
        posix_spawn(&child, words[0].c_str(), &actions, &attributes, arguments.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    // Once the MIDI file is written, the next new name is the marked picture's temporary.
    const auto start = std::chrono::steady_clock::now();
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
      const std::set<std::string> now = entries();
      writing = now.count("large.mid") > 0 &&
                std::any_of(now.begin(), now.end(),
                            [&](const std::string& name) { return kept.count(name) == 0; });
      if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    EXPECT_TRUE(writing);
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    for (const std::string& name : entries()) EXPECT_EQ(kept.count(name), 1u) << name;
  }
}

}  // namespace
}  // namespace tivenor::testing
