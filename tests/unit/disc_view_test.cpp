// The disc's view in a photograph: the rim's ellipse, the perspective that leaves the disc's
// centre off the ellipse's and the lens, checked against a camera whose every mapping is known;
// and the printed start line on a label with text.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/slots/start_line.h"
#include "engine/view/disc_view.h"
#include "engine/view/ellipse_fit.h"
#include "tests/support/photo_camera.h"
#include "tests/support/photo_label.h"

namespace tivenor {
namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

testing::PhotoCamera Camera(double tilt, double lens) {
  testing::CameraOptions options;
  options.width = 3000;
  options.height = 2000;
  options.tiltDegrees = tilt;
  options.lensDistortion = lens;
  return testing::MakeCamera(options);
}

std::vector<PlanePoint> RimPoints(const testing::PhotoCamera& camera, int count) {
  std::vector<PlanePoint> points;
  for (int k = 0; k < count; ++k) {
    const testing::PicturePoint p = testing::DiscToPicture(camera, {1.0, 360.0 * k / count});
    points.push_back({p.x, p.y});
  }
  return points;
}

TEST(EllipseFit, FindsTheRimPastPointsFarOffIt) {
  const testing::PhotoCamera camera = Camera(12.0, 0.0);
  std::vector<PlanePoint> points = RimPoints(camera, 720);
  // Every tenth point is pulled 8 pixels off: notches, specks, the clamp's glint.
  for (std::size_t i = 0; i < points.size(); i += 10) points[i].x += 8.0;
  const std::optional<Ellipse> ellipse = FitEllipse(points);
  ASSERT_TRUE(ellipse);
  // Nor does the consensus leave out more than those (some, pulled along the rim, stay on it).
  const std::size_t kept = ConsensusPoints(points, 1.0).size();
  EXPECT_GE(kept, points.size() - points.size() / 10);
  EXPECT_LT(kept, points.size());
  const testing::PicturePoint centre = testing::RimEllipseCentre(camera);
  EXPECT_NEAR(ellipse->centre.x, centre.x, 0.05);
  EXPECT_NEAR(ellipse->centre.y, centre.y, 0.05);
  for (std::size_t i = 1; i < points.size(); i += 10) EXPECT_LT(ellipse->Distance(points[i]), 0.02);
  EXPECT_FALSE(FitEllipse(std::vector<PlanePoint>(3, PlanePoint{1.0, 2.0})));
}

// A worn or chipped stretch of the rim: a quarter of its edge, in one piece, lies a few pixels
// inside the true rim. The rest still says where the rim is.
TEST(EllipseFit, FindsTheRimPastAWornStretchOfIt) {
  const testing::PhotoCamera camera = Camera(12.0, 0.0);
  const testing::PicturePoint centre = testing::RimEllipseCentre(camera);
  for (const double share : {0.1, 0.25, 0.3}) {
    for (const double inwards : {3.0, 6.0, 12.0}) {
      std::vector<PlanePoint> points = RimPoints(camera, 720);
      const auto worn = static_cast<std::size_t>(share * static_cast<double>(points.size()));
      for (std::size_t i = 100; i < 100 + worn; ++i) {
        const double dx = points[i].x - centre.x, dy = points[i].y - centre.y;
        const double d = std::hypot(dx, dy);
        points[i] = {points[i].x - inwards * dx / d, points[i].y - inwards * dy / d};
      }
      const std::vector<PlanePoint> kept = ConsensusPoints(points, 1.0);
      EXPECT_EQ(kept.size(), points.size() - worn) << share << " " << inwards;
      const std::optional<Ellipse> ellipse = FitEllipse(kept);
      ASSERT_TRUE(ellipse);
      EXPECT_NEAR(ellipse->centre.x, centre.x, 0.1) << share << " " << inwards;
      EXPECT_NEAR(ellipse->centre.y, centre.y, 0.1) << share << " " << inwards;
    }
  }
}

// With the disc's true centre given, the view maps every point of the disc where the camera put
// it: the angles the reading measures are the disc's own, up to one turn of the whole.
TEST(DiscViewTest, TheTrueCentreMakesThePerspectiveExact) {
  for (const double tilt : {0.0, 8.0, 15.0}) {
    const testing::PhotoCamera camera = Camera(tilt, 0.0);
    const std::optional<CorrectedRim> rim = CorrectRim(LensBend{}, RimPoints(camera, 720));
    ASSERT_TRUE(rim);
    const testing::PicturePoint centre = testing::DiscToPicture(camera, {0.0, 0.0});
    const std::optional<DiscView> view = ViewWithCentre(*rim, {centre.x, centre.y});
    ASSERT_TRUE(view);
    const PlanePoint zero = view->PictureToDisc({centre.x, centre.y});
    EXPECT_NEAR(std::hypot(zero.x, zero.y), 0.0, 1e-6) << tilt;
    double turn = 0.0;
    for (const double radius : {0.3, 0.6, 0.95}) {
      for (int k = 0; k < 36; ++k) {
        const double degrees = 10.0 * k;
        const testing::PicturePoint p = testing::DiscToPicture(camera, {radius, degrees});
        const PlanePoint d = view->PictureToDisc({p.x, p.y});
        EXPECT_NEAR(std::hypot(d.x, d.y), radius, 2e-4) << tilt << " " << degrees;
        double off = std::atan2(d.y, d.x) / kDegrees - degrees;
        off -= 360.0 * std::round(off / 360.0);
        if (k == 0 && radius == 0.3) turn = off;
        EXPECT_NEAR(off, turn, 0.02) << tilt << " " << degrees;
        const PlanePoint back = view->DiscToPicture(d);
        EXPECT_NEAR(back.x, p.x, 1e-6);
        EXPECT_NEAR(back.y, p.y, 1e-6);
      }
    }
  }
}

TEST(DiscViewTest, TheLensIsBentBackExactly) {
  DiscView view = SquareView({1500.0, 1000.0}, 800.0);
  view.lens = {1400.0, 1100.0, 1800.0, 0.08};
  for (const PlanePoint disc : {PlanePoint{0.9, 0.1}, PlanePoint{-0.5, 0.7}, PlanePoint{0, 0}}) {
    const PlanePoint back = view.PictureToDisc(view.DiscToPicture(disc));
    EXPECT_NEAR(back.x, disc.x, 1e-9);
    EXPECT_NEAR(back.y, disc.y, 1e-9);
  }
  // The rim's points, seen through the lens, give the lens's ellipse only once bent back.
  const testing::PhotoCamera camera = Camera(10.0, 0.08);
  const std::vector<PlanePoint> points = RimPoints(camera, 720);
  LensBend bent{camera.opticalCentreX, camera.opticalCentreY, camera.lensUnit, 0.08};
  const std::optional<CorrectedRim> straight = CorrectRim(LensBend{}, points);
  const std::optional<CorrectedRim> corrected = CorrectRim(bent, points);
  ASSERT_TRUE(straight && corrected);
  EXPECT_LT(corrected->offEllipse, 0.01);
  EXPECT_GT(straight->offEllipse, 5.0 * corrected->offEllipse);
}

// A label as it is printed (border rings, a title, rows of small text, the start line with its
// legend), seen square-on, cream on a dark disc.
Raster PrintedLabel(const testing::LabelPrint& print, double rimPx) {
  Raster picture;
  const auto side = static_cast<int32_t>(2.0 * rimPx + 3.0);
  picture.Resize(side, side, 0x00303030u);
  const double c = 0.5 * (side - 1);
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const testing::PlanePoint point{(x - c) / rimPx, (c - y) / rimPx};
      if (std::hypot(point.x, point.y) > print.labelRadius) continue;
      const double ink = testing::LabelInk(print, point);
      const auto level = static_cast<uint32_t>(std::lround(0xE0 - ink * (0xE0 - 0x38)));
      picture.SetPixel(x, y, level * 0x010101u);
    }
  }
  return picture;
}

