// tivenor-punch --format: the format a disc is made in; one that cannot be used is a usage error
// with one line, and nothing is written.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/format/format_texts.h"
#include "tests/punch/punch_run.h"
#include "tests/punch/punch_songs.h"

namespace tivenor::testing {
namespace {

class PunchFormat : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(folder_.File("tune.mid"), SongBytes(ScaleWithTempoChange()));
  }
  void WriteText(const std::string& name, const std::string& text) {
    WriteFileBytes(folder_.File(name), std::vector<uint8_t>(text.begin(), text.end()));
  }
  void ExpectUsageError(const std::string& arguments, const std::string& errors) {
    SCOPED_TRACE(arguments);
    const ProgramRun run = RunPunch(folder_, "tune.mid -o disc.svg " + arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errors, errors);
    EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.svg")));
  }
  TempFolder folder_;
};

TEST_F(PunchFormat, UnknownNameIsAUsageErrorListingTheKnownOnes) {
  ExpectUsageError("--format piano",
                   "tivenor-punch: unknown disc format \"piano\"; known formats: disc-114-30, "
                   "ariston-24, piano-player-36; or give a format file's path\n");
}

TEST_F(PunchFormat, BadFormatFileIsAUsageErrorNamingTheField) {
  std::string text = kTestFormatText;
  text.replace(text.find("\"program\": 10"), 13, "\"program\": -1");
  WriteText("bad.json", text);
  ExpectUsageError("--format bad.json",
                   "tivenor-punch: \"bad.json\": program: -1 is not a General MIDI program (0 to "
                   "127)\n");
}

TEST_F(PunchFormat, AutoIsForReading) {
  ExpectUsageError("--format auto",
                   "tivenor-punch: --format auto chooses a format for reading; a disc is made in "
                   "one format\nTry 'tivenor-punch --help' for more information.\n");
}

TEST_F(PunchFormat, BuiltInFormatByNameMakesTheSameDisc) {
  ASSERT_EQ(RunPunch(folder_, "tune.mid -o plain.svg").exitCode, 0);
  ASSERT_EQ(RunPunch(folder_, "tune.mid -o named.svg --format disc-114-30").exitCode, 0);
  const std::string plain = ReadText(folder_.File("plain.svg"));
  EXPECT_FALSE(plain.empty());
  EXPECT_EQ(ReadText(folder_.File("named.svg")), plain);
}

// Below 85 dpi the 0.45 mm of card between a 30 cm piano player's tracks is too thin for the
// converter to keep their slots apart; the disc is made, and the summary says which --dpi reads.
TEST_F(PunchFormat, APictureTooCoarseForItsCardSaysWhichResolutionReads) {
  const std::string options = "tune.mid -o disc.png --format piano-player-36 --diameter 300";
  ProgramRun run = RunPunch(folder_, options + " --dpi 100");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
  EXPECT_EQ(run.errors.find("dpi"), std::string::npos) << run.errors;
  run = RunPunch(folder_, options + " --dpi 60");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(LineCount(run.errors), 1) << run.errors;
  const std::string advice =
      "; the thinnest card between slots, 0.45 mm, covers 1.1 pixels at 60 dpi: too few to read "
      "the slots back apart; use --dpi 85 or more\n";
  ASSERT_GT(run.errors.size(), advice.size());
  EXPECT_EQ(run.errors.substr(run.errors.size() - advice.size()), advice);
}

}  // namespace
}  // namespace tivenor::testing
