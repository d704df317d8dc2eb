#include "engine/making/layout_warnings.h"

#include <algorithm>

#include "engine/disc/geometry.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

std::vector<std::string> LayoutWarnings(const DiscLayout& layout) {
  std::vector<std::string> warnings;
  if (layout.notes.size() > static_cast<std::size_t>(kMaxNotes)) {
    warnings.push_back(std::to_string(layout.notes.size()) + " holes: Tivenor's reader keeps " +
                       std::to_string(kMaxNotes) + " notes");
  }
  const int outerPin = kPinCount - 1;
  const auto outer = std::count_if(layout.notes.begin(), layout.notes.end(),
                                   [&](const PunchedNote& note) { return note.pin == outerPin; });
  if (outer > 0) {
    warnings.push_back(std::to_string(outer) + (outer == 1 ? " note" : " notes") + " on pin " +
                       std::to_string(outerPin) +
                       ", outside the ring Tivenor's reader scans: it may miss them");
  }
  return warnings;
}

}  // namespace tivenor
