// Batches of pictures: every line of a picture says its place in the batch, and a log that
// cannot be written is said once without stopping the conversions.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/converter_run.h"
#include "tests/e2e/melodies.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"

namespace tivenor::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

long Occurrences(const std::string& text, const std::string& part) {
  long count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

class ConverterBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBmp(RenderDisc(ScaleWithChords().notes), BmpFormat::Rgb24, folder_.File("waltz.bmp"));
    WriteBmp(RenderDisc(RepeatedKeys().notes), BmpFormat::Rle8, folder_.File("polka.bmp"));
    // A light patch of a few hundred pixels beyond 500 in the ring: log lines with Maximum 900.
    Raster blob = RenderDisc({});
    const int32_t cx = blob.width / 2 + 150, cy = blob.height / 2;
    FillEllipse(blob, cx - 15, cy - 15, cx + 15, cy + 15, 0x00F0F0F0);
    WriteBmp(blob, BmpFormat::Rgb24, folder_.File("blob.bmp"));
  }
  TempFolder folder_;
};

TEST_F(ConverterBatch, EveryLineOfAPictureCarriesItsPlace) {
  const ConverterRun run = RunConverter(folder_, "waltz.bmp missing.bmp polka.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  std::vector<std::string> lines = Lines(run.errors);
  ASSERT_FALSE(lines.empty());
  // Every line but the batch's total.
  EXPECT_EQ(lines.back(), "2 of 3 converted, 1 failed");
  lines.pop_back();
  const std::string places[] = {"[1/3] waltz.bmp: ", "[2/3] missing.bmp: ", "[3/3] polka.bmp: "};
  int place = 0;
  for (const std::string& line : lines) {
    while (place < 2 && line.find(places[place]) == std::string::npos) ++place;
    EXPECT_NE(line.find(places[place]), std::string::npos) << line << "\n" << run.errors;
  }
  EXPECT_EQ(Occurrences(run.errors, "[1/3] waltz.bmp: Find Midpoint + Diameter"), 1) << run.errors;
  EXPECT_GE(Occurrences(run.errors, "[3/3] polka.bmp: "), 2) << run.errors;
  EXPECT_NE(run.errors.find("notes found"), std::string::npos) << run.errors;
}

// However long the batch, its last line says how it went.
TEST_F(ConverterBatch, ABatchEndsWithItsTotal) {
  const ConverterRun mixed = RunConverter(folder_, "waltz.bmp missing.bmp polka.bmp");
  EXPECT_EQ(mixed.exitCode, 1) << mixed.errors;
  ASSERT_FALSE(Lines(mixed.errors).empty());
  EXPECT_EQ(Lines(mixed.errors).back(), "2 of 3 converted, 1 failed") << mixed.errors;

  const ConverterRun good = RunConverter(folder_, "waltz.bmp polka.bmp");
  EXPECT_EQ(good.exitCode, 0) << good.errors;
  ASSERT_FALSE(Lines(good.errors).empty());
  EXPECT_EQ(Lines(good.errors).back(), "2 of 2 converted, 0 failed") << good.errors;
}

TEST_F(ConverterBatch, ASinglePictureKeepsItsPlainLines) {
  const ConverterRun run = RunConverter(folder_, "waltz.bmp");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors.find("[1/1]"), std::string::npos) << run.errors;
  EXPECT_EQ(run.errors.find("converted"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("waltz.bmp: "), std::string::npos) << run.errors;
}

// "musicbox.log" is a folder here, so no log line can be written.
TEST_F(ConverterBatch, ALogThatCannotBeWrittenIsSaidOnceAndTheConversionsGoOn) {
  std::filesystem::create_directory(folder_.File("musicbox.log"));
  const ConverterRun batch = RunConverter(folder_, "--maximum 900 blob.bmp waltz.bmp");
  EXPECT_EQ(batch.exitCode, 0) << batch.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("blob.mid"))) << batch.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("waltz.mid"))) << batch.errors;
  EXPECT_EQ(Occurrences(batch.errors, "musicbox.log"), 1) << batch.errors;
  EXPECT_TRUE(std::filesystem::is_directory(folder_.File("musicbox.log")));
}

// Several jobs change nothing a user sees: the same lines in the same order, the same log, the
// same files and refusals, the same exit status.
TEST_F(ConverterBatch, SeveralJobsPrintLogAndWriteExactlyAsOne) {
  std::filesystem::copy_file(folder_.File("waltz.bmp"), folder_.File("waltz.png"));
  const std::string pictures =
      "blob.bmp waltz.bmp missing.bmp polka.bmp waltz.png blob.bmp polka.bmp waltz.bmp";
  struct Outcome {
    ConverterRun run;
    std::string log;
    std::vector<std::string> midiFiles;
  };
  const auto runWith = [&](const std::string& jobs) {
    for (const char* written : {"blob.mid", "waltz.mid", "polka.mid", "musicbox.log"}) {
      std::filesystem::remove(folder_.File(written));
    }
    Outcome outcome{RunConverter(folder_, "-j " + jobs + " --maximum 900 " + pictures), "", {}};
    outcome.log = FileBytes(folder_.File("musicbox.log"));
    for (const char* written : {"blob.mid", "waltz.mid", "polka.mid"}) {
      outcome.midiFiles.push_back(FileBytes(folder_.File(written)));
    }
    return outcome;
  };
  const Outcome one = runWith("1");
  ASSERT_EQ(one.run.exitCode, 1) << one.run.errors;
  ASSERT_NE(one.run.errors.find("would replace"), std::string::npos) << one.run.errors;
  ASSERT_FALSE(one.log.empty());
  for (const std::string jobs : {"2", "3", "8"}) {
    const Outcome several = runWith(jobs);
    EXPECT_EQ(several.run.exitCode, one.run.exitCode) << "-j " << jobs;
    EXPECT_EQ(several.run.errors, one.run.errors) << "-j " << jobs;
    EXPECT_EQ(several.log, one.log) << "-j " << jobs;
    EXPECT_EQ(several.midiFiles, one.midiFiles) << "-j " << jobs;
  }
}

TEST_F(ConverterBatch, JobsOutsideTheirRangeAreAUsageError) {
  for (const char* jobs : {"0", "-3", "many", "257"}) {
    const ConverterRun run = RunConverter(folder_, std::string("-j ") + jobs + " waltz.bmp");
    EXPECT_EQ(run.exitCode, 2) << jobs << ": " << run.errors;
    EXPECT_NE(run.errors.find("-j takes a whole number from 1 to 256"), std::string::npos)
        << run.errors;
  }
}

}  // namespace
}  // namespace tivenor::testing
