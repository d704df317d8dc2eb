#include "tests/e2e/format_read.h"

#include <utility>

namespace tivenor::testing {

FormatRead ReadFormatPicture(Raster picture, const ReadingOptions& options) {
  FormatRead read;
  read.host.display = std::move(picture);
  ScanState state;
  state.SourceFileName = "disc.bmp";
  state.PictureLoaded = true;
  state.PictureClean = true;
  read.reading = ReadDisc(state, read.host, options);
  return read;
}

ReadingOptions ReadAs(const DiscFormat& format) {
  ReadingOptions options;
  options.format = format;
  return options;
}

double OriginBefore(const DiscFormat& format, const SlotPlacement& placement) {
  return format.start == StartRule::kAngle ? placement.leadInDegrees : 0.0;
}

FormatDiscOptions RenderOptions(const DiscFormat& format, double dpi) {
  FormatDiscOptions options;
  options.dpi = dpi;
  if (format.diameterMm <= 0.0) options.diameterMm = 250.0;
  options.startLineDegrees = format.start == StartRule::kAngle ? format.startAngleDegrees : 117.0;
  options.drawLabel = true;
  options.drawDriveHoles = true;
  options.drawSpindle = true;
  return options;
}

}  // namespace tivenor::testing
