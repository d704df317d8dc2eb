#pragma once
// --format and --list-formats: which format the converter reads the pictures as.

#include <string>
#include <vector>

#include "engine/disc/disc_format.h"
#include "engine/roads/read_disc.h"

namespace tivenor::cli {

// Puts the format that --format `value` names into `options`; "auto" leaves the choice among the
// known formats to the reader. Throws FormatError.
void ChooseFormat(const std::string& value, ReadingOptions& options);

// The same for --format given once or more: more than once, one of them is "auto" and the others
// are formats to choose among besides the bundled ones (a format file with a bundled format's
// name takes its place). Throws FormatError.
void ChooseFormats(const std::vector<std::string>& values, ReadingOptions& options);

// One line per format: its name, its title and its number of tracks.
std::string FormatListText(const std::vector<DiscFormat>& formats);

}  // namespace tivenor::cli
