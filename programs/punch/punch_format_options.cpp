#include "programs/punch/punch_format_options.h"

namespace tivenor::cli {

std::optional<std::string> FormatOptionProblem(const DiscFormat& format,
                                               const FormatOptionsGiven& given) {
  const std::string builtIn = BuiltInDiscFormat().name;
  if (IsBuiltIn(format)) {
    if (given.diameter) return "--diameter is for other formats than " + builtIn;
    return std::nullopt;
  }
  if (given.slotSize) {
    return "--slot-length and --slot-width are for " + builtIn + "; " + format.name +
           " takes its slot sizes from its format";
  }
  if (given.outerPin) return "--outer-pin is for " + builtIn;
  if (!given.diameter && !(format.diameterMm > 0.0)) {
    return "the format " + format.name +
           " gives its sizes in fractions of the rim: give the disc's size with --diameter MM";
  }
  return std::nullopt;
}

}  // namespace tivenor::cli
