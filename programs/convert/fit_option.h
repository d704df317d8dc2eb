#pragma once
// --auto: what the summary line says about the settings a picture was read with.

#include <string>

#include "engine/base/settings.h"
#include "engine/roads/read_disc.h"
#include "programs/convert/converter_settings.h"

namespace tivenor::cli {

// The summary line's end with --auto: "; settings: ...", or nothing without it.
std::string SummarySettings(const ScanSettings& used, const FitRequest& request,
                            const DiscReading& reading);

// Says which settings a run used, for the summary line: "threshold 134 (fitted), ...".
std::string SettingsUsedText(const ScanSettings& used, const FitRequest& request,
                             const DiscReading& reading);

}  // namespace tivenor::cli
