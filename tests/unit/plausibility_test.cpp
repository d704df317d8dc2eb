#include "engine/fitting/plausibility.h"
#include "engine/fitting/plausibility_advice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tivenor {
namespace {

// A scan state as a good scan of a 700 x 700 picture leaves it.
ScanState GoodScan() {
  ScanState state;
  state.EdgeLeft = {24, 350};
  state.EdgeRight = {676, 349};
  state.EdgeTop = {350, 24};
  state.EdgeBottom = {351, 676};
  state.NoteCount = 40;
  for (int32_t j = 1; j <= state.NoteCount; ++j) state.NoteHasPin[j] = true;
  return state;
}

bool Finds(const std::vector<Finding>& findings, Concern concern, int32_t count) {
  return std::any_of(findings.begin(), findings.end(),
                     [&](const Finding& f) { return f.concern == concern && f.count == count; });
}

TEST(CheckPlausibility, AGoodScanRaisesNothing) {
  ScanState state = GoodScan();
  state.Rejected.tooLarge = kFewPatchesTooLarge;  // a torn hole or two is normal
  for (int32_t j = 1; j <= kFewNotesWithoutPin; ++j) state.NoteHasPin[j] = false;
  EXPECT_TRUE(CheckPlausibility(state, 700, 700).empty());
}

TEST(CheckPlausibility, NamesEachSign) {
  ScanState state = GoodScan();
  state.NoteCount = kMaxNotes;
  for (int32_t j = 1; j <= state.NoteCount; ++j) state.NoteHasPin[j] = j > 7;
  state.Rejected.tooLarge = 12;
  state.Rejected.overfull = 2;
  state.EdgeLeft = {2, 300};
  state.EdgeBottom = {400, 697};
  const std::vector<Finding> findings = CheckPlausibility(state, 700, 700);
  EXPECT_EQ(findings.size(), 5u);
  EXPECT_TRUE(Finds(findings, Concern::kNoteLimitReached, kMaxNotes));
  EXPECT_TRUE(Finds(findings, Concern::kManyPatchesTooLarge, 12));
  EXPECT_TRUE(Finds(findings, Concern::kOverfullHoles, 2));
  EXPECT_TRUE(Finds(findings, Concern::kNotesWithoutPin, 7));
  EXPECT_TRUE(Finds(findings, Concern::kOutlineAtEdge, 2));
}

// The edge is the edge of the picture as read: a smaller reading copy has its own.
TEST(CheckPlausibility, EdgeOfThePictureAsRead) {
  const ScanState state = GoodScan();
  EXPECT_TRUE(Finds(CheckPlausibility(state, 679, 700), Concern::kOutlineAtEdge, 1));
  EXPECT_TRUE(Finds(CheckPlausibility(state, 679, 679), Concern::kOutlineAtEdge, 2));
  EXPECT_TRUE(CheckPlausibility(state, 680, 680).empty());
}

const AdviceNames kWindowNames{SettingNaming::kWindow, "the fit", "the format"};

// Every sign of a bad result, in the words of the host that shows it.
std::vector<std::string> WarningsOfEverySign(bool fitted) {
  ScanState state = GoodScan();
  state.NoteCount = kMaxNotes;
  for (int32_t j = 1; j <= state.NoteCount; ++j) state.NoteHasPin[j] = j > 7;
  state.Rejected.tooLarge = 12;
  state.Rejected.overfull = 2;
  state.EdgeLeft = {2, 300};
  return PlausibilityWarnings(CheckPlausibility(state, 700, 700), {{120, 15, 80, 3}, fitted},
                              kWindowNames);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PlausibilityWarnings, NameTheHostsSettingsAndValues) {
  const std::vector<std::string> warnings = WarningsOfEverySign(false);
  ASSERT_EQ(warnings.size(), 5u);
  EXPECT_TRUE(Contains(warnings[0], "a lower B/W Threshold than 120, or a higher Minimum than 15"))
      << warnings[0];
  EXPECT_TRUE(Contains(warnings[1], "12 light patches inside the disc were larger than Maximum 80"))
      << warnings[1];
  EXPECT_TRUE(Contains(warnings[2], "2 light patches held more pixels than one hole can (500"))
      << warnings[2];
  EXPECT_TRUE(Contains(warnings[3], "7 notes lie outside the pins' radii")) << warnings[3];
  EXPECT_TRUE(Contains(warnings[4], "on 1 side(s): background darker than B/W Threshold 120"))
      << warnings[4];
  for (const std::string& warning : warnings) {
    EXPECT_TRUE(Contains(warning, "try the fit")) << warning;
    EXPECT_FALSE(Contains(warning, "--")) << warning;
  }
}

// Settings already fitted to the picture: the advice is what is left to try.
TEST(PlausibilityWarnings, AfterTheFitTheyNoLongerAdviseIt) {
  const std::vector<std::string> warnings = WarningsOfEverySign(true);
  ASSERT_EQ(warnings.size(), 5u);
  for (const std::string& warning : warnings) {
    EXPECT_FALSE(Contains(warning, "the fit")) << warning;
    EXPECT_TRUE(Contains(warning, "; try a ") || Contains(warning, "light background")) << warning;
  }
  EXPECT_TRUE(Contains(warnings[2], "try a lower B/W Threshold than 120")) << warnings[2];
}

}  // namespace
}  // namespace tivenor
