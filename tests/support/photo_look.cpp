#include "tests/support/photo_look.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/disc/geometry.h"
#include "tests/support/photo_label.h"
#include "tests/support/photo_texture.h"

namespace tivenor::testing {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

struct Rgb {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
};

Rgb operator*(Rgb c, float f) {
  return {c.r * f, c.g * f, c.b * f};
}

Rgb operator+(Rgb a, Rgb b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Rgb Mix(Rgb from, Rgb to, float t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

float Smooth(double t) {
  const auto c = static_cast<float>(std::clamp(t, 0.0, 1.0));
  return c * c * (3.0f - 2.0f * c);
}

// The colours of one lighting, in levels before the light and the sensor.
struct Palette {
  Rgb open;         // what the openings show: the sheet or the light box
  Rgb cardboard;    // the disc's material
  float wallShade;  // a hole's wall, in the hole's shadow or dark against the light
  float mottling;   // how much the material's brightness varies
  Rgb paper;        // the label
  Rgb ink;
  float clampShine;  // the metal clamp's brightness: lit from the front or a silhouette
  float holeShade;   // light left in a hole's bottom under the raised disc
};

Palette PaletteOf(Lighting lighting) {
  if (lighting == Lighting::kBacklit) {
    return {{247, 249, 250}, {30, 22, 17}, 0.5f, 0.35f, {96, 91, 84}, {36, 33, 31}, 0.12f, 1.0f};
  }
  return {{238, 236, 230}, {154, 112, 74}, 0.55f, 0.08f,
          {230, 219, 192}, {48, 40, 38},   1.0f,  0.85f};
}

// The clean picture read as how much of the disc's material covers each pixel, 0 to 255.
class Mask {
 public:
  explicit Mask(const Raster& clean) : width_(clean.width), height_(clean.height) {
    if (clean.width < 2 || clean.height < 2 ||
        clean.pixels.size() != static_cast<std::size_t>(clean.width) * clean.height) {
      throw std::invalid_argument("the clean picture is empty");
    }
    const auto luma = [](uint32_t p) {
      return static_cast<int>(((p & 0xFFu) + 2u * ((p >> 8) & 0xFFu) + ((p >> 16) & 0xFFu)) / 4u);
    };
    std::array<std::size_t, 256> histogram{};
    for (uint32_t p : clean.pixels) ++histogram[static_cast<std::size_t>(luma(p))];
    const auto percentile = [&histogram, &clean](double share) {
      const auto wanted =
          static_cast<std::size_t>(share * static_cast<double>(clean.pixels.size()));
      std::size_t seen = 0;
      for (std::size_t level = 0; level < 256; ++level) {
        seen += histogram[level];
        if (seen > wanted) return static_cast<int>(level);
      }
      return 255;
    };
    const int dark = percentile(0.02), light = percentile(0.98);
    if (light - dark < 32) throw std::invalid_argument("the clean picture shows no dark disc");
    darkness_.resize(clean.pixels.size());
    for (std::size_t i = 0; i < clean.pixels.size(); ++i) {
      darkness_[i] = static_cast<uint8_t>(
          std::clamp((light - luma(clean.pixels[i])) * 255 / (light - dark), 0, 255));
    }
  }

  // Bilinear, 0 to 1; outside the picture there is no disc.
  float Sample(double x, double y) const {
    if (!(x >= 0.0 && y >= 0.0 && x < width_ - 1 && y < height_ - 1)) return 0.0f;
    const auto ix = static_cast<int32_t>(x), iy = static_cast<int32_t>(y);
    const auto ax = static_cast<float>(x - ix), ay = static_cast<float>(y - iy);
    const uint8_t* row = darkness_.data() + static_cast<std::size_t>(iy) * width_ + ix;
    const float top = row[0] + (row[1] - row[0]) * ax;
    const float bottom = row[width_] + (row[width_ + 1] - row[width_]) * ax;
    return (top + (bottom - top) * ay) * (1.0f / 255.0f);
  }

 private:
  int32_t width_;
  int32_t height_;
  std::vector<uint8_t> darkness_;
};

// Everything one photo's pixels are shaded from, prepared once.
class Scene {
 public:
  Scene(const Raster& clean, const PhotoTruth& truth, const PhotoOptions& options)
      : options_(options),
        camera_(truth.camera),
        disc_(truth.clean),
        palette_(PaletteOf(options.lighting)),
        mask_(clean),
        tile_(options.seed) {
    edge_ = std::max(options.edgeWidthPx, 0.3) / camera_.discRadiusPx;
    // A clean edge spans about one clean pixel, which scaling stretches; steepen it back.
    maskGain_ = std::max(1.0, camera_.discRadiusPx / disc_.rimRadius / options.edgeWidthPx);
    print_.labelRadius = disc_.labelRadius;
    print_.startLine = options.startLine;
    print_.startLineDegrees = options.startLineDegrees;
    print_.keepClearRadius = options.clampRadius;
    print_.edgeWidth = edge_;
    print_.seed = options.seed;
    // The shadow falls the same way in the photo whichever way the disc is turned.
    const double shadow = (options.shadowDegrees - options.camera.turnDegrees) * kRadiansPerDegree;
    shadowX_ = options.shadowWidth * std::cos(shadow);
    shadowY_ = options.shadowWidth * std::sin(shadow);
    clampShadowX_ = 3.0 * shadowX_;
    clampShadowY_ = 3.0 * shadowY_;
    lightAngle_ = (options.unevenLightDegrees - options.camera.turnDegrees) * kRadiansPerDegree;
    lightX_ = std::cos(options.unevenLightDegrees * kRadiansPerDegree);
    lightY_ = -std::sin(options.unevenLightDegrees * kRadiansPerDegree);
    for (int i = 0; i < options.driveHoles; ++i) {
      const double a =
          (options.driveHoleDegrees + 360.0 * i / options.driveHoles) * kRadiansPerDegree;
      driveHoles_.push_back(
          {options.driveHoleRadius * std::cos(a), options.driveHoleRadius * std::sin(a)});
    }
    for (std::size_t level = 0; level < sigma_.size(); ++level) {
      // Shot noise grows with the light; read noise stays in the dark.
      sigma_[level] = static_cast<float>(options.noise *
                                         std::sqrt(0.3 + 0.7 * static_cast<double>(level) / 128.0) *
                                         std::sqrt(3.0));
    }
  }

  // Every pixel depends on its position and the seed alone, so rows can be shared out among
  // threads in any way without changing a byte.
  void Draw(Raster& photo) const {
    photo.ResizeForOverwrite(camera_.width, camera_.height);
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    const auto drawRows = [this, &photo, threads](int first) {
      for (int32_t y = first; y < camera_.height; y += threads) {
        uint32_t* row = photo.pixels.data() + static_cast<std::size_t>(y) * camera_.width;
        for (int32_t x = 0; x < camera_.width; ++x) row[x] = Pixel(x, y);
      }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) workers.emplace_back(drawRows, t);
    drawRows(0);
    for (std::thread& worker : workers) worker.join();
  }

 private:
  uint32_t Pixel(int32_t x, int32_t y) const {
    const PlanePoint p = PictureToPlane(camera_, x, y);
    const Rgb scene = SceneColour(p);
    // The lens loses light towards the corners; the room's light falls off across the frame.
    const double dx = (x - camera_.opticalCentreX) / camera_.lensUnit;
    const double dy = (y - camera_.opticalCentreY) / camera_.lensUnit;
    const auto light = static_cast<float>(
        (1.0 - options_.vignetting * (dx * dx + dy * dy)) *
        (1.0 - 0.5 * options_.unevenLight * (1.0 - dx * lightX_ - dy * lightY_)));
    return Expose(scene * light, x, y);
  }

  Rgb SceneColour(PlanePoint p) const {
    const double r2 = p.x * p.x + p.y * p.y;
    const double r = std::sqrt(r2);
    float cover = 0.0f;  // the board at the top surface
    float wall = 0.0f;   // open at the top, but the line of sight meets the hole's wall
    if (r < 1.0 + 4.0 * edge_) {
      cover = Cover(p, r);
      if (cover < 1.0f && options_.boardThickness > 0.0) {
        // Where the line of sight leaves the board's bottom surface: further from the camera.
        const double reach = options_.boardThickness / camera_.cameraHeight;
        const PlanePoint bottom{p.x + (p.x - camera_.cameraFoot.x) * reach,
                                p.y + (p.y - camera_.cameraFoot.y) * reach};
        wall = (1.0f - cover) * Cover(bottom, std::sqrt(bottom.x * bottom.x + bottom.y * bottom.y));
      }
    }
    const float open = 1.0f - cover - wall;
    Rgb colour = open > 0.0f ? Opening(p, r) * open : Rgb{};
    if (open < 1.0f) {
      const Rgb board = Material(p, r);
      colour = colour + board * (cover + wall * palette_.wallShade);
    }
    if (r < options_.clampRadius + 2.0 * edge_) {
      colour = Mix(colour, Clamp(p, r), Smooth((options_.clampRadius - r) / edge_ + 0.5));
    }
    return colour;
  }

  float Cover(PlanePoint p, double r) const {
    const float t =
        mask_.Sample(disc_.centreX + p.x * disc_.rimRadius, disc_.centreY - p.y * disc_.rimRadius);
    return static_cast<float>(std::clamp((t - 0.5) * maskGain_ + 0.5, 0.0, 1.0)) *
           DriveHoleCover(p, r);
  }

  float DriveHoleCover(PlanePoint p, double r) const {
    if (driveHoles_.empty() ||
        std::abs(r - options_.driveHoleRadius) > options_.driveHoleSize + 2.0 * edge_) {
      return 1.0f;
    }
    float cover = 1.0f;
    for (const PlanePoint& hole : driveHoles_) {
      const double hx = p.x - hole.x, hy = p.y - hole.y;
      const double d = std::sqrt(hx * hx + hy * hy) - options_.driveHoleSize;
      cover = std::min(cover, Smooth(d / edge_ + 0.5));
    }
    return cover;
  }

  // The sheet or the light box, seen around the disc and through its holes.
  Rgb Opening(PlanePoint p, double r) const {
    const float grain = tile_.Sample(p.x * 700.0, p.y * 700.0);
    Rgb open = palette_.open * (1.0f + 0.012f * grain);
    if (options_.lighting == Lighting::kBacklit) return open;
    if (r < 1.0) return open * palette_.holeShade;
    if (r > 1.0 + 3.0 * options_.shadowWidth) return open;
    // The disc lies a little raised: a soft shadow beside the rim, away from the light.
    const double sx = p.x - shadowX_, sy = p.y - shadowY_;
    const double d = std::sqrt(sx * sx + sy * sy) - 1.0;
    const float shade = Smooth(0.5 - d / std::max(options_.shadowWidth, edge_));
    return open * static_cast<float>(1.0 - options_.shadowStrength * shade);
  }

  Rgb Material(PlanePoint p, double r) const {
    const float coarse = tile_.Sample(p.x * 60.0 + 91.0, p.y * 60.0 + 17.0);
    const float medium = tile_.Sample(p.x * 400.0, p.y * 400.0);
    // Fibres: a fine grain stretched one way, with a darker fleck where it peaks.
    const float fine =
        tile_.Sample((0.8 * p.x - 0.6 * p.y) * 1500.0, (0.6 * p.x + 0.8 * p.y) * 500.0);
    const float fleck = Smooth((fine - 0.45f) * 6.0f);
    Rgb board =
        palette_.cardboard * ((1.0f + palette_.mottling * (1.3f * coarse + medium) + 0.08f * fine) *
                              (1.0f - 0.3f * fleck));
    // The cut edge: worn and a little darker.
    board = board * (1.0f - 0.25f * Smooth((r - 0.994) / 0.006));
    if (disc_.labelRadius > 0.0 && r < disc_.labelRadius + edge_) {
      Rgb paper = palette_.paper * (1.0f + 0.03f * coarse + 0.02f * fine);
      paper = Mix(paper, palette_.ink, 0.92f * static_cast<float>(LabelInk(print_, p)));
      board = Mix(board, paper, Smooth((disc_.labelRadius - r) / edge_ + 0.5));
    }
    if (options_.lighting == Lighting::kFrontLit && options_.clampRadius > 0.0 &&
        r < 1.6 * options_.clampRadius) {
      // The clamp stands above the disc and shades it on one side.
      const double cx = p.x - clampShadowX_, cy = p.y - clampShadowY_;
      const double d = std::sqrt(cx * cx + cy * cy) - options_.clampRadius;
      board = board * (1.0f - 0.4f * Smooth(0.5 - d / (0.2 * options_.clampRadius)));
    }
    return board;
  }

  // The spindle's clamp: a bevelled washer of brushed steel with a hexagonal nut.
  Rgb Clamp(PlanePoint p, double r) const {
    const double rho = r / options_.clampRadius;
    const double softness = edge_ / options_.clampRadius;
    const double towardsLight = std::atan2(p.y, p.x) - lightAngle_;
    const double bevel = 0.55 + 0.35 * std::cos(towardsLight);
    const double brushed = 0.78 + 0.12 * std::cos(2.0 * towardsLight);
    double shine = brushed + (bevel - brushed) * Smooth((rho - 0.8) / softness + 0.5);
    // The nut: a hexagon, its top flat and its chamfer lit from one side.
    const double hx = std::abs(p.x), hy = std::abs(p.y);
    const double hex = std::max(hx, 0.5 * hx + 0.8660254 * hy) / options_.clampRadius;
    const double nut = 0.6 + 0.25 * std::cos(towardsLight + 0.5);
    shine += (nut - shine) * Smooth((0.42 - hex) / softness + 0.5);
    shine += (0.68 - shine) * Smooth((0.33 - hex) / softness + 0.5);
    shine += (0.3 - shine) * Smooth((0.13 - rho) / softness + 0.5);  // the spindle's end
    return Rgb{190.0f, 192.0f, 198.0f} * static_cast<float>(shine * palette_.clampShine);
  }

  uint32_t Expose(Rgb c, int32_t x, int32_t y) const {
    const uint64_t bits =
        HashBits(static_cast<uint64_t>(x), static_cast<uint64_t>(y), options_.seed);
    // About normal: the sum of four uniform values; each channel adds a little of its own.
    const float common = static_cast<float>((bits & 0xFFF) + ((bits >> 12) & 0xFFF) +
                                            ((bits >> 24) & 0xFFF) + ((bits >> 36) & 0xFFF)) /
                             4096.0f -
                         2.0f;
    const auto channel = [&](float value, int shift) {
      const float own = static_cast<float>((bits >> shift) & 0x1F) / 31.0f - 0.5f;
      const float level = std::clamp(value, 0.0f, 255.0f);
      const float noisy = level + sigma_[static_cast<std::size_t>(level)] * (common + 0.3f * own);
      return static_cast<uint32_t>(std::clamp(noisy + 0.5f, 0.0f, 255.0f));
    };
    return channel(c.r, 48) | channel(c.g, 53) << 8 | channel(c.b, 58) << 16;
  }

  const PhotoOptions& options_;
  PhotoCamera camera_;
  CleanDisc disc_;
  Palette palette_;
  Mask mask_;
  NoiseTile tile_;
  LabelPrint print_;
  double edge_ = 0.0;  // rim radii
  double maskGain_ = 1.0;
  double shadowX_ = 0.0, shadowY_ = 0.0;
  double clampShadowX_ = 0.0, clampShadowY_ = 0.0;
  double lightAngle_ = 0.0;             // in the disc's plane
  double lightX_ = 0.0, lightY_ = 0.0;  // in the photo, y downwards
  std::vector<PlanePoint> driveHoles_;
  std::array<float, 256> sigma_{};
};

}  // namespace

CleanDisc CleanDiscOf(const Raster& clean, const DiscOptions& options) {
  return {(clean.width - 1) * 0.5, (clean.height - 1) * 0.5, kRimRadiusMm * PixelsPerMm(options),
          0.0};
}

PhotoTruth PhotoTruthOf(const CleanDisc& disc, const PhotoOptions& options) {
  if (!(disc.rimRadius > 1.0) || !(disc.labelRadius >= 0.0 && disc.labelRadius < 1.0)) {
    throw std::invalid_argument("the clean disc needs a rim radius and a label inside it");
  }
  PhotoTruth truth;
  truth.camera = MakeCamera(options.camera);
  truth.clean = disc;
  truth.discCentre = PlaneToPicture(truth.camera, {0.0, 0.0});
  truth.rimEllipseCentre = RimEllipseCentre(truth.camera);
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  truth.startLineDegrees = kNone;
  truth.startLineInner = truth.startLineOuter = {kNone, kNone};
  if (options.startLine && disc.labelRadius > 0.0) {
    LabelPrint print;
    print.labelRadius = disc.labelRadius;
    print.keepClearRadius = options.clampRadius;
    truth.startLineDegrees = options.startLineDegrees;
    truth.startLineInner =
        DiscToPicture(truth.camera, {StartLineInnerRadius(print), options.startLineDegrees});
    truth.startLineOuter =
        DiscToPicture(truth.camera, {disc.labelRadius, options.startLineDegrees});
  }
  return truth;
}

Photo MakePhoto(const Raster& clean, const CleanDisc& disc, const PhotoOptions& options) {
  if (!(disc.centreX >= 0.0 && disc.centreY >= 0.0 && disc.centreX < clean.width &&
        disc.centreY < clean.height)) {
    throw std::invalid_argument("the disc's centre lies outside the clean picture");
  }
  Photo photo;
  photo.truth = PhotoTruthOf(disc, options);
  const Scene scene(clean, photo.truth, options);
  scene.Draw(photo.picture);
  return photo;
}

PicturePoint CleanToPicture(const PhotoTruth& truth, PicturePoint clean) {
  return PlaneToPicture(truth.camera, {(clean.x - truth.clean.centreX) / truth.clean.rimRadius,
                                       (truth.clean.centreY - clean.y) / truth.clean.rimRadius});
}

CameraOptions CameraOfMegapixels(double megapixels) {
  CameraOptions camera;
  camera.width = static_cast<int32_t>(std::lround(std::sqrt(megapixels * 1.5e6)));
  camera.height = static_cast<int32_t>(std::lround(camera.width / 1.5));
  return camera;
}

}  // namespace tivenor::testing
