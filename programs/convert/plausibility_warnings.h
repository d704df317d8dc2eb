#pragma once
// The converter's words for what looks wrong in a result: what, and what to try.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/fitting/plausibility.h"
#include "engine/reading/scan_state.h"
#include "programs/convert/converter_host.h"

namespace tivenor::cli {

std::string WarningText(const Finding& finding, const ConverterSettings& used);

// One line per finding of the last scan: "tivenor-convert: warning: PICTURE: ...".
void PrintWarnings(std::FILE* out, const std::string& picture, const ScanState& state,
                   const ConverterHost& host);

}  // namespace tivenor::cli
