// tivenor-punch's conventions: one line for every failure, exit 1 for a tune that makes no disc,
// 2 for a wrong command line, and no file of the user's lost or half written.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "tests/punch/punch_run.h"
#include "tests/punch/punch_songs.h"
#include "tests/support/small_disk.h"

namespace tivenor::testing {
namespace {

class PunchCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(folder_.File("tune.mid"), SongBytes(ScaleWithTempoChange()));
  }
  void WriteText(const std::string& name, const std::string& text) {
    WriteFileBytes(folder_.File(name), std::vector<uint8_t>(text.begin(), text.end()));
  }
  // A run that must fail with one line naming the problem and leave disc.svg as it was.
  void ExpectFailure(const std::string& arguments, int exitCode, const std::string& words) {
    SCOPED_TRACE(arguments);
    WriteText("disc.svg", "an older disc");
    std::filesystem::remove(folder_.File("report.json"));
    const ProgramRun run = RunPunch(folder_, arguments);
    EXPECT_EQ(run.exitCode, exitCode) << run.errors;
    EXPECT_NE(run.errors.find(words), std::string::npos) << run.errors;
    if (exitCode == 1) {
      EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
    }
    EXPECT_TRUE(ReadText(folder_.File("disc.svg")) == "an older disc");
    EXPECT_FALSE(std::filesystem::exists(folder_.File("report.json")));
  }
  TempFolder folder_;
};

TEST_F(PunchCommand, TunesThatMakeNoDiscFailWithOneLine) {
  WriteText("text.mid", "MIDI? no, a shopping list\n");
  ExpectFailure("text.mid -o disc.svg --report report.json", 1, "not a MIDI file");

  std::vector<uint8_t> bytes = SongBytes(ScaleWithTempoChange());
  bytes.resize(bytes.size() - 40);
  WriteFileBytes(folder_.File("cut.mid"), bytes);
  ExpectFailure("cut.mid -o disc.svg --report report.json", 1, "damaged MIDI file");

  Song silent;
  silent.tempos = {{0, 500000}};
  WriteFileBytes(folder_.File("silent.mid"), SongFormat0(silent));
  ExpectFailure("silent.mid -o disc.svg --report report.json", 1, "the tune has no notes");

  Song drums;
  drums.tracks = {{{0, 36, 9}, {480, 38, 9}}};
  WriteFileBytes(folder_.File("drums.mid"), SongFormat1(drums));
  ExpectFailure("drums.mid -o disc.svg --report report.json", 1, "only drum notes");

  // The scale lasts 19 s.
  ExpectFailure("tune.mid -o disc.svg --report report.json --seconds-per-turn 10", 1,
                "s per turn a disc holds");
  ExpectFailure("missing.mid -o disc.svg", 1, "missing.mid");
  ExpectFailure("tune.mid -o no/such/folder/disc.svg --report report.json", 1, "disc.svg");
}

TEST_F(PunchCommand, AWrongCommandLineIsAUsageError) {
  ExpectFailure("tune.mid", 2, "-o DISC");
  ExpectFailure("tune.mid -o disc.txt", 2, ".svg, .pdf, .png or .bmp");
  ExpectFailure("tune.mid -o disc.svg --dpi 0", 2, "--dpi");
  ExpectFailure("tune.mid -o disc.svg --slot-width 1.0 --slot-length 0.8", 2, "longer than");
  ExpectFailure("tune.mid -o disc.svg --transpose up", 2, "--transpose");
  ExpectFailure("tune.mid other.mid -o disc.svg", 2, "one MIDI file");
}

TEST_F(PunchCommand, TheDiameterGoesWithTheFormatsThatNeedIt) {
  ExpectFailure("tune.mid -o disc.svg --diameter 330", 2,
                "--diameter is for other formats than disc-114-30");
  ExpectFailure("tune.mid -o disc.svg --diameter big", 2, "--diameter takes a number");
  if (RunIn(folder_, "'" TIVENOR_PUNCH "' --help | grep -q -- --format").exitCode != 0) {
    GTEST_SKIP() << "this tivenor-punch takes no --format";
  }
  // The piano player's disc gives its sizes in fractions of the rim.
  ExpectFailure("tune.mid -o disc.svg --format piano-player-36", 2, "--diameter MM");
  const ProgramRun made =
      RunPunch(folder_, "tune.mid -o disc.svg --format piano-player-36 --diameter 400");
  ASSERT_EQ(made.exitCode, 0) << made.errors;
  EXPECT_NE(ReadText(folder_.File("disc.svg")).find("width=\"408mm\" height=\"408mm\""),
            std::string::npos);
}

