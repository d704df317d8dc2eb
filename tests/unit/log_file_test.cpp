#include "engine/files/log_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/base/run_error.h"

namespace tivenor {
namespace {

class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("tivenor-log-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log");
    log_.FileName = path_.string();
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::filesystem::path path_;
  LogFile log_;
};

TEST_F(LogFileTest, TheFirstLineOfARunEmptiesTheOldLogThenLinesAreAppended) {
  std::ofstream(path_) << "from an earlier run\r\n";
  WriteLogLine(log_, "ERROR: too many notes");
  EXPECT_FALSE(log_.LogFresh);
  WriteLogLine(log_, "No tone corresponding with pin 7 : -1");
  EXPECT_EQ(Contents(), "ERROR: too many notes\r\nNo tone corresponding with pin 7 : -1\r\n");
}

TEST_F(LogFileTest, ALogDeletedDuringTheRunIsStartedAgain) {
  WriteLogLine(log_, "first");
  std::filesystem::remove(path_);
  WriteLogLine(log_, "second");
  EXPECT_EQ(Contents(), "second\r\n");
}

// The log stays open between lines, but the name decides where each line goes.
TEST_F(LogFileTest, ALogReplacedDuringTheRunGetsTheNextLines) {
  WriteLogLine(log_, "first");
  const std::filesystem::path moved = path_.string() + ".old";
  std::filesystem::rename(path_, moved);
  std::ofstream(path_, std::ios::binary) << "another file\r\n";
  WriteLogLine(log_, "second");
  EXPECT_EQ(Contents(), "another file\r\nsecond\r\n");
  std::ifstream in(moved, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            "first\r\n");
  std::filesystem::remove(moved);
}

TEST_F(LogFileTest, ARelativeLogFollowsTheCurrentFolder) {
  const std::filesystem::path start = std::filesystem::current_path();
  const std::filesystem::path other = path_.string() + ".folder";
  std::filesystem::create_directory(other);
  LogFile log;  // "musicbox.log" in the current folder
  std::filesystem::current_path(path_.parent_path());
  const std::filesystem::path first = path_.parent_path() / kLogFileName;
  const bool hadLog = std::filesystem::exists(first);
  if (!hadLog) {
    WriteLogLine(log, "here");
    std::filesystem::current_path(other);
    WriteLogLine(log, "there");
    std::ifstream in(other / kLogFileName, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "there\r\n");
    std::filesystem::remove(first);
  }
  std::filesystem::current_path(start);
  std::filesystem::remove_all(other);
  if (hadLog) GTEST_SKIP() << first << " belongs to someone else";
}

TEST_F(LogFileTest, AFailureNamesTheFileAndTheNextLineTriesAgain) {
  log_.FileName = (path_ / "no-such-folder" / "musicbox.log").string();
  try {
    WriteLogLine(log_, "lost");
    FAIL() << "writing into a missing folder succeeded";
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find(log_.FileName), std::string::npos);
  }
  EXPECT_TRUE(log_.LogFresh);
}

}  // namespace
}  // namespace tivenor
