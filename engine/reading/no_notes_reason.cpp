#include "engine/reading/no_notes_reason.h"

namespace tivenor {

NoNotesReason ExplainNoNotes(const ScanState& state, int threshold, int minimum, int maximum) {
  const ScanState::RejectedPatches& rejected = state.Rejected;
  return {rejected.tooLarge, rejected.largest, rejected.tooSmall, threshold, minimum, maximum};
}

std::string NoNotesText(const NoNotesReason& reason, const SettingNames& names) {
  std::string text = "No holes found on the disc: no MIDI file written";
  if (reason.tooLarge > 0) {
    text += "; " + std::to_string(reason.tooLarge) + " light patches were larger than " +
            names.maximum + " " + std::to_string(reason.maximum) + " (the largest " +
            (reason.largest >= kMaxHolePixels ? "at least " : "") + std::to_string(reason.largest) +
            " pixels)";
  }
  if (reason.tooLarge == 0 && reason.tooSmall == 0) {
    text += "; nothing inside the disc is lighter than " + names.threshold + " " +
            std::to_string(reason.threshold);
  }
  if (reason.tooSmall > 0) {
    text += "; " + std::to_string(reason.tooSmall) + " light patches were smaller than " +
            names.minimum + " " + std::to_string(reason.minimum);
  }
  return text;
}

}  // namespace tivenor
