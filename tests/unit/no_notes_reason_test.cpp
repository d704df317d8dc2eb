// The explanation of a scan without notes names each host's own setting labels and every reason
// that applies.

#include "engine/reading/no_notes_reason.h"

#include <gtest/gtest.h>

namespace tivenor {
namespace {

constexpr SettingNaming kWindow = SettingNaming::kWindow;

TEST(NoNotesReasonTest, PatchesTooLargeAndTooSmallAreBothSaid) {
  ScanState state;
  state.Rejected = {.tooSmall = 3, .tooLarge = 86, .largest = 44};
  const NoNotesReason reason = ExplainNoNotes(state, 100, 10, 20);
  EXPECT_EQ(NoNotesText(reason, kWindow),
            "No holes found on the disc: no MIDI file written; 86 light patches were larger than "
            "Maximum 20 (the largest 44 pixels); 3 light patches were smaller than Minimum 10");
}

// The fill counts no further than 500 pixels, so a larger patch is "at least" that.
TEST(NoNotesReasonTest, ALargestPatchAtTheCountsEndIsAtLeastThatLarge) {
  ScanState state;
  state.Rejected = {.tooSmall = 0, .tooLarge = 1, .largest = kMaxHolePixels};
  const std::string text =
      NoNotesText(ExplainNoNotes(state, 100, 10, 75), SettingNaming::kCommandLine);
  EXPECT_NE(text.find("larger than --maximum 75 (the largest at least 500 pixels)"),
            std::string::npos)
      << text;
}

TEST(NoNotesReasonTest, NoPatchAtAllBlamesTheThreshold) {
  const std::string text = NoNotesText(ExplainNoNotes(ScanState{}, 254, 10, 75), kWindow);
  EXPECT_EQ(text,
            "No holes found on the disc: no MIDI file written; nothing inside the disc is lighter "
            "than B/W Threshold 254");
}

}  // namespace
}  // namespace tivenor
