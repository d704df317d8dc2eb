#include "tests/support/disc_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "engine/reading/scan_state.h"

namespace tivenor::testing {
namespace {

bool Light(const Raster& picture, double x, double y) {
  return (picture.Pixel(static_cast<int32_t>(std::lround(x)),
                        static_cast<int32_t>(std::lround(y))) &
          0xFFu) > 100u;
}

// The time the engine derives from a point: its direction turned back by the start direction,
// plus the lead of 0.4 mm over the radius, in 3600ths of a revolution.
int TimeOfPoint(MmPoint p, int gapSector) {
  const double r = std::hypot(p.x, p.y);
  double a = std::atan2(p.y, p.x) / (2.0 * std::numbers::pi) - StartDirection(gapSector);
  a -= std::floor(a);
  return static_cast<int>(std::lround((0.4 / r + a) * 3600.0));
}

TEST(DiscGeometry, NotePointGivesBackItsTickAndPin) {
  for (int gap : {1, 2, 13, 24}) {
    for (DiscNote note : {DiscNote{0, 200}, DiscNote{14, 1800}, DiscNote{28, 3500}}) {
      const MmPoint p = NotePointMm(note, gap);
      EXPECT_EQ(TimeOfPoint(p, gap), note.tick);
      EXPECT_NEAR(std::hypot(p.x, p.y), 14.5 + note.pin * 41.0 / 30.0, 1e-9);
    }
  }
}

TEST(DiscGeometry, PinsOfKeys) {
  EXPECT_EQ(PinOfKey(52), 0);
  EXPECT_EQ(PinOfKey(71), 5);  // pins 5 and 6 play it; the lower one
  EXPECT_EQ(PinOfKey(100), 29);
  EXPECT_THROW(PinOfKey(69), std::invalid_argument);
  for (int pin = 0; pin < kPinCount; ++pin) {
    EXPECT_EQ(PinTones[static_cast<std::size_t>(PinOfKey(PinTones[static_cast<std::size_t>(pin)]))],
              PinTones[static_cast<std::size_t>(pin)]);
  }
}

TEST(DiscGeometry, ExpectedNotesInTimeOrderWithKeys) {
  const std::vector<ExpectedNote> expected =
      ExpectedNotes({{6, 900}, {0, 300}, {5, 300}, {29, 300}});
  EXPECT_EQ(expected,
            (std::vector<ExpectedNote>{{52, 300, 0}, {71, 300, 5}, {100, 300, 29}, {71, 900, 6}}));
}

TEST(DiscGeometry, RefusesNotesTheEngineCannotReadBack) {
  const auto refused = [](std::vector<DiscNote> notes, int gap) {
    EXPECT_THROW(CheckDiscNotes(notes, gap, 1.6, 0.5, 0.5), std::invalid_argument);
  };
  refused({{0, 100}}, 1);                // before the earliest tick of the innermost pin
  refused({{28, 3590}}, 1);              // runs into the start gap from the other side
  refused({{30, 1000}}, 1);              // no such pin
  refused({{15, 1000}, {15, 1010}}, 1);  // slots on one pin overlap
  refused({{15, 1000}}, 3);              // sectors 1 and 2 before the gap stay empty
  EXPECT_NO_THROW(CheckDiscNotes({{15, 1000}, {15, 1100}}, 1, 1.6, 0.5, 0.5));
}

class RenderedDisc : public ::testing::Test {
 protected:
  DiscOptions options_;
  DiscNote note_{10, 1000};
  Raster picture_ = RenderDisc({note_}, options_);
};

TEST_F(RenderedDisc, DiscIs114MmDarkOnLight) {
  const double ppm = PixelsPerMm(options_);
  const int32_t middle = picture_.height / 2;
  int32_t first = -1, last = -1;
  for (int32_t x = 0; x < picture_.width; ++x) {
    if (!Light(picture_, x, middle - 30)) {  // a row clear of the centre hole
      if (first < 0) first = x;
      last = x;
    }
  }
  const double chord = 2.0 * std::sqrt(57.0 * 57.0 - std::pow(30.0 / ppm, 2.0));
  EXPECT_NEAR((last - first + 1) / ppm, chord, 2.0 / ppm);
  EXPECT_TRUE(Light(picture_, picture_.width / 2.0, picture_.height / 2.0));  // centre hole
  EXPECT_TRUE(Light(picture_, 1, 1));
}

TEST_F(RenderedDisc, SlotEndsAtTheNotePointCounterClockwise) {
  const PicturePoint end = NotePointInPicture(note_, options_);
  const double cx = (picture_.width - 1) / 2.0, cy = (picture_.height - 1) / 2.0;
  // Unit vector counter-clockwise on the screen (y down) at the note point.
  const double r = std::hypot(end.x - cx, end.y - cy);
  const double tx = (end.y - cy) / r, ty = -(end.x - cx) / r;
  const double ppm = PixelsPerMm(options_);
  EXPECT_TRUE(Light(picture_, end.x - 1.5 * tx, end.y - 1.5 * ty));
  EXPECT_TRUE(Light(picture_, end.x - 0.8 * ppm * tx, end.y - 0.8 * ppm * ty));  // the middle
  EXPECT_FALSE(Light(picture_, end.x + 1.5 * tx, end.y + 1.5 * ty));
  EXPECT_FALSE(Light(picture_, end.x - 2.2 * ppm * tx, end.y - 2.2 * ppm * ty));
  // Across the track the slot is 0.8 mm wide.
  const double rx = (end.x - cx) / r, ry = (end.y - cy) / r;
  const double mx = end.x - 0.8 * ppm * tx, my = end.y - 0.8 * ppm * ty;
  EXPECT_TRUE(Light(picture_, mx + 0.25 * ppm * rx, my + 0.25 * ppm * ry));
  EXPECT_FALSE(Light(picture_, mx + 0.65 * ppm * rx, my + 0.65 * ppm * ry));
}

TEST_F(RenderedDisc, SlotCoversItsArea) {
  const Raster blank = RenderDisc({}, options_);
  int added = 0;
  for (std::size_t i = 0; i < picture_.pixels.size(); ++i) {
    added += ((picture_.pixels[i] & 0xFFu) > 100u) != ((blank.pixels[i] & 0xFFu) > 100u);
  }
  EXPECT_NEAR(added, HoleAreaPixels(options_), 0.2 * HoleAreaPixels(options_));
}

TEST(DiscRendering, SameOptionsSamePictureNoiseStaysSmall) {
  DiscOptions options;
  options.noise = 5;
  options.supersampling = 2;
  const Raster a = RenderDisc({{3, 700}}, options);
  EXPECT_EQ(a.pixels, RenderDisc({{3, 700}}, options).pixels);
  options.noiseSeed = 2;
  const Raster b = RenderDisc({{3, 700}}, options);
  EXPECT_NE(a.pixels, b.pixels);
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    ASSERT_LE(
        std::abs(static_cast<int>(a.pixels[i] & 0xFFu) - static_cast<int>(b.pixels[i] & 0xFFu)),
        10);
  }
}

TEST(DiscRendering, TurningBySectorsMovesTheGap) {
  DiscOptions options;
  options.rotationSectors = 5;
  EXPECT_EQ(GapSector(options), 6);
  options.rotationSectors = 23;
  EXPECT_EQ(GapSector(options), 24);
  // Sectors 1 to 5 would stay empty with a single note.
  options.rotationSectors = 5;
  EXPECT_THROW(RenderDisc({{3, 700}}, options), std::invalid_argument);
}

// What the renderer does to a picture as a scanner would: each fault where it was asked for.
TEST(DiscRenderer, ScannerFaults) {
  DiscOptions plain;
  const Raster clean = RenderDisc({}, plain);
  const uint32_t light = plain.lightColour;
  const int32_t last = clean.width - 1;
  ASSERT_EQ(clean.Pixel(0, 0), light);

  DiscOptions dark = plain;
  dark.darkCornerLight = 0.2;
  const Raster dim = RenderDisc({}, dark);
  EXPECT_NEAR(static_cast<double>(dim.Pixel(0, 0) & 0xFFu), 0.2 * (light & 0xFFu), 1.0);
  EXPECT_EQ(dim.Pixel(last, last), light);
  dark.falloff = DiscOptions::Falloff::Radial;
  const Raster vignette = RenderDisc({}, dark);
  EXPECT_NEAR(static_cast<double>(vignette.Pixel(0, 0) & 0xFFu), 0.2 * (light & 0xFFu), 1.0);
  EXPECT_EQ(vignette.Pixel(last, last), light);

  DiscOptions oneBit = plain;
  oneBit.oneBit = true;
  oneBit.supersampling = 3;
  const Raster bits = RenderDisc({{5, 400}}, oneBit);
  for (uint32_t pixel : bits.pixels) ASSERT_TRUE(pixel == 0u || pixel == 0x00FFFFFFu) << pixel;

  // Blur spreads the rim: pixels between the disc's grey and the light appear where none were.
  DiscOptions blurred = plain;
  blurred.blurRadiusPx = 2;
  const auto between = [&](const Raster& picture) {
    long count = 0;
    for (uint32_t pixel : picture.pixels) {
      const uint32_t red = pixel & 0xFFu;
      count += red > (plain.discColour & 0xFFu) + 10 && red < (light & 0xFFu) - 10 ? 1 : 0;
    }
    return count;
  };
  EXPECT_EQ(between(clean), 0);
  EXPECT_GT(between(RenderDisc({}, blurred)), 4000);

  DiscOptions framed = plain;
  framed.darkFramePx = 3;
  const Raster frame = RenderDisc({}, framed);
  EXPECT_EQ(frame.Pixel(2, 40), plain.discColour);
  EXPECT_EQ(frame.Pixel(40, last - 2), plain.discColour);
  EXPECT_EQ(frame.Pixel(3, 40), light);

  // Dust: specks dark on the light background and light on the dark disc.
  DiscOptions dusty = plain;
  dusty.dustSpecks = 500;
  const Raster specks = RenderDisc({}, dusty);
  long darkOnLight = 0, lightOnDark = 0;
  for (std::size_t i = 0; i < specks.pixels.size(); ++i) {
    darkOnLight += clean.pixels[i] == light && specks.pixels[i] == plain.discColour ? 1 : 0;
    lightOnDark += clean.pixels[i] == plain.discColour && specks.pixels[i] == light ? 1 : 0;
  }
  EXPECT_GT(darkOnLight, 20);
  EXPECT_GT(lightOnDark, 50);
}

}  // namespace
}  // namespace tivenor::testing
