#include "engine/fitting/plausibility_advice.h"

namespace tivenor {

namespace {

// "try --auto, or " while fitting could still help; nothing once the settings were fitted.
std::string TryFitOr(const ScanSettings& used, const AdviceNames& names) {
  return used.fitted ? "try " : "try " + names.fit + ", or ";
}

}  // namespace

std::string WarningText(const Finding& finding, const ScanSettings& used,
                        const AdviceNames& names) {
  const std::string count = std::to_string(finding.count);
  const SettingNames& setting = names.settings;
  switch (finding.concern) {
    case Concern::NoteLimitReached:
      return "the scan reached the limit of " + std::to_string(kMaxNotes) +
             " notes: light background or disc texture was probably taken for holes; " +
             TryFitOr(used, names) + "a lower " + setting.threshold + " than " +
             std::to_string(used.threshold) + ", or a higher " + setting.minimum + " than " +
             std::to_string(used.minimum);
    case Concern::ManyPatchesTooLarge:
      return count + " light patches inside the disc were larger than " + setting.maximum + " " +
             std::to_string(used.maximum) +
             " and left out: the scan is probably finer than the settings expect; " +
             TryFitOr(used, names) + "a larger " + setting.maximum;
    case Concern::OverfullHoles:
      return count + " light patches held more pixels than one hole can (" +
             std::to_string(kMaxHolePixels) +
             ", the \"too many pixels\" lines of the log): background or disc texture inside the "
             "outline, or a very fine scan; " +
             (used.fitted
                  ? "try a lower " + setting.threshold + " than " + std::to_string(used.threshold)
                  : "try " + names.fit);
    case Concern::NotesWithoutPin:
      return count +
             " notes lie outside the pins' radii and were left out: the disc's outline, centre or "
             "size is probably wrong; scan the whole disc on an evenly lit light background" +
             (used.fitted ? "" : ", or try " + names.fit);
    case Concern::OutlineAtEdge:
      return "the disc's outline touches the edge of the picture on " + count +
             " side(s): background darker than " + setting.threshold + " " +
             std::to_string(used.threshold) + " or a disc cut off by the picture; " +
             TryFitOr(used, names) + "a lower " + setting.threshold +
             ", and scan the whole disc with a light margin";
  }
  return {};
}

std::vector<std::string> PlausibilityWarnings(const ScanState& state, int32_t width, int32_t height,
                                              const ScanSettings& used, const AdviceNames& names) {
  std::vector<std::string> warnings;
  for (const Finding& finding : CheckPlausibility(state, width, height)) {
    warnings.push_back(WarningText(finding, used, names));
  }
  return warnings;
}

}  // namespace tivenor
