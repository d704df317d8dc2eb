// tivenor-fuzz-seeds FOLDER: writes the fuzzer's seed corpus, one small disc picture in every
// layout the picture reader takes (BMP of 1, 4, 8, 16, 24 and 32 bits, RLE4, RLE8, bit fields,
// the OS/2 header, top-down, PNG), and a rendered disc in the compact layouts.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "engine/base/raster.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace {

using tivenor::Raster;
using tivenor::testing::BmpFormat;

constexpr uint32_t kDark = 0x00232628;
constexpr uint32_t kLight = 0x00DCE2E4;

// A 48-pixel disc drawn by hand: small enough for fast fuzzing, with holes of the default sizes
// in its ring so that a seed reaches the transcription and the MIDI bytes.
Raster MiniDisc() {
  constexpr int kSide = 48;
  Raster raster;
  raster.Resize(kSide, kSide, kLight);
  tivenor::FillEllipse(raster, 2, 2, 46, 46, kDark);
  tivenor::FillEllipse(raster, 22, 22, 26, 26, kLight);
  for (int hole = 0; hole < 12; ++hole) {
    const double angle = 0.4 + hole * 0.45;
    const double radius = 8.0 + (hole % 3) * 4.0;
    const int x = static_cast<int>(24 + radius * std::cos(angle));
    const int y = static_cast<int>(24 - radius * std::sin(angle));
    tivenor::FillEllipse(raster, x - 2, y - 3, x + 2, y + 3, kLight);
  }
  return raster;
}

void Put16(std::vector<uint8_t>& bytes, uint32_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& bytes, uint32_t value) {
  Put16(bytes, value & 0xFFFFu);
  Put16(bytes, value >> 16);
}

uint8_t Channel(uint32_t pixel, int shift) {
  return static_cast<uint8_t>(pixel >> shift);
}

// BI_BITFIELDS: 16 bits as 5-6-5, or 32 bits with the channels in an unusual order.
std::vector<uint8_t> BitFieldsBmp(const Raster& raster, int bits) {
  const uint32_t masks16[] = {0xF800, 0x07E0, 0x001F};
  const uint32_t masks32[] = {0x0000FF00, 0x00FF0000, 0xFF000000};
  const uint32_t* masks = bits == 16 ? masks16 : masks32;
  const uint32_t rowBytes = ((raster.width * bits + 31) / 32) * 4;
  const uint32_t offset = 14 + 40 + 12;
  std::vector<uint8_t> bytes = {'B', 'M'};
  Put32(bytes, offset + rowBytes * raster.height);
  Put32(bytes, 0);
  Put32(bytes, offset);
  Put32(bytes, 40);
  Put32(bytes, raster.width);
  Put32(bytes, raster.height);
  Put16(bytes, 1);
  Put16(bytes, bits);
  Put32(bytes, 3);
  Put32(bytes, rowBytes * raster.height);
  Put32(bytes, 2835);
  Put32(bytes, 2835);
  Put32(bytes, 0);
  Put32(bytes, 0);
  for (int k = 0; k < 3; ++k) Put32(bytes, masks[k]);
  for (int y = raster.height - 1; y >= 0; --y) {
    const size_t rowStart = bytes.size();
    for (int x = 0; x < raster.width; ++x) {
      const uint32_t p = raster.Pixel(x, y);
      const uint32_t r = Channel(p, 0), g = Channel(p, 8), b = Channel(p, 16);
      if (bits == 16) {
        Put16(bytes, ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
      } else {
        Put32(bytes, (r << 8) | (g << 16) | (b << 24));
      }
    }
    bytes.resize(rowStart + rowBytes, 0);
  }
  return bytes;
}

// The OS/2 1.x header (BITMAPCOREHEADER): 16-bit sizes, 24 bits per pixel.
std::vector<uint8_t> Os2Bmp(const Raster& raster) {
  const uint32_t rowBytes = ((raster.width * 24 + 31) / 32) * 4;
  const uint32_t offset = 14 + 12;
  std::vector<uint8_t> bytes = {'B', 'M'};
  Put32(bytes, offset + rowBytes * raster.height);
  Put32(bytes, 0);
  Put32(bytes, offset);
  Put32(bytes, 12);
  Put16(bytes, raster.width);
  Put16(bytes, raster.height);
  Put16(bytes, 1);
  Put16(bytes, 24);
  for (int y = raster.height - 1; y >= 0; --y) {
    const size_t rowStart = bytes.size();
    for (int x = 0; x < raster.width; ++x) {
      const uint32_t p = raster.Pixel(x, y);
      bytes.push_back(Channel(p, 16));
      bytes.push_back(Channel(p, 8));
      bytes.push_back(Channel(p, 0));
    }
    bytes.resize(rowStart + rowBytes, 0);
  }
  return bytes;
}

void WriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tivenor-fuzz-seeds FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  try {
    const Raster mini = MiniDisc();
    for (const BmpFormat format : tivenor::testing::kAllBmpFormats) {
      tivenor::testing::WriteBmp(
          mini, format,
          folder + "mini-" + std::string(tivenor::testing::BmpFormatName(format)) + ".bmp");
    }
    WriteFile(folder + "mini-bitfields16.bmp", BitFieldsBmp(mini, 16));
    WriteFile(folder + "mini-bitfields32.bmp", BitFieldsBmp(mini, 32));
    WriteFile(folder + "mini-os2.bmp", Os2Bmp(mini));
    tivenor::SavePicture(mini, folder + "mini.png");

    // A disc as the renderer draws it, in the layouts that keep it small.
    tivenor::testing::DiscOptions options = tivenor::testing::SampleDiscOptions();
    options.dpi = 100.0;
    options.noise = 0;
    options.supersampling = 1;
    const Raster disc = tivenor::testing::RenderDisc(tivenor::testing::SampleMelody(), options);
    tivenor::testing::WriteBmp(disc, BmpFormat::Rle8, folder + "disc-rle8.bmp");
    tivenor::testing::WriteBmp(disc, BmpFormat::Palette1, folder + "disc-palette1.bmp");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tivenor-fuzz-seeds: %s\n", error.what());
    return 1;
  }
  return 0;
}
