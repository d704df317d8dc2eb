#pragma once
// Options that only some disc formats take: the disc's diameter for every format but the
// built-in one, and the built-in disc's own slot sizes and outer pin.

#include <optional>
#include <string>

#include "engine/disc/disc_format.h"

namespace tivenor::cli {

struct FormatOptionsGiven {
  bool diameter = false;
  bool slotSize = false;  // --slot-length or --slot-width
  bool outerPin = false;
};

// Nothing when the options suit the format; otherwise the usage error to show.
std::optional<std::string> FormatOptionProblem(const DiscFormat& format,
                                               const FormatOptionsGiven& given);

}  // namespace tivenor::cli
