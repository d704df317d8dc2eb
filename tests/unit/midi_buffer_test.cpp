#include "engine/midi/midi_buffer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/support/small_disk.h"

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
  EXPECT_EQ(MidiFileNameFor("sub/abc"), "sub/mid");
  EXPECT_EQ(MidiFileNameFor("caf\xe9.bmp"), "caf\xe9.mid");  // bytes, not characters of UTF-8
}

// "sub/ab" would give "submid" beside the folder "sub": never a file outside the picture's folder.
TEST(MidiFileNameTest, ANameThatWouldLeaveThePicturesFolderIsRefused) {
  for (const char* picture : {"sub/ab", "sub/a", "sub/", "/x", "a/b/c"}) {
    SCOPED_TRACE(picture);
    try {
      MidiFileNameFor(picture);
      ADD_FAILURE() << "named " << MidiFileNameFor(picture);
    } catch (const RunError& error) {
      EXPECT_NE(std::string(error.what()).find(std::string("\"") + picture + "\""),
                std::string::npos)
          << error.what();
    }
  }
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
    disk_.reset();
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder_);
  }
  static std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Text(const MidiBuffer& buffer) {
    return {buffer.bytes.begin(), buffer.bytes.begin() + buffer.MidiLength};
  }
  // The file of a disc with `notes` notes a tick apart, as the program writes it.
  static MidiBuffer FileOfNotes(int notes) {
    MidiBuffer buffer;
    StartMidi(buffer);
    for (int note = 0; note < notes; ++note) {
      AppendVarLen(buffer, 1);
      buffer.AppendByte(0x90);
      buffer.AppendByte(60);
      buffer.AppendByte(100);
    }
    FinishMidi(buffer);
    PatchTrackLength(buffer);
    return buffer;
  }
  static MidiBuffer SmallFile() { return FileOfNotes(0); }
  // The entries of a folder: what a save left behind.
  static std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // A small disk in the test's folder, or a skipped test where mounting is refused.
  bool MountDisk() {
    disk_ = std::make_unique<testing::SmallDisk>((folder_ / "disk").string(), 64 * 1024);
    return disk_->Mounted();
  }
  std::filesystem::path folder_;
  std::unique_ptr<testing::SmallDisk> disk_;
};

TEST_F(SaveMidiFileTest, ReplacesAnOldLongerFileCompletely) {
  ScanState state;
  state.SourceFileName = (folder_ / "disc.bmp").string();
  const auto target = folder_ / "disc.mid";
  Write(target, Text(FileOfNotes(400)));
  SaveMidiFile(state, SmallFile());
  EXPECT_EQ(state.MidiFileName, target.string());
  const std::string written = Read(target);
  ASSERT_EQ(written.size(), 50u);
  EXPECT_EQ(written.substr(0, 4), "MThd");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"disc.mid"});
}

