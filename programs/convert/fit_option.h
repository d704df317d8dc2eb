#pragma once
// --auto: settings fitted to each picture, where the command line does not set them.

#include <string>

#include "engine/fitting/fitted_settings.h"
#include "programs/convert/converter_settings.h"

namespace tivenor::cli {

// The settings for one picture: the given ones, with the fitted ones where the request asks.
ConverterSettings SettingsFor(const ConverterSettings& given, const FitRequest& request,
                              const FittedSettings& fitted);

// The summary line's end with --auto: "; settings: ...", or nothing without it.
std::string SummarySettings(const ConverterSettings& used, const FitRequest& request,
                            const FittedSettings& fitted);

// Says which settings a run used, for the summary line: "threshold 134 (fitted), ...".
std::string SettingsUsedText(const ConverterSettings& used, const FitRequest& request,
                             const FittedSettings& fitted);

}  // namespace tivenor::cli
