#include "programs/convert/fit_option.h"

namespace tivenor::cli {

namespace {

std::string Setting(const char* name, int value, bool fitted) {
  return std::string(name) + " " + std::to_string(value) + (fitted ? " (fitted)" : "");
}

}  // namespace

std::string SettingsUsedText(const ScanSettings& used, const FitRequest& request,
                             const DiscReading& reading) {
  const FittedSettings& fitted = reading.fitted;
  const bool fit = request.fit && fitted.discFound;
  if (reading.startRule) {
    // A format's slots: the threshold is the one setting, the format gives the hole sizes.
    std::string text =
        "settings: " + Setting("threshold", used.threshold, fit && !request.given.threshold) +
        ", hole sizes from the format";
    if (request.fit && !fitted.discFound) text += "; no disc to fit them to";
    if (fit && fitted.reading.scale > 1)
      text += "; read at 1/" + std::to_string(fitted.reading.scale) + " resolution";
    return text;
  }
  std::string text =
      "settings: " + Setting("threshold", used.threshold, fit && !request.given.threshold) + ", " +
      Setting("minimum", used.minimum, fit && !request.given.minimum) + ", " +
      Setting("maximum", used.maximum, fit && !request.given.maximum) + ", " +
      Setting("extrapolation", used.extrapolation, false);
  if (request.fit && !fitted.discFound) text += "; no disc to fit them to";
  if (!fit) return text;
  const ReadingPlan& plan = fitted.reading;
  if (plan.scale > 1) text += "; read at 1/" + std::to_string(plan.scale) + " resolution";
  if (plan.evenLighting) text += "; uneven lighting evened out";
  if (plan.clearOutside && fitted.darkOutsideDisc) text += "; dark specks around the disc ignored";
  return text;
}

std::string SummarySettings(const ScanSettings& used, const FitRequest& request,
                            const DiscReading& reading) {
  return request.fit ? "; " + SettingsUsedText(used, request, reading) : std::string();
}

}  // namespace tivenor::cli
