#include "adapters/paint/disc_page.h"

#include "engine/making/disc_layout.h"

namespace tivenor {

double PageSizeMm(const DiscLayout& layout) {
  if (IsBuiltIn(layout.format)) return kPageSizeMm;
  return layout.placement.diameterMm + 2 * kPageMarginMm;
}

}  // namespace tivenor
