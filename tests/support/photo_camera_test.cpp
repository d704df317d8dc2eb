#include "tests/support/photo_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tivenor::testing {
namespace {

// Solves the n x n system a x = b (row by row) by elimination with partial pivoting.
std::vector<double> Solve(std::vector<double> a, std::vector<double> b) {
  const std::size_t n = b.size();
  for (std::size_t col = 0; col < n; ++col) {
    std::size_t pivot = col;
    for (std::size_t row = col + 1; row < n; ++row)
      if (std::abs(a[row * n + col]) > std::abs(a[pivot * n + col])) pivot = row;
    for (std::size_t k = 0; k < n; ++k) std::swap(a[col * n + k], a[pivot * n + k]);
    std::swap(b[col], b[pivot]);
    for (std::size_t row = col + 1; row < n; ++row) {
      const double f = a[row * n + col] / a[col * n + col];
      for (std::size_t k = col; k < n; ++k) a[row * n + k] -= f * a[col * n + k];
      b[row] -= f * b[col];
    }
  }
  std::vector<double> x(n);
  for (std::size_t i = n; i-- > 0;) {
    double s = b[i];
    for (std::size_t k = i + 1; k < n; ++k) s -= a[i * n + k] * x[k];
    x[i] = s / a[i * n + i];
  }
  return x;
}

// Least squares over the rows of `terms` for sum(c_k term_k) = 1.
std::vector<double> FitTerms(const std::vector<std::vector<double>>& terms) {
  const std::size_t n = terms.front().size();
  std::vector<double> normal(n * n, 0.0), rhs(n, 0.0);
  for (const auto& t : terms) {
    for (std::size_t i = 0; i < n; ++i) {
      rhs[i] += t[i];
      for (std::size_t j = 0; j < n; ++j) normal[i * n + j] += t[i] * t[j];
    }
  }
  return Solve(normal, rhs);
}

// The centre of the ellipse through the points: a x² + b xy + c y² + d x + e y = 1, about a
// point inside it.
PicturePoint FittedEllipseCentre(const std::vector<PicturePoint>& points, PicturePoint inside) {
  std::vector<std::vector<double>> terms;
  for (const PicturePoint& p : points) {
    const double x = (p.x - inside.x) / 1000.0, y = (p.y - inside.y) / 1000.0;
    terms.push_back({x * x, x * y, y * y, x, y});
  }
  const auto k = FitTerms(terms);
  const auto centre = Solve({2 * k[0], k[1], k[1], 2 * k[2]}, {-k[3], -k[4]});
  return {inside.x + 1000.0 * centre[0], inside.y + 1000.0 * centre[1]};
}

// The centre of the circle nearest the points (algebraic fit).
PicturePoint FittedCircleCentre(const std::vector<PicturePoint>& points, PicturePoint inside) {
  std::vector<std::vector<double>> terms;
  for (const PicturePoint& p : points) {
    const double x = (p.x - inside.x) / 1000.0, y = (p.y - inside.y) / 1000.0;
    terms.push_back({x * x + y * y, x, y});
  }
  const auto k = FitTerms(terms);
  return {inside.x - 500.0 * k[1] / k[0], inside.y - 500.0 * k[2] / k[0]};
}

std::vector<PicturePoint> CircleInPicture(const PhotoCamera& camera, double radius) {
  std::vector<PicturePoint> points;
  points.reserve(720);
  for (int i = 0; i < 720; ++i) points.push_back(DiscToPicture(camera, {radius, i * 0.5}));
  return points;
}

double Distance(PicturePoint a, PicturePoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

CameraOptions TwentyFourMegapixels(double tilt, double axis) {
  CameraOptions options;  // 6000 x 4000
  options.tiltDegrees = tilt;
  options.tiltAxisDegrees = axis;
  return options;
}

struct RoundTripCase {
  std::string name;
  CameraOptions camera;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
  *out << c.name;
}

class PhotoCameraRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PhotoCameraRoundTrip, DiscToPictureAndBackWithinAHundredthOfAPixel) {
  const PhotoCamera camera = MakeCamera(GetParam().camera);
  for (double radius = 0.0; radius <= 1.1; radius += 0.05) {
    for (double degrees = 0.0; degrees < 360.0; degrees += 7.5) {
      const PicturePoint p = DiscToPicture(camera, {radius, degrees});
      const DiscPoint back = PictureToDisc(camera, p);
      const double a = degrees * std::numbers::pi / 180.0;
      const double b = back.degrees * std::numbers::pi / 180.0;
      const double missPx =
          camera.discRadiusPx * std::hypot(radius * std::cos(a) - back.radius * std::cos(b),
                                           radius * std::sin(a) - back.radius * std::sin(b));
      EXPECT_LT(missPx, 0.01) << radius << " rim radii at " << degrees << " degrees";
    }
  }
  // And from the photo's pixels, the corners included, through the disc's plane and back.
  for (int y = 0; y < camera.height; y += camera.height / 9) {
    for (int x = 0; x < camera.width; x += camera.width / 13) {
      const DiscPoint d = PictureToDisc(camera, {double(x), double(y)});
      EXPECT_LT(Distance(DiscToPicture(camera, d), {double(x), double(y)}), 0.01) << x << ", " << y;
    }
  }
}

CameraOptions Sized(int32_t width, int32_t height) {
  CameraOptions options;
  options.width = width;
  options.height = height;
  return options;
}

CameraOptions With(CameraOptions options, double tilt, double axis, double lens, double turn) {
  options.tiltDegrees = tilt;
  options.tiltAxisDegrees = axis;
  options.lensDistortion = lens;
  options.turnDegrees = turn;
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, PhotoCameraRoundTrip,
    ::testing::Values(RoundTripCase{"Square", With({}, 0, 0, 0, 0)},
                      RoundTripCase{"Tilt15Barrel", With({}, 15, 30, 0.12, 40)},
                      RoundTripCase{"Tilt8Pincushion", With({}, 8, 125, -0.08, 200)},
                      RoundTripCase{"Tilt12Portrait8Mp", With(Sized(2309, 3464), 12, 260, 0.08, 0)},
                      RoundTripCase{"Tilt15Near40Mp",
                                    [] {
                                      CameraOptions c = With(Sized(7746, 5164), -15, 75, 0.1, 10);
                                      c.distanceInRims = 4.0;
                                      return c;
                                    }()}),
    [](const auto& info) { return info.param.name; });

TEST(PhotoCamera, RimEllipseCentreIsOffTheDiscCentreAsAt10RimRadii) {
  for (double axis : {0.0, 45.0, 90.0, 160.0, 300.0}) {
    CameraOptions options = TwentyFourMegapixels(12.0, axis);
    options.lensDistortion = 0.0;  // the rim is then an exact ellipse
    const PhotoCamera camera = MakeCamera(options);
    const PicturePoint centre = DiscToPicture(camera, {0.0, 0.0});
    const PicturePoint fitted = FittedEllipseCentre(CircleInPicture(camera, 1.0), centre);
    EXPECT_LT(Distance(fitted, RimEllipseCentre(camera)), 0.05) << axis;
    EXPECT_GE(Distance(fitted, centre), 20.0) << axis;
    EXPECT_LE(Distance(fitted, centre), 50.0) << axis;
    // With the lens's bend the outline is no exact ellipse, but its centre stays as far off.
    const PhotoCamera bent = MakeCamera(TwentyFourMegapixels(12.0, axis));
    const double offset = Distance(RimEllipseCentre(bent), DiscToPicture(bent, {0.0, 0.0}));
    EXPECT_GE(offset, 20.0) << axis;
    EXPECT_LE(offset, 50.0) << axis;
  }
  for (double tilt : {8.0, 15.0}) {
    const PhotoCamera camera = MakeCamera(TwentyFourMegapixels(tilt, 30.0));
    const double offset = Distance(RimEllipseCentre(camera), DiscToPicture(camera, {0.0, 0.0}));
    EXPECT_GE(offset, 20.0) << tilt;
    EXPECT_LE(offset, 50.0) << tilt;
  }
  const PhotoCamera square = MakeCamera(TwentyFourMegapixels(0.0, 0.0));
  EXPECT_LT(Distance(RimEllipseCentre(square), DiscToPicture(square, {0.0, 0.0})), 1e-6);
}

TEST(PhotoCamera, LensMovesTheTracksCentresApartOnALargePhoto) {
  const auto drift = [](double lens) {
    const PhotoCamera camera = MakeCamera(With({}, 0, 0, lens, 0));
    const PicturePoint inside = DiscToPicture(camera, {0.0, 0.0});
    return Distance(FittedCircleCentre(CircleInPicture(camera, 0.42), inside),
                    FittedCircleCentre(CircleInPicture(camera, 0.97), inside));
  };
  EXPECT_LT(drift(0.0), 0.01);
  EXPECT_GE(drift(CameraOptions{}.lensDistortion), 5.0);
  EXPECT_LE(drift(CameraOptions{}.lensDistortion), 12.0);
  EXPECT_GE(drift(-CameraOptions{}.lensDistortion), 5.0);  // pincushion too
}

TEST(PhotoCamera, AnglesRunCounterClockwiseAsSeenAndTurnWithTheDisc) {
  const PhotoCamera camera = MakeCamera(With({}, 0, 0, 0, 30.0));
  const PicturePoint centre = DiscToPicture(camera, {0.0, 0.0});
  for (double degrees : {0.0, 60.0, 90.0, 200.0}) {
    const PicturePoint p = DiscToPicture(camera, {0.5, degrees});
    const double seen = std::atan2(centre.y - p.y, p.x - centre.x) * 180.0 / std::numbers::pi;
    EXPECT_NEAR(std::remainder(seen - degrees - 30.0, 360.0), 0.0, 1e-9) << degrees;
    EXPECT_NEAR(Distance(p, centre), 0.5 * camera.discRadiusPx, 1e-6);
  }
  // The disc sits off the frame's middle as asked.
  EXPECT_NEAR(centre.x - camera.opticalCentreX, 0.05 * 4000, 1e-6);
  EXPECT_NEAR(centre.y - camera.opticalCentreY, -0.03 * 4000, 1e-6);
}

TEST(PhotoCamera, RefusesCamerasThatCannotBe) {
  EXPECT_THROW(MakeCamera(With({}, 75, 0, 0, 0)), std::invalid_argument);
  EXPECT_THROW(MakeCamera(Sized(0, 100)), std::invalid_argument);
  CameraOptions near;
  near.distanceInRims = 1.0;
  EXPECT_THROW(MakeCamera(near), std::invalid_argument);
}

}  // namespace
}  // namespace tivenor::testing
