#pragma once
// Format files: a disc format written as JSON text (docs/formats.md), every field checked.

#include <cstddef>
#include <string>
#include <string_view>

#include "adapters/format_file/format_error.h"
#include "engine/disc/disc_format.h"

namespace tivenor {

// A format file is a page of text; a larger file is no format file.
inline constexpr std::size_t kLargestFormatFileBytes = std::size_t{1} << 20;

// The format that `text` describes; `fileName` names it in messages. Throws FormatError with one
// line: `"my.json": tracks.keys[3]: 130 is not a MIDI key (0 to 127)`.
DiscFormat ParseFormatText(std::string_view text, const std::string& fileName);

// The format in the file `fileName` (any bytes but NUL). Throws FormatError, also when the file
// cannot be read, is not a regular file or is larger than kLargestFormatFileBytes.
DiscFormat ReadFormatFile(const std::string& fileName);

}  // namespace tivenor
