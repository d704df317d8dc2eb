#include "engine/fitting/fitted_settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "engine/fitting/reading_copy.h"
#include "engine/reading/pixel_search.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

namespace {

// Pixels on the longer side of the sparse preview: enough for levels, lighting and a first
// circle, which the rim search then refines at the full resolution.
constexpr int32_t kPreviewSide = 256;
// Lighting that varies less than this over the picture is left as it is.
constexpr double kEvenEnough = 0.85;
// The disc's ring without its rim and its centre, where nearly every pixel is the disc itself.
constexpr double kRingInner = 0.35;
constexpr double kRingOuter = 0.9;
constexpr double kOutsideDisc = 1.04;
constexpr int kMinimumBackgroundSamples = 50;
// Less difference than this between disc and light is no disc on a background.
constexpr int kMinimumContrast = 32;

int Channel(uint32_t pixel, int shift) {
  return static_cast<int>((pixel >> shift) & 0xFFu);
}

int Luma(uint32_t pixel) {
  return (Channel(pixel, 0) + 2 * Channel(pixel, 8) + Channel(pixel, 16) + 2) / 4;
}

// Every step-th pixel of every step-th row, in picture coordinates x * step, y * step.
struct Preview {
  int32_t step = 1;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

Preview MakePreview(const Raster& picture) {
  Preview preview;
  const int32_t side = std::max(picture.width, picture.height);
  preview.step = std::max<int32_t>(1, (side + kPreviewSide - 1) / kPreviewSide);
  preview.width = (picture.width + preview.step - 1) / preview.step;
  preview.height = (picture.height + preview.step - 1) / preview.step;
  preview.pixels.reserve(static_cast<std::size_t>(preview.width) *
                         static_cast<std::size_t>(preview.height));
  for (int32_t y = 0; y < preview.height; ++y) {
    const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) *
                                                      static_cast<std::size_t>(preview.step) *
                                                      static_cast<std::size_t>(picture.width);
    for (int32_t x = 0; x < preview.width; ++x)
      preview.pixels.push_back(row[static_cast<std::size_t>(x) * preview.step]);
  }
  return preview;
}

// The brightness that splits the histogram into two classes of least spread (Otsu): pixels at
// or below it are the dark class.
template <typename Brightness>
int SplitBrightness(const Preview& preview, Brightness brightness) {
  std::array<double, 256> histogram{};
  for (int32_t y = 0; y < preview.height; ++y) {
    for (int32_t x = 0; x < preview.width; ++x)
      histogram[static_cast<std::size_t>(brightness(x, y))] += 1.0;
  }
  double total = 0.0, sum = 0.0;
  for (int v = 0; v < 256; ++v) {
    total += histogram[v];
    sum += v * histogram[v];
  }
  double darkCount = 0.0, darkSum = 0.0, best = -1.0;
  int split = 127;
  for (int v = 0; v < 255; ++v) {
    darkCount += histogram[v];
    darkSum += v * histogram[v];
    const double lightCount = total - darkCount;
    if (darkCount == 0.0 || lightCount == 0.0) continue;
    const double gap = darkSum / darkCount - (sum - darkSum) / lightCount;
    const double between = darkCount * lightCount * gap * gap;
    if (between > best) {
      best = between;
      split = v;
    }
  }
  return split;
}

// Where each row and each column of the preview first turns from light to dark, seen from
// either end, in picture pixels. Dark at the picture's edge itself (a scanner's black frame, a
// dark corner) is passed over: the disc lies beyond the light that follows it.
template <typename Brightness>
std::vector<EdgeSample> EdgeSamples(const Preview& preview, int split, Brightness brightness) {
  std::vector<EdgeSample> samples;
  const double step = preview.step;
  // The first index from `from` towards `to` (exclusive) where light turns dark, or `to`.
  const auto lightToDark = [&](int32_t from, int32_t to, auto pixelAt) {
    const int32_t direction = from < to ? 1 : -1;
    int32_t i = from;
    while (i != to && brightness(pixelAt(i).x, pixelAt(i).y) <= split) i += direction;
    while (i != to && brightness(pixelAt(i).x, pixelAt(i).y) > split) i += direction;
    return i;
  };
  for (int32_t y = 0; y < preview.height; ++y) {
    const auto along = [y](int32_t x) { return PixelPoint{x, y}; };
    const int32_t left = lightToDark(0, preview.width, along);
    if (left != preview.width) samples.push_back({left * step, y * step});
    const int32_t right = lightToDark(preview.width - 1, -1, along);
    if (right != -1) samples.push_back({right * step, y * step});
  }
  for (int32_t x = 0; x < preview.width; ++x) {
    const auto down = [x](int32_t y) { return PixelPoint{x, y}; };
    const int32_t top = lightToDark(0, preview.height, down);
    if (top != preview.height) samples.push_back({x * step, top * step});
    const int32_t bottom = lightToDark(preview.height - 1, -1, down);
    if (bottom != -1) samples.push_back({x * step, bottom * step});
  }
  return samples;
}

double DistanceFromCentre(const Circle& disc, double x, double y) {
  const double dx = x - disc.centreX, dy = y - disc.centreY;
  return std::sqrt(dx * dx + dy * dy);
}

LightingFit FitBackgroundLighting(const Preview& preview, const Circle& disc,
                                  const Raster& picture) {
  std::vector<LightSample> samples;
  const double outside = disc.radius * kOutsideDisc + 2.0 * preview.step;
  // A smooth surface of six terms needs a few thousand samples, not every background pixel.
  const int32_t stride = std::max(1, preview.width / 64);
  for (int32_t y = 0; y < preview.height; y += stride) {
    for (int32_t x = 0; x < preview.width; x += stride) {
      const double px = static_cast<double>(x) * preview.step;
      const double py = static_cast<double>(y) * preview.step;
      if (DistanceFromCentre(disc, px, py) > outside)
        samples.push_back({px, py, static_cast<double>(Luma(preview.At(x, y)))});
    }
  }
  return FitLighting(std::move(samples), picture.width, picture.height);
}

// Counts of each byte value, and the value below which a share of them lies.
struct Histogram {
  std::array<int64_t, 256> counts{};
  int64_t total = 0;
  void Add(int value) {
    ++counts[static_cast<std::size_t>(value)];
    ++total;
  }
  int Percentile(double share) const {
    const auto wanted = static_cast<int64_t>(share * static_cast<double>(total - 1));
    int64_t seen = 0;
    for (int v = 0; v < 256; ++v) {
      seen += counts[static_cast<std::size_t>(v)];
      if (seen > wanted) return v;
    }
    return 255;
  }
};

struct Levels {
  int discRed = 0, discBlue = 0;
  int lightRed = 0, lightGreen = 0, lightBlue = 0;
};

// The disc's colour from its ring, the light's from the background (or, on a picture that the
// disc fills, from the brightest pixels of the ring: its holes), both as the copy will read them.
Levels MeasureLevels(const Preview& preview, const Circle& disc, const ReadingCopy& reading) {
  std::array<Histogram, 3> ring, background;
  const double outside = std::pow(disc.radius * kOutsideDisc + 2.0 * preview.step, 2);
  const double ringInner = std::pow(kRingInner * disc.radius, 2);
  const double ringOuter = std::pow(kRingOuter * disc.radius, 2);
  // Every other preview pixel: still tens of thousands of samples for a median.
  for (int32_t y = 0; y < preview.height; y += 2) {
    for (int32_t x = 0; x < preview.width; x += 2) {
      const int32_t px = x * preview.step, py = y * preview.step;
      const double dx = px - disc.centreX, dy = py - disc.centreY;
      const double d2 = dx * dx + dy * dy;
      auto* into = d2 > outside                         ? &background
                   : (d2 > ringInner && d2 < ringOuter) ? &ring
                                                        : nullptr;
      if (into == nullptr) continue;
      const uint32_t pixel = reading.EvenlyLit(preview.At(x, y), px, py);
      for (int c = 0; c < 3; ++c) (*into)[static_cast<std::size_t>(c)].Add(Channel(pixel, 8 * c));
    }
  }
  Levels levels;
  levels.discRed = ring[0].Percentile(0.5);
  levels.discBlue = ring[2].Percentile(0.5);
  // On a picture that the disc fills, the light is that of its holes, the brightest of the ring.
  const bool backgroundSeen = background[0].total >= kMinimumBackgroundSamples;
  const auto light = [&](int c) {
    return backgroundSeen ? background[static_cast<std::size_t>(c)].Percentile(0.5)
                          : ring[static_cast<std::size_t>(c)].Percentile(0.995);
  };
  levels.lightRed = light(0);
  levels.lightGreen = light(1);
  levels.lightBlue = light(2);
  return levels;
}

// Whether the picture, read as it is, has a dark pixel outside the disc where the outline
// search would take it for the disc's edge.
bool DarkOutside(const Raster& picture, const Circle& clear, int threshold) {
  const int32_t darkLimit = threshold * 65793;
  const int32_t xFirst = 2, xLast = picture.width - 3;
  for (int32_t y = 2; y <= picture.height - 3; ++y) {
    const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
    const double dy = y - clear.centreY;
    const double reach = clear.radius * clear.radius - dy * dy;
    if (reach <= 0.0) {
      if (FirstDarkUp(row, xFirst, xLast + 1, darkLimit) >= 0) return true;
      continue;
    }
    const double half = std::sqrt(reach);
    const int32_t left =
        std::clamp(static_cast<int32_t>(std::floor(clear.centreX - half)), xFirst - 1, xLast + 1);
    const int32_t right =
        std::clamp(static_cast<int32_t>(std::ceil(clear.centreX + half)), xFirst - 1, xLast + 1);
    if (left > xFirst && FirstDarkUp(row, xFirst, left, darkLimit) >= 0) return true;
    if (right < xLast && FirstDarkUp(row, right + 1, xLast + 1, darkLimit) >= 0) return true;
  }
  return false;
}

// The rim to a pixel: along rays from the centre, where the disc ends at the full resolution.
// Rays that dust or a hole at the rim lead astray fall out of the circle fit.
Circle RefineRim(const Raster& picture, const ReadingCopy& reading, const Circle& rough,
                 int32_t step, int threshold) {
  const int32_t darkLimit = threshold * 65793;
  const double reach = std::max(4.0, 3.0 * step);
  const int rays =
      std::clamp(static_cast<int>(2.0 * std::numbers::pi * rough.radius / 6.0), 64, 2048);
  std::vector<EdgeSample> samples;
  for (int i = 0; i < rays; ++i) {
    const double angle = 2.0 * std::numbers::pi * i / rays;
    const double dx = std::cos(angle), dy = std::sin(angle);
    bool inside = false;
    for (double t = rough.radius - reach; t <= rough.radius + reach; t += 0.5) {
      const auto x = static_cast<int32_t>(std::floor(rough.centreX + t * dx + 0.5));
      const auto y = static_cast<int32_t>(std::floor(rough.centreY + t * dy + 0.5));
      if (!picture.Contains(x, y)) break;
      const bool dark = IsDark(reading.EvenlyLit(picture.Pixel(x, y), x, y), darkLimit);
      if (dark) {
        inside = true;
      } else if (inside) {
        samples.push_back({rough.centreX + (t - 0.25) * dx, rough.centreY + (t - 0.25) * dy});
        break;
      }
    }
  }
  const CircleFit fit = FitCircle(std::move(samples), 1.0);
  return fit.found && fit.samplesKept > rays / 4 ? fit.circle : rough;
}

// Brightness between pixel centres, read as evenly lit.
double LumaBetween(const Raster& picture, const ReadingCopy& reading, double x, double y) {
  const auto x0 = static_cast<int32_t>(std::floor(x));
  const auto y0 = static_cast<int32_t>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto at = [&](int32_t px, int32_t py) {
    return static_cast<double>(Luma(reading.EvenlyLit(picture.Pixel(px, py), px, py)));
  };
  return (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0)) +
         fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
}