TEST_F(PunchCommand, NeverWritesOverItsInput) {
  // A tune whose name looks like a picture.
  WriteFileBytes(folder_.File("tune.png"), SongBytes(ScaleWithTempoChange()));
  const std::string before = ReadText(folder_.File("tune.png"));
  ProgramRun run = RunPunch(folder_, "tune.png -o ./tune.png");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
  run = RunPunch(folder_, "tune.png -o disc.svg --report tune.png");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(ReadText(folder_.File("tune.png")), before);
}

// Root writes into folders it may not write, but not on a disk mounted read-only.
TEST_F(PunchCommand, AFailedWriteKeepsTheOldDisc) {
  std::string disc = "disc.svg";
  std::unique_ptr<SmallDisk> disk;
  if (::geteuid() == 0) {
    disk = std::make_unique<SmallDisk>(folder_.File("disk"), 1 << 20);
    if (!disk->Mounted()) GTEST_SKIP() << "cannot mount a read-only disk";
    disc = "disk/disc.svg";
  }
  WriteText(disc, "an older disc");
  if (disk) {
    ASSERT_TRUE(disk->MakeReadOnly());
  } else {
    std::filesystem::permissions(
        folder_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  const ProgramRun run = RunPunch(folder_, "tune.mid -o " + disc);
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
  EXPECT_EQ(ReadText(folder_.File(disc)), "an older disc");
}

// Named pipes and devices, named directly or through a link, are never replaced: as root the
// maker once put a regular file in the place of /dev/null.
TEST_F(PunchCommand, OutputsThatAreNoRegularFilesAreRefused) {
  ASSERT_EQ(::mkfifo(folder_.File("pipe.svg").c_str(), 0600), 0);
  std::filesystem::create_symlink("pipe.svg", folder_.File("to-pipe.svg"));
  std::filesystem::create_symlink("pipe.svg", folder_.File("to-pipe.json"));
  std::vector<std::string> refused = {"-o pipe.svg", "-o to-pipe.svg",
                                      "-o disc.svg --report pipe.svg",
                                      "-o disc.svg --report to-pipe.json"};
  // A device like /dev/null, made in the test's folder.
  const bool device = ::mknod(folder_.File("null.svg").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  if (device) {
    std::filesystem::create_symlink("null.svg", folder_.File("to-null.png"));
    std::filesystem::create_symlink("null.svg", folder_.File("to-null.json"));
    refused.insert(refused.end(), {"-o null.svg", "-o to-null.png", "-o disc.svg --report null.svg",
                                   "-o disc.svg --report to-null.json"});
  }
  for (const std::string& outputs : refused) {
    SCOPED_TRACE(outputs);
    const ProgramRun run = RunIn(folder_, "timeout 20 '" TIVENOR_PUNCH "' tune.mid " + outputs);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
    EXPECT_NE(run.errors.find("not a regular file"), std::string::npos) << run.errors;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(folder_.File("pipe.svg")));
  if (device) {
    EXPECT_TRUE(std::filesystem::is_character_file(folder_.File("null.svg")));
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.svg")));
}

// A name of 255 bytes is the longest a folder holds: the temporary's name must be shorter.
TEST_F(PunchCommand, TheLongestNamesAreWritten) {
  for (const std::size_t length : {246u, 250u, 255u}) {
    const std::string disc = std::string(length - 4, 'd') + ".png";
    const std::string report = std::string(length - 5, 'r') + ".json";
    const ProgramRun run = RunPunch(folder_, "tune.mid -o " + disc + " --report " + report);
    EXPECT_EQ(run.exitCode, 0) << length << ": " << run.errors;
    EXPECT_TRUE(std::filesystem::exists(folder_.File(disc))) << length;
    EXPECT_TRUE(std::filesystem::exists(folder_.File(report))) << length;
  }
}

// Names are bytes: "\xe9" alone is Latin-1, not UTF-8, and must neither be lost nor mended. The
// report stays valid JSON.
TEST_F(PunchCommand, NamesThatAreNotUtf8AreKeptByteForByte) {
  std::filesystem::copy_file(folder_.File("tune.mid"), folder_.File("tune\xe9.mid"));
  const ProgramRun run =
      RunPunch(folder_, "'tune\xe9.mid' -o 'disc\xe9.svg' --report 'report\xe9.json'");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors.rfind("tune\xe9.mid: 42 notes punched", 0), 0u) << run.errors;
  EXPECT_NE(run.errors.find("written disc\xe9.svg\n"), std::string::npos) << run.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("disc\xe9.svg")));
  const PunchReport report = ReadReport(folder_.File("report\xe9.json"));
  EXPECT_EQ(report.source, "tune\xef\xbf\xbd.mid");
  EXPECT_EQ(report.notes.size(), 42u);
}

// The maker's own example: a picture named like the tune would have its MIDI file, read back
// beside it, written over the tune. Pages (SVG, PDF) are not read back and keep the name.
TEST_F(PunchCommand, APictureWhoseMidiFileWouldReplaceTheTuneIsRefused) {
  const std::string tune = ReadText(folder_.File("tune.mid"));
  for (const std::string disc : {"tune.png", "tune.bmp", "./tune.png"}) {
    const ProgramRun run = RunPunch(folder_, "tune.mid -o " + disc);
    EXPECT_EQ(run.exitCode, 1) << disc << ": " << run.errors;
    EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
    EXPECT_NE(run.errors.find("\"" + disc + "\""), std::string::npos) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder_.File(disc))) << disc;
  }
  EXPECT_EQ(ReadText(folder_.File("tune.mid")), tune);
  EXPECT_EQ(RunPunch(folder_, "tune.mid -o tune.svg").exitCode, 0);
  EXPECT_EQ(RunPunch(folder_, "tune.mid -o tune-disc.png").exitCode, 0);
  EXPECT_EQ(ReadText(folder_.File("tune.mid")), tune);
}

