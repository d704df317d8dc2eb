#pragma once
// The words for what looks wrong in a result that gave notes: what, and what to try. One text for
// the converter and the window, each naming its settings and its fit as its user knows them.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/settings.h"
#include "engine/fitting/plausibility.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

// How a host names what the advice points at.
struct AdviceNames {
  SettingNaming settings;  // "--threshold" in the converter, "B/W Threshold" in the window
  std::string fit;         // "--auto" in the converter, the fit box's caption in the window
  std::string format;      // "--format" in the converter, "Disc format" in the window
};

// The settings the scan ran with, and whether they were fitted to the picture: fitted settings
// make advice to fit them pointless.
struct AdvisedSettings {
  ScanSettings used;
  bool fitted = false;
};

// One finding in words, e.g. "the disc's outline touches the edge of the picture on 2 side(s):
// ...; try --auto, or a lower --threshold, and scan the whole disc with a light margin".
std::string WarningText(const Finding& finding, const AdvisedSettings& settings,
                        const AdviceNames& names);

// Every finding in words.
std::vector<std::string> PlausibilityWarnings(const std::vector<Finding>& findings,
                                              const AdvisedSettings& settings,
                                              const AdviceNames& names);

}  // namespace tivenor