// How soft the rim is: the median distance, across it, from a quarter to three quarters of the
// way from the disc's brightness to the light's. A sharp, anti-aliased edge gives about half a
// pixel; optics that blur by a Gaussian of width sigma give 1.35 sigma.
double RimSoftness(const Raster& picture, const ReadingCopy& reading, const Circle& rim,
                   int darkLevel, int lightLevel) {
  constexpr int kRays = 360;
  constexpr double kStep = 0.25;
  const double reach = std::max(6.0, 0.01 * rim.radius);
  const double quarter = darkLevel + 0.25 * (lightLevel - darkLevel);
  const double threeQuarters = darkLevel + 0.75 * (lightLevel - darkLevel);
  std::vector<double> widths;
  for (int i = 0; i < kRays; ++i) {
    const double angle = 2.0 * std::numbers::pi * (i + 0.5) / kRays;
    const double dx = std::cos(angle), dy = std::sin(angle);
    double low = -1.0, high = -1.0;
    for (double t = rim.radius - reach; t <= rim.radius + reach; t += kStep) {
      const double x = rim.centreX + t * dx, y = rim.centreY + t * dy;
      if (!picture.Contains(static_cast<int32_t>(x), static_cast<int32_t>(y)) ||
          !picture.Contains(static_cast<int32_t>(x) + 1, static_cast<int32_t>(y) + 1)) {
        break;
      }
      const double luma = LumaBetween(picture, reading, x, y);
      if (low < 0 && luma > quarter) low = t;
      if (low >= 0 && luma > threeQuarters) {
        high = t;
        break;
      }
    }
    if (high >= 0) widths.push_back(high - low);
  }
  if (widths.size() < kRays / 4) return 0.0;
  std::nth_element(widths.begin(), widths.begin() + static_cast<long>(widths.size() / 2),
                   widths.end());
  return widths[widths.size() / 2];
}