// The README's examples, run as written: the disc is made and read back, and the tune is kept.
TEST_F(PunchCommand, TheReadmesExamplesKeepTheTune) {
  const std::string tune = ReadText(folder_.File("tune.mid"));
  std::ifstream readme(TIVENOR_README);
  const std::string command = "build/bin/tivenor-punch ";
  const std::string readBack = "# reads back with tivenor-convert ";
  int examples = 0;
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind(command, 0) != 0) continue;
    ++examples;
    const std::size_t comment = line.find(readBack);
    const std::string arguments = line.substr(command.size(), comment - command.size());
    const ProgramRun punch = RunPunch(folder_, arguments);
    EXPECT_EQ(punch.exitCode, 0) << line << ": " << punch.errors;
    if (comment != std::string::npos) {
      const ProgramRun convert = RunConvert(folder_, line.substr(comment + readBack.size()));
      EXPECT_EQ(convert.exitCode, 0) << line << ": " << convert.errors;
    }
    EXPECT_EQ(ReadText(folder_.File("tune.mid")), tune) << line;
  }
  EXPECT_GE(examples, 2);
}

// SIGTERM or SIGINT while a large disc is being made: the program ends as the signal asks and
// leaves no temporary file behind.
TEST_F(PunchCommand, AnInterruptedWriteLeavesNothingBehind) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const std::string punch = TIVENOR_PUNCH;
    const std::string tune = folder_.File("tune.mid");
    const std::string disc = folder_.File("disc.bmp");
    std::vector<char*> arguments;
    std::string words[] = {punch, tune, "-o", disc, "--dpi", "1200"};
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);
    // As from a terminal: a shell running the tests in the background ignores SIGINT.
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t defaults;
    ::sigemptyset(&defaults);
    ::sigaddset(&defaults, signal);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, punch.c_str(), nullptr, &attributes, arguments.data(), environ),
              0);
    ::posix_spawnattr_destroy(&attributes);
    // The signal comes once the maker has started its file.
    const auto start = std::chrono::steady_clock::now();
    bool started = false;
    while (!started && std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
      for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
        if (entry.path().filename() != "tune.mid") started = true;
      }
      if (!started) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_TRUE(started);
    ::kill(child, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"tune.mid"});
  }
}

// A disc or report a little too large for the disk: the old file stays, and the one line
// names it and says the disk is full. Qt's own save file renamed even after a failed write.
class PunchOnAFullDisk : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    WriteFileBytes(folder_.File("tune.mid"), SongBytes(ScaleWithTempoChange()));
  }
  TempFolder folder_;
};

