// Writes a photo-like picture of a disc, for looking at by eye and for trying the reader by hand.
//   tivenor-make-photo OUTPUT.jpg|OUTPUT.png [--backlit] [--megapixels N] [--tilt DEG]
//                      [--axis DEG] [--turn DEG] [--seed N] [--built-in]
// Without --built-in the disc is a 33 cm, 24-track organette disc with slots of random notes and
// a label; with it, the bundled sample disc of 114 mm.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <exception>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "tests/support/disc_renderer.h"
#include "tests/support/photo_file.h"
#include "tests/support/photo_look.h"
#include "tests/support/photo_texture.h"
#include "tests/support/sample_melody.h"

namespace {

using namespace tivenor::testing;

struct Arc {
  double from = 0.0;  // degrees
  double to = 0.0;
};

// A clean organette disc: dark, its 24 tracks holding slots of random lengths, light elsewhere.
tivenor::Raster OrganetteDisc(double rimPx, uint32_t seed, CleanDisc& disc) {
  constexpr int kTracks = 24;
  constexpr double kFirst = 0.4195, kPitch = 0.02374, kHalfWidth = 0.0105, kCentreHole = 0.02;
  std::vector<std::vector<Arc>> slots(kTracks);
  for (int t = 0; t < kTracks; ++t) {
    double at = 3.3 + static_cast<double>(tivenor::testing::HashBits(t, 0, seed) % 300) / 10.0;
    for (uint64_t n = 1; at < 350.0; ++n) {
      const double length = 1.5 + static_cast<double>(HashBits(t, n, seed) % 150) / 10.0;
      slots[static_cast<std::size_t>(t)].push_back({at, std::min(at + length, 356.0)});
      at += length + 2.0 + static_cast<double>(HashBits(t, n + 500, seed) % 400) / 10.0;
    }
  }
  const auto side = static_cast<int32_t>(std::ceil(2.0 * rimPx * 1.04));
  disc = {(side - 1) * 0.5, (side - 1) * 0.5, rimPx, 0.378};
  tivenor::Raster clean;
  clean.Resize(side, side, 0x00E0E0E0u);
  // Light where open, with the edges' coverage in pixels so that scaling keeps them smooth.
  const auto inside = [](double marginPx) { return std::clamp(marginPx + 0.5, 0.0, 1.0); };
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const double u = (x - disc.centreX) / rimPx, v = (disc.centreY - y) / rimPx;
      const double r = std::hypot(u, v);
      double open = std::max(inside((r - 1.0) * rimPx), inside((kCentreHole - r) * rimPx));
      const long track = std::lround((r - kFirst) / kPitch);
      if (track >= 0 && track < kTracks) {
        const double across =
            kHalfWidth - std::abs(r - (kFirst + static_cast<double>(track) * kPitch));
        double degrees = std::atan2(v, u) * 180.0 / std::numbers::pi;
        // The slots are laid out from the start line at 90 degrees, counter-clockwise.
        const double fromStart = std::fmod(degrees - 90.0 + 720.0, 360.0);
        const double pxPerDegree = r * rimPx * std::numbers::pi / 180.0;
        for (const Arc& arc : slots[static_cast<std::size_t>(track)]) {
          const double along = std::min(fromStart - arc.from, arc.to - fromStart) * pxPerDegree;
          open = std::max(open, std::min(inside(across * rimPx), inside(along)));
        }
      }
      const auto level = static_cast<uint32_t>(std::lround(0x28 + (0xE0 - 0x28) * open));
      clean.SetPixel(x, y, level * 0x010101u);
    }
  }
  return clean;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0].starts_with("--")) {
    std::cerr << "usage: tivenor-make-photo OUTPUT.jpg|OUTPUT.png [--backlit] [--megapixels N]"
                 " [--tilt DEG] [--axis DEG] [--turn DEG] [--seed N] [--built-in]\n";
    return 2;
  }
  try {
    PhotoOptions options;
    double megapixels = 24.0;
    bool builtIn = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
      const auto value = [&]() {
        if (i + 1 >= args.size()) throw std::invalid_argument(args[i] + " needs a value");
        return std::stod(args[++i]);
      };
      if (args[i] == "--backlit") {
        options.lighting = Lighting::kBacklit;
      } else if (args[i] == "--built-in") {
        builtIn = true;
      } else if (args[i] == "--megapixels") {
        megapixels = value();
      } else if (args[i] == "--tilt") {
        options.camera.tiltDegrees = value();
      } else if (args[i] == "--axis") {
        options.camera.tiltAxisDegrees = value();
      } else if (args[i] == "--turn") {
        options.camera.turnDegrees = value();
      } else if (args[i] == "--seed") {
        options.seed = static_cast<uint32_t>(value());
      } else {
        throw std::invalid_argument("unknown option " + args[i]);
      }
    }
    const CameraOptions size = CameraOfMegapixels(megapixels);
    options.camera.width = size.width;
    options.camera.height = size.height;
    const double rimPx = 0.45 * std::min(size.width, size.height);

    const auto start = std::chrono::steady_clock::now();
    tivenor::Raster clean;
    CleanDisc disc;
    if (builtIn) {
      DiscOptions discOptions = SampleDiscOptions();
      // Half the photo's scale (the photo sharpens the edges again), at least what the renderer
      // needs to keep the tracks apart.
      discOptions.dpi = std::max(150.0, rimPx / 57.0 * 25.4 / 2.0);
      clean = RenderDisc(SampleMelody(), discOptions);
      disc = CleanDiscOf(clean, discOptions);
      disc.labelRadius = 0.2;
    } else {
      clean = OrganetteDisc(rimPx / 2.0, options.seed, disc);
      options.driveHoles = 4;
    }
    const auto drawn = std::chrono::steady_clock::now();
    const std::clock_t processorBefore = std::clock();
    const Photo photo = MakePhoto(clean, disc, options);
    const double processorMs =
        1000.0 * static_cast<double>(std::clock() - processorBefore) / CLOCKS_PER_SEC;
    const auto made = std::chrono::steady_clock::now();
    WritePhoto(photo.picture, args[0]);
    const auto written = std::chrono::steady_clock::now();
    const auto ms = [](auto from, auto to) {
      return std::chrono::duration<double, std::milli>(to - from).count();
    };
    const PhotoTruth& t = photo.truth;
    std::cout << args[0] << ": " << photo.picture.width << " x " << photo.picture.height
              << "; clean disc " << ms(start, drawn) << " ms, photo " << ms(drawn, made) << " ms ("
              << processorMs << " ms of processor time), file " << ms(made, written) << " ms\n"
              << "disc centre " << t.discCentre.x << ", " << t.discCentre.y
              << "; rim ellipse centre " << t.rimEllipseCentre.x << ", " << t.rimEllipseCentre.y
              << "; start line " << t.startLineDegrees << " degrees, from " << t.startLineInner.x
              << ", " << t.startLineInner.y << " to " << t.startLineOuter.x << ", "
              << t.startLineOuter.y << "\n";
  } catch (const std::exception& error) {
    std::cerr << "tivenor-make-photo: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
