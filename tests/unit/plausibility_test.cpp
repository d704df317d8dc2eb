#include "engine/fitting/plausibility.h"

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
  EXPECT_TRUE(Finds(findings, Concern::NoteLimitReached, kMaxNotes));
  EXPECT_TRUE(Finds(findings, Concern::ManyPatchesTooLarge, 12));
  EXPECT_TRUE(Finds(findings, Concern::OverfullHoles, 2));
  EXPECT_TRUE(Finds(findings, Concern::NotesWithoutPin, 7));
  EXPECT_TRUE(Finds(findings, Concern::OutlineAtEdge, 2));
}

// The edge is the edge of the picture as read: a smaller reading copy has its own.
TEST(CheckPlausibility, EdgeOfThePictureAsRead) {
  const ScanState state = GoodScan();
  EXPECT_TRUE(Finds(CheckPlausibility(state, 679, 700), Concern::OutlineAtEdge, 1));
  EXPECT_TRUE(Finds(CheckPlausibility(state, 679, 679), Concern::OutlineAtEdge, 2));
  EXPECT_TRUE(CheckPlausibility(state, 680, 680).empty());
}

}  // namespace
}  // namespace tivenor