// A label of the format's size, square-on, with its rim `rimPx` pixels round.
struct LabelScene {
  DiscFormat format;
  DiscFrame frame;
  testing::LabelPrint print;
  double rimPx = 0.0;
};

LabelScene SceneOfRim(double rimPx) {
  LabelScene scene;
  scene.format.labelRadius = 0.378;
  scene.format.ringInner = 0.39;
  scene.rimPx = rimPx;
  scene.frame.centreX = scene.frame.centreY = 0.5 * (2.0 * rimPx + 2.0);
  scene.frame.rimRadius = rimPx;
  scene.print.labelRadius = scene.format.labelRadius;
  scene.print.keepClearRadius = 0.07;
  return scene;
}

TEST(StartLineTest, FindsThePrintedLineAmongTheLabelsText) {
  LabelScene scene = SceneOfRim(700.0);
  const DiscFormat& format = scene.format;
  const DiscFrame& frame = scene.frame;
  testing::LabelPrint& print = scene.print;
  const double rimPx = scene.rimPx;
  for (const double degrees : {90.0, 117.0, 301.5}) {
    print.startLineDegrees = degrees;
    print.seed = static_cast<uint32_t>(degrees);
    const std::optional<double> line = FindStartLine(PrintedLabel(print, rimPx), frame, format);
    ASSERT_TRUE(line) << degrees;
    EXPECT_NEAR(*line, degrees, 0.2);
    // The music runs clockwise: the same line lies at the mirrored music angle.
    DiscFrame clockwise = frame;
    clockwise.music = MusicDirection::kClockwise;
    const std::optional<double> mirrored =
        FindStartLine(PrintedLabel(print, rimPx), clockwise, format);
    ASSERT_TRUE(mirrored) << degrees;
    EXPECT_NEAR(*mirrored, 360.0 - degrees, 0.2);
  }
  print.startLine = false;
  const std::optional<double> none = FindStartLine(PrintedLabel(print, rimPx), frame, format);
  EXPECT_FALSE(none) << *none;
}

// At a large camera's full size the letters are sharp: a ray along a row of text runs through
// ink on a good part of its length, but never on nearly all of it as along the line.
TEST(StartLineTest, SharpTextBesideTheLineDoesNotTakeItsPlace) {
  LabelScene scene = SceneOfRim(1800.0);
  testing::LabelPrint& print = scene.print;
  print.startLineDegrees = 92.0;
  print.seed = 3;  // letters that put ink on a fifth of a ray along a row
  const std::optional<double> line =
      FindStartLine(PrintedLabel(print, scene.rimPx), scene.frame, scene.format);
  ASSERT_TRUE(line);
  EXPECT_NEAR(*line, 92.0, 0.2);
}

}  // namespace
}  // namespace tivenor
