#pragma once
// The converter's warnings for a result that looks wrong, one line each on standard error.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/fitting/plausibility.h"
#include "engine/fitting/plausibility_advice.h"

namespace tivenor::cli {

// One line per finding: "tivenor-convert: warning: PICTURE: ...".
void PrintWarnings(std::FILE* out, const std::string& picture, const std::vector<Finding>& findings,
                   const AdvisedSettings& settings);

}  // namespace tivenor::cli
