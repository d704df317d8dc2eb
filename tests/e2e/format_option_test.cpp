// The converter's --format, --list-formats, --turn-seconds and --mirrored as a user types them:
// a format that cannot be used is a usage error with one line, and nothing is written.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/converter_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/format/format_texts.h"

namespace tivenor::testing {
namespace {

class FormatOption : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(TIVENOR_SAMPLES_DIR "/twinkle.bmp", folder_.File("twinkle.bmp"));
  }
  void WriteText(const std::string& name, const std::string& text) {
    std::ofstream(folder_.File(name), std::ios::binary) << text;
  }
  // A usage error with exactly `line` on stderr, and no MIDI file.
  void ExpectUsageError(const std::string& arguments, const std::string& line) {
    SCOPED_TRACE(arguments);
    const ConverterRun run = RunConverter(folder_, arguments + " twinkle.bmp");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errors, line + "\n");
    EXPECT_FALSE(std::filesystem::exists(folder_.File("twinkle.mid")));
  }
  std::string MidiAfter(const std::string& arguments) {
    std::filesystem::remove(folder_.File("twinkle.mid"));
    const ConverterRun run = RunConverter(folder_, arguments + " twinkle.bmp");
    EXPECT_EQ(run.exitCode, 0) << arguments << ": " << run.errors;
    return FileBytes(folder_.File("twinkle.mid"));
  }
  TempFolder folder_;
};

TEST_F(FormatOption, UnknownNameIsAUsageErrorListingTheKnownOnes) {
  ExpectUsageError("--format ariston",
                   "tivenor-convert: unknown disc format \"ariston\"; known formats: "
                   "disc-114-30, ariston-24, piano-player-36; or give a format file's path");
}

TEST_F(FormatOption, MoreThanOneFormatOnlyWithAuto) {
  ExpectUsageError("--format ariston-24 --format piano-player-36",
                   "tivenor-convert: --format is given 2 times: give one format, or auto and the "
                   "formats to choose among");
  // With auto, a bad file among the formats to choose from is named as on its own.
  std::string text = kTestFormatText;
  text.replace(text.find("65]"), 2, "130");
  WriteText("bad.json", text);
  ExpectUsageError("--format auto --format bad.json",
                   "tivenor-convert: \"bad.json\": tracks.keys[3]: 130 is not a MIDI key (0 to "
                   "127)");
}

TEST_F(FormatOption, BadFormatFileIsAUsageErrorNamingTheField) {
  std::string text = kTestFormatText;
  text.replace(text.find("65]"), 2, "130");
  WriteText("bad.json", text);
  ExpectUsageError("--format bad.json",
                   "tivenor-convert: \"bad.json\": tracks.keys[3]: 130 is not a MIDI key (0 to "
                   "127)");
  ExpectUsageError("--format=./bad.json",
                   "tivenor-convert: \"./bad.json\": tracks.keys[3]: 130 is not a MIDI key (0 "
                   "to 127)");
  // The file's name is passed on as the bytes given, even where they are no UTF-8.
  WriteText("bad-\xff.json", text);
  ExpectUsageError("--format 'bad-\xff.json'",
                   "tivenor-convert: \"bad-\xff.json\": tracks.keys[3]: 130 is not a MIDI key (0 "
                   "to 127)");
}

TEST_F(FormatOption, FormatFileThatIsNoFileIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo(folder_.File("pipe.json").c_str(), 0600), 0);
  ExpectUsageError("--format pipe.json",
                   "tivenor-convert: \"pipe.json\": it is a named pipe, not a regular file");
  ExpectUsageError("--format missing.json",
                   "tivenor-convert: \"missing.json\": No such file or directory");
}

TEST_F(FormatOption, TurnSecondsTakeATurnsLength) {
  ExpectUsageError("--turn-seconds 0",
                   "tivenor-convert: --turn-seconds takes a number of seconds above 0 and at most "
                   "3600\nTry 'tivenor-convert --help' for more information.");
  ExpectUsageError("--turn-seconds fast",
                   "tivenor-convert: --turn-seconds takes a number of seconds above 0 and at most "
                   "3600\nTry 'tivenor-convert --help' for more information.");
}

// Naming the built-in format, or leaving the choice to the converter, reads the sample disc as
// it is read without --format.
TEST_F(FormatOption, BuiltInFormatByNameReadsAsBefore) {
  const std::string plain = MidiAfter("");
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(MidiAfter("--format disc-114-30"), plain);
  EXPECT_EQ(MidiAfter("--format auto"), plain);
}

TEST_F(FormatOption, ListFormatsNamesEachWithItsTitleAndTracks) {
  const std::string listFile = folder_.File("list.txt");
  const std::string command = "'" TIVENOR_CONVERT "' --list-formats >'" + listFile + "' 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(listFile),
            "disc-114-30      Music box disc, 30 pins, 114 mm (30 tracks)\n"
            "ariston-24       Ariston organette disc, 24 tracks, 33 cm (24 tracks)\n"
            "piano-player-36  Piano player disc, 36 tracks (36 tracks)\n");
}

}  // namespace
}  // namespace tivenor::testing