// The share of the way from the disc's brightness to the light's at which a pixel counts as light.
// Half-way keeps a sharp hole its size; a blurred one loses its corners and ends there, which
// shortens it and moves its note point, so the threshold comes down with the blur.
double LightShare(double rimSoftnessPx, double pixelsPerMm) {
  constexpr double kSharpSoftnessPx = 0.8;  // what anti-aliasing and a little noise leave
  constexpr double kGaussianSoftness = 1.349;
  const double sharp = kSharpSoftnessPx / kGaussianSoftness;
  const double sigma = rimSoftnessPx / kGaussianSoftness;
  const double blurMm = std::sqrt(std::max(sigma * sigma - sharp * sharp, 0.0)) / pixelsPerMm;
  return std::clamp(0.5 - 0.6 * blurMm, 0.3, 0.5);
}

void FitHoleSizes(FittedSettings& fit) {
  const double pixelsPerMm = fit.pixelsPerMm / fit.reading.scale;
  const double pixelArea = pixelsPerMm * pixelsPerMm;
  fit.minimum = std::max(
      3, static_cast<int>(std::floor(kMinimumShareOfSmallest * kSmallestHoleAreaMm2 * pixelArea)));
  fit.maximum = std::clamp(
      static_cast<int>(std::ceil(kMaximumShareOfLargest * kLargestHoleAreaMm2 * pixelArea)),
      fit.minimum + 1, kMaxHolePixels - 1);
}

