#include "engine/fitting/plausibility.h"

namespace tivenor {

namespace {

// The outline search never looks at the two outermost rows and columns.
int32_t EdgePointsAtBorder(const ScanState& state, int32_t width, int32_t height) {
  int32_t count = 0;
  count += state.EdgeLeft.x <= 2 ? 1 : 0;
  count += state.EdgeTop.y <= 2 ? 1 : 0;
  count += state.EdgeRight.x >= width - 3 ? 1 : 0;
  count += state.EdgeBottom.y >= height - 3 ? 1 : 0;
  return count;
}

}  // namespace

std::vector<Finding> CheckPlausibility(const ScanState& state, int32_t width, int32_t height) {
  std::vector<Finding> findings;
  if (state.NoteCount >= kMaxNotes)
    findings.push_back({Concern::kNoteLimitReached, state.NoteCount});
  if (state.Rejected.tooLarge > kFewPatchesTooLarge)
    findings.push_back({Concern::kManyPatchesTooLarge, state.Rejected.tooLarge});
  if (state.Rejected.overfull > 0)
    findings.push_back({Concern::kOverfullHoles, state.Rejected.overfull});
  int32_t withoutPin = 0;
  for (int32_t j = 1; j <= state.NoteCount; ++j) withoutPin += state.NoteHasPin[j] ? 0 : 1;
  if (withoutPin > kFewNotesWithoutPin) findings.push_back({Concern::kNotesWithoutPin, withoutPin});
  if (const int32_t atEdge = EdgePointsAtBorder(state, width, height); atEdge > 0)
    findings.push_back({Concern::kOutlineAtEdge, atEdge});
  return findings;
}

}  // namespace tivenor
