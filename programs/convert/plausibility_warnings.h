#pragma once
// The converter's words for what looks wrong in a result: what, and what to try.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/base/settings.h"
#include "engine/fitting/plausibility.h"

namespace tivenor::cli {

std::string WarningText(const Finding& finding, const ScanSettings& used);

// One line per finding: "tivenor-convert: warning: PICTURE: ...".
void PrintWarnings(std::FILE* out, const std::string& picture, const std::vector<Finding>& findings,
                   const ScanSettings& used);

}  // namespace tivenor::cli