// What was measured on a picture decoded at 1/reduction of its file's resolution, in the file's
// pixels. The threshold and the levels stay: brightness does not change with the reduction, and
// the rim's softness was judged against the reduced picture's own pixels.
void InFilePixels(FittedSettings& fit, int reduction) {
  if (reduction == 1) return;
  ReadingPlan& plan = fit.reading;
  // A held pixel stands for the file pixel at the middle of its block.
  const double middle = 0.5 * (reduction - 1);
  fit.disc = {fit.disc.centreX * reduction + middle, fit.disc.centreY * reduction + middle,
              fit.disc.radius * reduction};
  fit.pixelsPerMm *= reduction;
  fit.rimSoftnessPx *= reduction;
  plan.lighting.width *= reduction;
  plan.lighting.height *= reduction;
}

}  // namespace

int LeastReadingScale(int32_t width, int32_t height) {
  const double leastPixelsPerMm = 0.5 * std::min(width, height) / DiscDiameterMm;
  return std::clamp(static_cast<int>(std::ceil(leastPixelsPerMm / kFinestReadPixelsPerMm)), 1,
                    kMaxReadingScale);
}

FittedSettings FitSettings(const Raster& picture, int pictureReduction) {
  FittedSettings fit;
  // Without a disc the picture is still read in the file's pixels.
  fit.reading.pictureReduction = std::max(pictureReduction, 1);
  const FittedSettings noDisc = fit;
  if (picture.width < 8 || picture.height < 8) return fit;
  const Preview preview = MakePreview(picture);

  // A first circle from the plain picture, good enough to tell background from disc.
  const double onGrid = 1.5 * preview.step;
  const auto plain = [&](int32_t x, int32_t y) { return Luma(preview.At(x, y)); };
  CircleFit circle =
      FitCircle(EdgeSamples(preview, SplitBrightness(preview, plain), plain), onGrid);
  if (!circle.found || circle.circle.radius < 8.0) return fit;

  ReadingPlan& plan = fit.reading;
  const LightingFit lighting = FitBackgroundLighting(preview, circle.circle, picture);
  if (lighting.fitted) {
    const LightingRange range = RangeOver(lighting.model, picture.width, picture.height);
    fit.lightingRatio =
        range.brightest > 0.0 ? std::max(range.darkest, 0.0) / range.brightest : 1.0;
    if (fit.lightingRatio < kEvenEnough) {
      plan.evenLighting = true;
      plan.lighting = lighting.model;
      plan.lightingTarget = std::min(range.brightest, 255.0);
      // Measured again on the evenly lit preview: the dark corner no longer bends the outline.
      const ReadingCopy evenly(plan);
      const auto evenlyLit = [&](int32_t x, int32_t y) {
        return Luma(evenly.EvenlyLit(preview.At(x, y), x * preview.step, y * preview.step));
      };
      const CircleFit again =
          FitCircle(EdgeSamples(preview, SplitBrightness(preview, evenlyLit), evenlyLit), onGrid);
      if (again.found) circle = again;
    }
  }
  const ReadingCopy evenly(plan);
  const Levels levels = MeasureLevels(preview, circle.circle, evenly);
  const int darkest = std::max(levels.discRed, levels.discBlue);
  const int lightest = std::min(levels.lightRed, levels.lightBlue);
  if (lightest - darkest < kMinimumContrast) return noDisc;
  fit.disc = circle.circle;
  fit.discFound = true;
  fit.discLevel = darkest;
  fit.lightLevel = lightest;
  fit.threshold = std::clamp((darkest + lightest) / 2, 0, 254);
  fit.disc = RefineRim(picture, evenly, fit.disc, preview.step, fit.threshold);
  fit.pixelsPerMm = fit.disc.radius / (0.5 * DiscDiameterMm);
  fit.rimSoftnessPx = RimSoftness(picture, evenly, fit.disc, darkest, lightest);
  fit.threshold = std::clamp(
      static_cast<int>(std::lround(darkest + LightShare(fit.rimSoftnessPx, fit.pixelsPerMm) *
                                                 (lightest - darkest))),
      0, 254);

  InFilePixels(fit, plan.pictureReduction);
  plan.scale = std::clamp(static_cast<int>(std::ceil(fit.pixelsPerMm / kFinestReadPixelsPerMm)), 1,
                          kMaxReadingScale);
  FitHoleSizes(fit);

  plan.clearCircle = fit.disc;
  // Close around the rim, so that dust just outside it is cleared too.
  plan.clearCircle.radius = fit.disc.radius + 2.0;
  plan.lightColour = static_cast<uint32_t>(levels.lightRed) |
                     static_cast<uint32_t>(levels.lightGreen) << 8 |
                     static_cast<uint32_t>(levels.lightBlue) << 16;
  if (plan.NeedsCopy()) {
    plan.clearOutside = true;  // free in a copy made anyway
  } else {
    fit.darkOutsideDisc = DarkOutside(picture, plan.clearCircle, fit.threshold);
    plan.clearOutside = fit.darkOutsideDisc;
  }
  return fit;
}

}  // namespace tivenor
