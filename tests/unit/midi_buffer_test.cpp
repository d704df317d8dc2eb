#include "engine/midi/midi_buffer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tivenor {
namespace {

std::vector<uint8_t> Bytes(const MidiBuffer& buffer) {
  return {buffer.bytes.begin(), buffer.bytes.begin() + buffer.MidiLength};
}

std::vector<uint8_t> VarLen(int32_t value) {
  MidiBuffer buffer;
  AppendVarLen(buffer, value);
  return Bytes(buffer);
}

TEST(VarLenTest, MostSignificantGroupFirstWithContinuationBits) {
  using V = std::vector<uint8_t>;
  EXPECT_EQ(VarLen(0), (V{0x00}));
  EXPECT_EQ(VarLen(120), (V{0x78}));
  EXPECT_EQ(VarLen(127), (V{0x7F}));
  EXPECT_EQ(VarLen(128), (V{0x81, 0x00}));
  EXPECT_EQ(VarLen(300), (V{0x82, 0x2C}));
  EXPECT_EQ(VarLen(16383), (V{0xFF, 0x7F}));
  EXPECT_EQ(VarLen(16384), (V{0x81, 0x80, 0x00}));
  EXPECT_EQ(VarLen(65535), (V{0x83, 0xFF, 0x7F}));
  EXPECT_EQ(VarLenSize(2097151), 3);
  EXPECT_EQ(VarLenSize(2097152), 4);
}

TEST(MidiBufferTest, HeaderTrailerAndTrackLength) {
  MidiBuffer buffer;
  buffer.bytes.fill(0xEE);
  StartMidi(buffer);
  EXPECT_EQ(buffer.MidiLength, 42);
  EXPECT_EQ(std::vector<uint8_t>(buffer.bytes.begin(), buffer.bytes.begin() + 42),
            std::vector<uint8_t>(MidiHeaderTemplate.begin(), MidiHeaderTemplate.end()));
  for (uint8_t b : {0x05, 0x90, 0x40, 0x57}) buffer.AppendByte(b);
  FinishMidi(buffer);
  PatchTrackLength(buffer);
  const std::vector<uint8_t> bytes = Bytes(buffer);
  ASSERT_EQ(bytes.size(), 54u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 18, bytes.begin() + 22),
            (std::vector<uint8_t>{0, 0, 0, 32}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()),
            (std::vector<uint8_t>{0x78, 0xB0, 0x7B, 0x00, 0x14, 0xFF, 0x2F, 0x00}));
}

TEST(MidiBufferTest, StoresBeyondTheCapacityAreRangeErrors) {
  MidiBuffer buffer;
  buffer.MidiLength = MidiBufferCapacity - 1;
  buffer.AppendByte(1);
  EXPECT_THROW(buffer.AppendByte(2), RunError);
  buffer.MidiLength = MidiBufferCapacity - 1;
  EXPECT_THROW(AppendVarLen(buffer, 300), RunError);
}

TEST(MidiFileNameTest, LastThreeCharactersBecomeMid) {
  EXPECT_EQ(MidiFileNameFor("/discs/waltz.bmp"), "/discs/waltz.mid");
  EXPECT_EQ(MidiFileNameFor("DISC.BMP"), "DISC.mid");
  EXPECT_EQ(MidiFileNameFor("disc.jpeg"), "disc.jmid");  // three characters, whatever they are
  EXPECT_EQ(MidiFileNameFor("ab"), "mid");
}

class SaveMidiFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tivenor-save-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder_);
  }
  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static MidiBuffer SmallFile() {
    MidiBuffer buffer;
    StartMidi(buffer);
    FinishMidi(buffer);
    PatchTrackLength(buffer);
    return buffer;
  }
  std::filesystem::path folder_;
};

TEST_F(SaveMidiFileTest, ReplacesAnOldLongerFileCompletely) {
  ScanState state;
  state.SourceFileName = (folder_ / "disc.bmp").string();
  const auto target = folder_ / "disc.mid";
  std::ofstream(target, std::ios::binary) << std::string(5000, 'x');
  SaveMidiFile(state, SmallFile());
  EXPECT_EQ(state.MidiFileName, target.string());
  const std::string written = Read(target);
  ASSERT_EQ(written.size(), 50u);
  EXPECT_EQ(written.substr(0, 4), "MThd");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(SaveMidiFileTest, AFailedSaveKeepsTheOldFileAndNamesTheNewOne) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ScanState state;
  state.SourceFileName = (folder_ / "disc.bmp").string();
  const auto target = folder_ / "disc.mid";
  std::ofstream(target, std::ios::binary) << "old";
  std::filesystem::permissions(
      folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  try {
    SaveMidiFile(state, SmallFile());
    FAIL() << "saving into a read-only folder succeeded";
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find(target.string()), std::string::npos);
  }
  EXPECT_EQ(state.MidiFileName, target.string());
  EXPECT_EQ(Read(target), "old");
}

TEST_F(SaveMidiFileTest, AFailedRenameLeavesNoTemporaryFileBehind) {
  ScanState state;
  state.SourceFileName = (folder_ / "disc.bmp").string();
  std::filesystem::create_directories(folder_ / "disc.mid" / "inside");  // cannot be replaced
  EXPECT_THROW(SaveMidiFile(state, SmallFile()), RunError);
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "disc.mid" / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(SaveMidiFileTest, AMissingFolderIsAnErrorNamingTheFile) {
  ScanState state;
  state.SourceFileName = (folder_ / "gone" / "disc.bmp").string();
  EXPECT_THROW(SaveMidiFile(state, SmallFile()), RunError);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "gone"));
}

}  // namespace
}  // namespace tivenor
