// tivenor-punch's conventions: one line for every failure, exit 1 for a tune that makes no disc,
// 2 for a wrong command line, and no file of the user's lost or half written.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/punch/punch_run.h"
#include "tests/punch/punch_songs.h"

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

TEST_F(PunchCommand, AFailedWriteKeepsTheOldDisc) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  WriteText("disc.svg", "an older disc");
  std::filesystem::permissions(
      folder_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const ProgramRun run = RunPunch(folder_, "tune.mid -o disc.svg");
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(ReadText(folder_.File("disc.svg")), "an older disc");
}

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
