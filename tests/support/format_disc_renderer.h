#pragma once
// Draws a disc of any format as a light box shows it: a dark disc on a light background, each
// note a light annular sector on its track, as long as the note for sustained formats; with an
// opaque label, the drive holes and the spindle hole where asked.

#include <cstdint>
#include <vector>

#include "engine/base/raster.h"
#include "engine/disc/disc_format.h"

namespace tivenor::testing {

// A light annular sector, in rim units and in the music's degrees after the start line.
struct AnnularSlot {
  double radius = 0.0;  // of its middle
  double width = 0.0;
  double startDegrees = 0.0;
  double lengthDegrees = 0.0;
};

struct FormatDiscOptions {
  double dpi = 300.0;
  double diameterMm = 0.0;  // 0: the format's own
  double marginMm = 6.0;    // light border around the disc
  // Where the music starts: face degrees counter-clockwise from the picture's +x axis. Turning
  // the disc turns this.
  double startLineDegrees = 90.0;
  bool mirrored = false;         // the picture shows the disc's back
  bool drawLabel = false;        // inside the format's label radius, in `labelColour`
  bool drawDriveHoles = false;   // the format's drive holes, light
  bool drawSpindle = false;      // a light hole in the centre
  int supersampling = 4;         // samples per pixel side along edges
  double centreOffsetXPx = 0.0;  // the disc off the picture's middle
  double centreOffsetYPx = 0.0;
  uint32_t discColour = 0x00232628;  // 0x00BBGGRR
  uint32_t lightColour = 0x00DCE2E4;
  uint32_t labelColour = 0x00302C2A;
};

double DiscPixelsPerMm(const FormatDiscOptions& options);
double RimRadiusPx(const DiscFormat& format, const FormatDiscOptions& options);
// Where the rendered disc's centre lies, in pixels.
double CentreXPx(const DiscFormat& format, const FormatDiscOptions& options);
double CentreYPx(const DiscFormat& format, const FormatDiscOptions& options);

// Throws std::invalid_argument for a format without a diameter and no `diameterMm`.
Raster RenderFormatDisc(const DiscFormat& format, const std::vector<AnnularSlot>& slots,
                        const FormatDiscOptions& options);

struct TuneNote {
  int key = 0;
  double onsetSeconds = 0.0;
  double lengthSeconds = 0.0;
};

struct SlotPlacement {
  double leadInDegrees = 3.3;  // from the start line to where the tune begins
  double width = 0.0;          // rim units; 0: what the format's holes and pitch allow
  double trackShift = 0.0;     // rim units added to every track radius: a grid off the format's
  double trackStretch = 1.0;   // every track radius scaled, as a rim measured off scales them
};

// The slots of a tune on the format's tracks: each note on the innermost track of its key,
// `turnSeconds` a turn; a plucked format's slots are as long as its typical hole. Throws
// std::invalid_argument for a key the format has no track for.
std::vector<AnnularSlot> SlotsOfTune(const DiscFormat& format, const std::vector<TuneNote>& tune,
                                     double turnSeconds, const SlotPlacement& placement = {});

// The width SlotsOfTune gives slots by default.
double DefaultSlotWidth(const DiscFormat& format);

}  // namespace tivenor::testing
