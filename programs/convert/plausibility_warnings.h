#pragma once
// The converter's warnings for a result that looks wrong, one line each on standard error.

#include <cstdio>
#include <string>

#include "engine/reading/scan_state.h"
#include "programs/convert/converter_host.h"

namespace tivenor::cli {

// One line per finding of the last scan: "tivenor-convert: warning: PICTURE: ...".
void PrintWarnings(std::FILE* out, const std::string& picture, const ScanState& state,
                   const ConverterHost& host);

}  // namespace tivenor::cli
