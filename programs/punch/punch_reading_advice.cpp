#include "programs/punch/punch_reading_advice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "adapters/paint/disc_page.h"
#include "engine/base/settings.h"
#include "engine/reading/scan_state.h"

namespace tivenor::cli {
namespace {

// A slot's pixel count varies with where its edges fall on the pixel grid; settings this far
// either side of the expected count take every slot and nothing much smaller or larger.
constexpr double kLowerShare = 0.5;
constexpr double kUpperShare = 1.5;

}  // namespace

double SlotPixels(double slotLengthMm, double slotWidthMm, double dpi) {
  const double pixelsPerMm = dpi / kMmPerInch;
  return slotLengthMm * slotWidthMm * pixelsPerMm * pixelsPerMm;
}

std::optional<std::string> ReadingAdvice(double slotLengthMm, double slotWidthMm, double dpi) {
  const double pixels = SlotPixels(slotLengthMm, slotWidthMm, dpi);
  const int expected = static_cast<int>(std::lround(pixels));
  const int minimum = static_cast<int>(std::floor(pixels * kLowerShare));
  const int maximum = static_cast<int>(std::ceil(pixels * kUpperShare));
  if (minimum >= kMinimumSetting.initial && maximum <= kMaximumSetting.initial) return std::nullopt;
  const std::string size = "slots of about " + std::to_string(expected) + " pixels at " +
                           std::to_string(static_cast<int>(std::lround(dpi))) + " dpi";
  if (maximum > kMaxHolePixels) {
    return size + ": more than the reader's " + std::to_string(kMaxHolePixels) +
           " pixels a hole; use a lower --dpi to read it back";
  }
  if (minimum < 2) return size + ": too small to read back; use a higher --dpi";
  return size + ": read it back with --minimum " + std::to_string(minimum) + " --maximum " +
         std::to_string(std::min(maximum, kMaxHolePixels));
}

std::optional<std::string> FormatReadingAdvice(const FormatPlacement& placement, double dpi) {
  const double web = std::min(placement.webMm, placement.trackWebMm);
  const bool slotNarrower = placement.slotWidthMm < web;
  const double thinnest = slotNarrower ? placement.slotWidthMm : web;
  const double pixels = thinnest * dpi / kMmPerInch;
  if (pixels >= kLeastWebPixels) return std::nullopt;
  const int enough = static_cast<int>(std::ceil(kLeastWebPixels * kMmPerInch / thinnest));
  char text[200];
  std::snprintf(text, sizeof text, "%s, %.2f mm, %s %.1f pixels at %d dpi",
                slotNarrower ? "the narrowest slots" : "the thinnest card between slots", thinnest,
                slotNarrower ? "cover" : "covers", pixels, static_cast<int>(std::lround(dpi)));
  return std::string(text) + ": too few to read the slots back apart; use --dpi " +
         std::to_string(enough) + " or more";
}

}  // namespace tivenor::cli
