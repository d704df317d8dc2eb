#include "engine/reading/no_notes_reason.h"

#include "engine/base/settings.h"

namespace tivenor {

NoNotesReason ExplainNoNotes(const ScanState& state, int threshold, int minimum, int maximum) {
  const ScanState::RejectedPatches& rejected = state.Rejected;
  return {rejected.tooLarge, rejected.largest, rejected.tooSmall, threshold, minimum, maximum};
}

std::string SettingName(const SettingInfo& setting, SettingNaming naming) {
  return naming == SettingNaming::kCommandLine ? std::string("--") + setting.option
                                               : std::string(setting.windowLabel);
}

std::string NoNotesText(const NoNotesReason& reason, SettingNaming naming) {
  const std::string maximumName = SettingName(kMaximumSetting, naming);
  const std::string thresholdName = SettingName(kThresholdSetting, naming);
  const std::string minimumName = SettingName(kMinimumSetting, naming);
  std::string text = "No holes found on the disc: no MIDI file written";
  if (reason.tooLarge > 0) {
    text += "; " + std::to_string(reason.tooLarge) + " light patches were larger than " +
            maximumName + " " + std::to_string(reason.maximum) + " (the largest " +
            (reason.largest >= kMaxHolePixels ? "at least " : "") + std::to_string(reason.largest) +
            " pixels)";
  }
  if (reason.offTrack > 0) {
    text += "; " + std::to_string(reason.offTrack) +
            " light patches fit no track or slot size of the disc format";
  }
  if (reason.tooLarge == 0 && reason.tooSmall == 0 && reason.offTrack == 0) {
    text += "; nothing inside the disc is lighter than " + thresholdName + " " +
            std::to_string(reason.threshold);
  }
  if (reason.tooSmall > 0) {
    text += "; " + std::to_string(reason.tooSmall) + " light patches were smaller than " +
            minimumName + " " + std::to_string(reason.minimum);
  }
  return text;
}

}  // namespace tivenor