TEST_P(PunchOnAFullDisk, KeepsTheOldFileAndSaysTheDiskIsFull) {
  const std::string& kind = GetParam();
  const bool report = kind == "json";
  const std::string sized = report ? "-o sized.svg --report sized.json" : "-o sized." + kind;
  ASSERT_EQ(RunPunch(folder_, "tune.mid " + sized).exitCode, 0);
  const uint64_t size = std::filesystem::file_size(folder_.File("sized." + kind));
  SmallDisk disk(folder_.File("disk"), 2 * size + (1 << 20));
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small disk";
  const std::string target = "disk/old." + kind;
  WriteFileBytes(folder_.File(target), {'o', 'l', 'd'});
  disk.LeaveFree(size - 1);

  const ProgramRun run =
      RunPunch(folder_, "tune.mid " + (report ? "-o disc.svg --report " + target : "-o " + target));
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(run.errors, "tivenor-punch: \"" + target + "\": Disk full\n");
  EXPECT_EQ(ReadText(folder_.File(target)), "old");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.File("disk"))) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".filler", "old." + kind}));
}

INSTANTIATE_TEST_SUITE_P(Outputs, PunchOnAFullDisk,
                         ::testing::Values("svg", "pdf", "png", "bmp", "json"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param == "json" ? std::string("Report")
                                                       : "Disc_" + info.param;
                         });

TEST_F(PunchCommand, SummarySaysWhatWasPunched) {
  const ProgramRun run = RunPunch(folder_, "tune.mid -o disc.pdf");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors, "tune.mid: 42 notes punched, 0 left out, transpose +0, written disc.pdf\n");
  EXPECT_EQ(ReadText(folder_.File("disc.pdf")).rfind("%PDF", 0), 0u);
}

TEST_F(PunchCommand, AGivenShiftAndSpeedAreKept) {
  const ProgramRun run = RunPunch(
      folder_, "tune.mid -o disc.svg --transpose -2 --seconds-per-turn 30 --report report.json");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const PunchReport report = ReadReport(folder_.File("report.json"));
  EXPECT_EQ(report.transpose, -2);
  ASSERT_FALSE(report.notes.empty());
  const ReportNote& first = report.notes.front();
  for (const ReportNote& note : report.notes) {
    EXPECT_EQ(note.key, note.sourceKey - 2);
    EXPECT_NEAR(note.tick - first.tick, 120.0 * (note.time - first.time), 1.0);  // 3600 / 30 s
  }
}

TEST_F(PunchCommand, MoreHolesThanTheReaderKeepsAreReported) {
  Song song;
  std::vector<SongNote> notes;
  const int keys[] = {52, 59, 64, 66, 68, 71, 73, 75, 76, 78, 81,
                      83, 85, 87, 88, 90, 92, 93, 94, 95, 97, 99};
  notes.reserve(620);
  for (int i = 0; i < 620; ++i) notes.push_back({static_cast<uint32_t>(i * 48), keys[i % 22]});
  song.tracks = {notes};
  WriteFileBytes(folder_.File("long.mid"), SongFormat0(song));
  const ProgramRun run = RunPunch(folder_, "long.mid -o disc.svg --report report.json");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("Tivenor's reader keeps 500 notes"), std::string::npos) << run.errors;
  const PunchReport report = ReadReport(folder_.File("report.json"));
  ASSERT_GT(report.notes.size(), 500u);
  ASSERT_EQ(report.warnings.size(), 1u);
  EXPECT_NE(report.warnings[0].find(std::to_string(report.notes.size()) + " holes"),
            std::string::npos);
}

TEST_F(PunchCommand, CutOutlinesLeaveTheDiscUnfilled) {
  ASSERT_EQ(RunPunch(folder_, "tune.mid -o cut.svg --cut").exitCode, 0);
  ASSERT_EQ(RunPunch(folder_, "tune.mid -o print.svg").exitCode, 0);
  const std::string cut = ReadText(folder_.File("cut.svg"));
  const std::string print = ReadText(folder_.File("print.svg"));
  EXPECT_NE(print.find("fill=\"#000000\""), std::string::npos);
  EXPECT_EQ(cut.find("fill=\"#000000\""), std::string::npos);
  EXPECT_NE(cut.find("stroke=\"#000000\" stroke-opacity=\"1\" stroke-width=\"0.0254\""),
            std::string::npos);
  EXPECT_NE(cut.find("width=\"122mm\" height=\"122mm\""), std::string::npos);
}

}  // namespace
}  // namespace tivenor::testing
