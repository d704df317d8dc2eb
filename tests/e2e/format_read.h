#pragma once
// Reading a rendered disc of any format through the road, as the converter and the window do.

#include "engine/base/raster.h"
#include "engine/disc/disc_format.h"
#include "engine/roads/read_disc.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/memory_host.h"

namespace tivenor::testing {

struct FormatRead {
  DiscReading reading;
  MemoryHost host;
};

// Shows the picture as "Open file" would and reads it with `options`.
FormatRead ReadFormatPicture(Raster picture, const ReadingOptions& options);
ReadingOptions ReadAs(const DiscFormat& format);

// Where a reading's time 0 lies before the tune's first note: at the start line for a fixed
// angle, at the first slot for the widest gap.
double OriginBefore(const DiscFormat& format, const SlotPlacement& placement);

// Drawn at `dpi`, with label, drive holes and spindle, the start line where a fixed-angle format
// wants it; a format without a diameter is drawn 25 cm across.
FormatDiscOptions RenderOptions(const DiscFormat& format, double dpi);

}  // namespace tivenor::testing
