#include "programs/convert/fit_option.h"

namespace tivenor::cli {

namespace {

std::string Setting(const char* name, int value, bool fitted) {
  return std::string(name) + " " + std::to_string(value) + (fitted ? " (fitted)" : "");
}

}  // namespace

ConverterSettings SettingsFor(const ConverterSettings& given, const FitRequest& request,
                              const FittedSettings& fitted) {
  ConverterSettings used = given;
  if (!request.fit || !fitted.discFound) return used;
  if (!request.givenThreshold) used.threshold = fitted.threshold;
  if (!request.givenMinimum) used.minimum = fitted.minimum;
  if (!request.givenMaximum) used.maximum = fitted.maximum;
  return used;
}

std::string SettingsUsedText(const ConverterSettings& used, const FitRequest& request,
                             const FittedSettings& fitted) {
  const bool fit = request.fit && fitted.discFound;
  std::string text =
      "settings: " + Setting("threshold", used.threshold, fit && !request.givenThreshold) + ", " +
      Setting("minimum", used.minimum, fit && !request.givenMinimum) + ", " +
      Setting("maximum", used.maximum, fit && !request.givenMaximum) + ", " +
      Setting("extrapolation", used.extrapolation, false);
  if (request.fit && !fitted.discFound) text += "; no disc to fit them to";
  if (!fit) return text;
  const ReadingPlan& plan = fitted.reading;
  if (plan.scale > 1) text += "; read at 1/" + std::to_string(plan.scale) + " resolution";
  if (plan.evenLighting) text += "; uneven lighting evened out";
  if (plan.clearOutside && fitted.darkOutsideDisc) text += "; dark specks around the disc ignored";
  return text;
}

std::string SummarySettings(const ConverterSettings& used, const FitRequest& request,
                            const FittedSettings& fitted) {
  return request.fit ? "; " + SettingsUsedText(used, request, fitted) : std::string();
}

}  // namespace tivenor::cli
