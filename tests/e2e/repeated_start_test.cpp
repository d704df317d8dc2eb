// START again on the same scan state: the marks of the first run must not leak into the second,
// nor the notes of an earlier, larger disc into a later one.

#include <gtest/gtest.h>

#include <string>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/melodies.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"

namespace tivenor::testing {
namespace {

TEST(RepeatedStart, SecondStartReloadsAndWritesTheSameBytes) {
  const Melody melody = RepeatedKeys();
  TempFolder folder;
  const std::string file = folder.File("disc.bmp");
  WriteBmp(RenderDisc(melody.notes), BmpFormat::Rgb24, file);
  StartOutcome run = StartOnPictureFile(file, HoleSettings{});
  ASSERT_TRUE(run.written);
  const std::vector<uint8_t> first = ReadFileBytes(run.state.MidiFileName);
  EXPECT_EQ(run.host.reloads, 0);
  EXPECT_NE(run.host.display.pixels, run.host.picture.pixels);  // the display carries marks

  ASSERT_TRUE(RunStart(run.state, run.host));
  EXPECT_EQ(run.host.reloads, 1);
  EXPECT_EQ(ReadFileBytes(run.state.MidiFileName), first);
}

// Entries above NoteCount keep what the earlier run left; none of them may reach the file.
TEST(RepeatedStart, SmallerDiscAfterLargerGivesItsOwnFile) {
  const Melody large = ManyNotes(120);
  const Melody small = ScaleWithChords();
  TempFolder folder;
  const std::string largeFile = folder.File("large.bmp");
  const std::string smallFile = folder.File("small.bmp");
  WriteBmp(RenderDisc(large.notes), BmpFormat::Rgb24, largeFile);
  WriteBmp(RenderDisc(small.notes), BmpFormat::Rgb24, smallFile);
  const StartOutcome alone = StartOnPictureFile(smallFile, HoleSettings{});
  ASSERT_TRUE(alone.written);
  const std::vector<uint8_t> expected =
      ReadFileBytes(smallFile.substr(0, smallFile.size() - 3) + "mid");

  StartOutcome run = StartOnPictureFile(largeFile, HoleSettings{});
  ASSERT_TRUE(run.written);
  // "Open file" on the smaller disc, then START, with the same state.
  run.state.SourceFileName = smallFile;
  run.host.picture = LoadPicture(smallFile);
  run.host.display = run.host.picture;
  run.state.PictureClean = true;
  ASSERT_TRUE(RunStart(run.state, run.host));
  EXPECT_EQ(run.state.NoteCount, alone.state.NoteCount);
  EXPECT_EQ(ReadFileBytes(run.state.MidiFileName), expected);
}

}  // namespace
}  // namespace tivenor::testing
