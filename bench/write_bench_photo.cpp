// Writes the large pictures the picture-file benchmarks time, for timing whole processes on
// them:
//   tivenor-bench-photo jpeg WIDTH HEIGHT OUTPUT.jpg      a photograph, JPEG quality 85
//   tivenor-bench-photo progressive WIDTH HEIGHT OUTPUT.jpg  the same as a progressive JPEG
//   tivenor-bench-photo tiff SIDE COMPRESSION OUTPUT.tif  a scan, 16 bits per channel;
//                                                         COMPRESSION none, lzw or deflate

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "bench/photo_like.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/tiff_writer.h"

namespace {

tivenor::testing::TiffCompression CompressionNamed(const std::string& name) {
  using tivenor::testing::TiffCompression;
  if (name == "none") return TiffCompression::None;
  if (name == "lzw") return TiffCompression::Lzw;
  if (name == "deflate") return TiffCompression::Deflate;
  throw std::invalid_argument("compression none, lzw or deflate");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tivenor;
  const std::string kind = argc > 1 ? argv[1] : "";
  if (argc != 5 || (kind != "jpeg" && kind != "progressive" && kind != "tiff")) {
    std::fputs(
        "usage: tivenor-bench-photo jpeg|progressive WIDTH HEIGHT OUTPUT.jpg\n"
        "       tivenor-bench-photo tiff SIDE none|lzw|deflate OUTPUT.tif\n",
        stderr);
    return 2;
  }
  try {
    if (kind != "tiff") {
      const Raster photo = bench::PhotoLikeDisc(std::stoi(argv[2]), std::stoi(argv[3]));
      testing::WriteJpeg(photo, {85, kind == "progressive", 0}, argv[4]);
    } else {
      const Raster scan = bench::ScanOfSide(std::stoi(argv[2]));
      testing::WriteTiff(scan, {testing::TiffLayout::Rgb16, CompressionNamed(argv[3])}, argv[4]);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tivenor-bench-photo: %s\n", error.what());
    return 1;
  }
  return 0;
}
