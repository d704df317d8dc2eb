#include "tests/support/format_disc_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/support/test_formats.h"

namespace tivenor::testing {
namespace {

// The light a picture holds beyond the background, in pixels of full light.
double LightPixels(const Raster& picture, const FormatDiscOptions& options) {
  const double dark = options.discColour & 0xFFu;
  const double light = options.lightColour & 0xFFu;
  double sum = 0.0;
  for (const uint32_t pixel : picture.pixels) sum += ((pixel & 0xFFu) - dark) / (light - dark);
  return sum;
}

TEST(FormatDiscRenderer, DrawsEachSlotAsAnAnnularSectorOfItsArea) {
  const DiscFormat format = Clockwise20();
  FormatDiscOptions options;
  options.dpi = 150;
  const Raster empty = RenderFormatDisc(format, {}, options);
  const AnnularSlot slot{0.6, 0.025, 40.0, 12.0};
  const Raster drawn = RenderFormatDisc(format, {slot}, options);
  const double rim = RimRadiusPx(format, options);
  const double inner = (slot.radius - slot.width / 2) * rim,
               outer = (slot.radius + slot.width / 2) * rim;
  const double area =
      slot.lengthDegrees / 360.0 * std::numbers::pi * (outer * outer - inner * inner);
  EXPECT_NEAR(LightPixels(drawn, options) - LightPixels(empty, options), area, 0.01 * area);
}

TEST(FormatDiscRenderer, PutsTheSlotWhereTheMusicAndTheStartLineSay) {
  const DiscFormat format = Clockwise20();  // music clockwise
  FormatDiscOptions options;
  options.dpi = 100;
  options.startLineDegrees = 90.0;
  // 90 degrees of music clockwise from the top: the slot's middle at the picture's +x axis.
  const Raster drawn = RenderFormatDisc(format, {{0.7, 0.03, 85.0, 10.0}}, options);
  const double rim = RimRadiusPx(format, options);
  const auto x = static_cast<int32_t>(std::lround(CentreXPx(format, options) + 0.7 * rim));
  const auto y = static_cast<int32_t>(std::lround(CentreYPx(format, options)));
  EXPECT_EQ(drawn.Pixel(x, y), options.lightColour);
  EXPECT_EQ(drawn.Pixel(2 * static_cast<int32_t>(CentreXPx(format, options)) - x, y),
            options.discColour);
}

TEST(FormatDiscRenderer, TheBackIsTheFaceTurnedOver) {
  const DiscFormat format = Ariston24();
  FormatDiscOptions options;
  options.dpi = 40;
  options.drawDriveHoles = true;
  const std::vector<AnnularSlot> slots = {{0.5, 0.02, 10.0, 30.0}, {0.8, 0.02, 100.0, 5.0}};
  const Raster face = RenderFormatDisc(format, slots, options);
  options.mirrored = true;
  const Raster back = RenderFormatDisc(format, slots, options);
  ASSERT_EQ(face.width, back.width);
  int differing = 0;
  for (int32_t y = 0; y < face.height; ++y) {
    for (int32_t x = 0; x < face.width; ++x)
      differing += face.Pixel(x, y) != back.Pixel(face.width - 1 - x, y) ? 1 : 0;
  }
  EXPECT_EQ(differing, 0);
}

TEST(FormatDiscRenderer, PlacesNotesOnTheirKeysTracks) {
  const DiscFormat format = Ariston24();
  SlotPlacement placement;
  placement.trackShift = 0.008;
  const std::vector<AnnularSlot> slots =
      SlotsOfTune(format, {{format.keys[4], 6.0, 1.5}}, 60.0, placement);
  ASSERT_EQ(slots.size(), 1u);
  EXPECT_DOUBLE_EQ(slots[0].radius, format.trackRadii[4] + 0.008);
  EXPECT_DOUBLE_EQ(slots[0].startDegrees, 3.3 + 36.0);
  EXPECT_DOUBLE_EQ(slots[0].lengthDegrees, 9.0);
  EXPECT_THROW(SlotsOfTune(format, {{44, 0.0, 1.0}}, 60.0), std::invalid_argument);
  EXPECT_THROW(RenderFormatDisc(PianoPlayer36(), {}, FormatDiscOptions{}), std::invalid_argument);
}

}  // namespace
}  // namespace tivenor::testing