// Root writes into folders it may not write, but not on a disk mounted read-only.
TEST_F(SaveMidiFileTest, AFailedSaveKeepsTheOldFileAndNamesTheNewOne) {
  std::filesystem::path place = folder_;
  if (geteuid() == 0) {
    if (!MountDisk()) GTEST_SKIP() << "cannot mount a read-only disk";
    place = folder_ / "disk";
  }
  ScanState state;
  state.SourceFileName = (place / "disc.bmp").string();
  const auto target = place / "disc.mid";
  const std::string old = Text(FileOfNotes(3));
  Write(target, old);
  if (disk_) {
    ASSERT_TRUE(disk_->MakeReadOnly());
  } else {
    std::filesystem::permissions(
        place, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  try {
    SaveMidiFile(state, SmallFile());
    FAIL() << "saving into a read-only folder succeeded";
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find(target.string()), std::string::npos);
  }
  EXPECT_EQ(state.MidiFileName, target.string());
  EXPECT_EQ(Read(target), old);
}

TEST_F(SaveMidiFileTest, AFullDiskIsSaidSoAndKeepsTheOldFile) {
  if (!MountDisk()) GTEST_SKIP() << "cannot mount a small disk";
  ScanState state;
  state.SourceFileName = (folder_ / "disk" / "disc.bmp").string();
  const auto target = folder_ / "disk" / "disc.mid";
  const std::string old = Text(FileOfNotes(3));
  Write(target, old);
  disk_->LeaveFree(0);
  try {
    SaveMidiFile(state, FileOfNotes(300));
    FAIL() << "saving on a full disk succeeded";
  } catch (const RunError& error) {
    EXPECT_EQ(std::string(error.what()), "\"" + target.string() + "\": Disk full");
  }
  EXPECT_EQ(Read(target), old);
  EXPECT_EQ(Entries(folder_ / "disk"), (std::vector<std::string>{".filler", "disc.mid"}));
}

TEST_F(SaveMidiFileTest, AFailedRenameLeavesNoTemporaryFileBehind) {
  ScanState state;
  state.SourceFileName = (folder_ / "disc.bmp").string();
  std::filesystem::create_directories(folder_ / "disc.mid" / "inside");  // cannot be replaced
  EXPECT_THROW(SaveMidiFile(state, SmallFile()), RunError);
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "disc.mid" / "inside"));
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"disc.mid"});
}

TEST_F(SaveMidiFileTest, AMissingFolderIsAnErrorNamingTheFile) {
  ScanState state;
  state.SourceFileName = (folder_ / "gone" / "disc.bmp").string();
  EXPECT_THROW(SaveMidiFile(state, SmallFile()), RunError);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "gone"));
}

// A name as long as the folder allows (255 bytes) still leaves room for the temporary's name.
TEST_F(SaveMidiFileTest, TheLongestNamesAreSaved) {
  for (const std::size_t length : {246u, 250u, 255u}) {
    ScanState state;
    state.SourceFileName = (folder_ / (std::string(length - 4, 'w') + ".bmp")).string();
    SaveMidiFile(state, SmallFile());
    EXPECT_EQ(Read(state.MidiFileName), Text(SmallFile())) << length;
    std::filesystem::remove(state.MidiFileName);
  }
  EXPECT_TRUE(Entries(folder_).empty());
}

// Only a file the program wrote itself is replaced: anything else at the name is somebody's.
TEST_F(SaveMidiFileTest, OnlyAnOwnMidiFileIsReplaced) {
  MidiBuffer otherTempo = FileOfNotes(5);
  otherTempo.bytes[27] = 0x28;
  MidiBuffer cutShort = FileOfNotes(5);
  cutShort.MidiLength -= 1;
  const std::string notOwn[] = {"",
                                "a shopping list",
                                Text(FileOfNotes(5)) + "more",
                                Text(otherTempo),
                                Text(cutShort),
                                Text(FileOfNotes(5)).substr(0, 30)};
  for (const std::string& old : notOwn) {
    ScanState state;
    state.SourceFileName = (folder_ / "tune.png").string();
    Write(folder_ / "tune.mid", old);
    try {
      SaveMidiFile(state, SmallFile());
      ADD_FAILURE() << "replaced " << old.size() << " bytes";
    } catch (const RunError& error) {
      EXPECT_EQ(std::string(error.what()), "The MIDI file \"" + (folder_ / "tune.mid").string() +
                                               "\" would replace a file Tivenor did not write: "
                                               "nothing written");
    }
    EXPECT_EQ(Read(folder_ / "tune.mid"), old);
  }
  // Its own files, of any length the buffer holds, are replaced as before.
  for (const int notes : {0, 1, 499}) {
    ScanState state;
    state.SourceFileName = (folder_ / "tune.png").string();
    Write(folder_ / "tune.mid", Text(FileOfNotes(notes)));
    SaveMidiFile(state, FileOfNotes(2));
    EXPECT_EQ(Read(folder_ / "tune.mid"), Text(FileOfNotes(2)));
  }
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"tune.mid"});
}

}  // namespace
}  // namespace tivenor
