#include "engine/fitting/plausibility_advice.h"

namespace tivenor {

namespace {

// "try --auto, or " while fitting could still help; nothing once the settings were fitted.
std::string TryFitOr(const AdvisedSettings& settings, const AdviceNames& names) {
  return settings.fitted ? "try " : "try " + names.fit + ", or ";
}

// "--threshold" or "B/W Threshold".
struct Names {
  std::string threshold;
  std::string minimum;
  std::string maximum;
};

}  // namespace

std::string WarningText(const Finding& finding, const AdvisedSettings& settings,
                        const AdviceNames& names) {
  const std::string count = std::to_string(finding.count);
  const ScanSettings& used = settings.used;
  const Names setting{SettingName(kThresholdSetting, names.settings),
                      SettingName(kMinimumSetting, names.settings),
                      SettingName(kMaximumSetting, names.settings)};
  switch (finding.concern) {
    case Concern::kNoteLimitReached:
      return "the scan reached the limit of " + std::to_string(kMaxNotes) +
             " notes: light background or disc texture was probably taken for holes; " +
             TryFitOr(settings, names) + "a lower " + setting.threshold + " than " +
             std::to_string(used.threshold) + ", or a higher " + setting.minimum + " than " +
             std::to_string(used.minimum);
    case Concern::kManyPatchesTooLarge:
      return count + " light patches inside the disc were larger than " + setting.maximum + " " +
             std::to_string(used.maximum) +
             " and left out: the scan is probably finer than the settings expect; " +
             TryFitOr(settings, names) + "a larger " + setting.maximum;
    case Concern::kOverfullHoles:
      return count + " light patches held more pixels than one hole can (" +
             std::to_string(kMaxHolePixels) +
             ", the \"too many pixels\" lines of the log): background or disc texture inside the "
             "outline, or a very fine scan; " +
             (settings.fitted
                  ? "try a lower " + setting.threshold + " than " + std::to_string(used.threshold)
                  : "try " + names.fit);
    case Concern::kNotesWithoutPin:
      return count +
             " notes lie outside the pins' radii and were left out: the disc's outline, centre or "
             "size is probably wrong; scan the whole disc on an evenly lit light background" +
             (settings.fitted ? "" : ", or try " + names.fit);
    case Concern::kOutlineAtEdge:
      return "the disc's outline touches the edge of the picture on " + count +
             " side(s): background darker than " + setting.threshold + " " +
             std::to_string(used.threshold) + " or a disc cut off by the picture; " +
             TryFitOr(settings, names) + "a lower " + setting.threshold +
             ", and scan the whole disc with a light margin";
    case Concern::kPatchesOffTrack:
      return count +
             " light patches fit no track or slot size of the disc format and were left out (the "
             "log names each): dust, tears or print on the disc, or a disc of another format; "
             "try another " +
             names.format;
  }
  return {};
}

std::vector<std::string> PlausibilityWarnings(const std::vector<Finding>& findings,
                                              const AdvisedSettings& settings,
                                              const AdviceNames& names) {
  std::vector<std::string> warnings;
  for (const Finding& finding : findings) {
    warnings.push_back(WarningText(finding, settings, names));
  }
  return warnings;
}

}  // namespace tivenor
