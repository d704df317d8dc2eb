#pragma once
// The formats the programs know by name, and the format a --format value names.

#include <string>
#include <vector>

#include "adapters/format_file/format_error.h"
#include "engine/disc/disc_format.h"

namespace tivenor {

// The --format value that asks the converter to choose among the known formats.
inline constexpr const char* kChooseFormatName = "auto";

// The built-in format first, then the formats bundled with the programs.
std::vector<DiscFormat> ListFormats();

// A known format's name, or the path of a format file: anything with a '/' or ending in ".json".
// Throws FormatError: a bad file's one line, or for an unknown name a line listing the known ones.
DiscFormat FindFormat(const std::string& nameOrPath);

}  // namespace tivenor
