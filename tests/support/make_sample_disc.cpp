// Draws the bundled sample disc and writes it as a 24-bit BMP.
//   tivenor-make-sample [OUTPUT.bmp]     (default: samples/twinkle.bmp)

#include <exception>
#include <iostream>
#include <string>

#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

int main(int argc, char** argv) {
  using namespace tivenor::testing;
  if (argc > 2) {
    std::cerr << "usage: tivenor-make-sample [OUTPUT.bmp]\n";
    return 2;
  }
  const std::string output = argc == 2 ? argv[1] : "samples/twinkle.bmp";
  try {
    const auto notes = SampleMelody();
    const tivenor::Raster picture = RenderDisc(notes, SampleDiscOptions());
    WriteBmp(picture, BmpFormat::Rgb24, output);
    std::cout << output << ": " << picture.width << " x " << picture.height << " pixels, "
              << notes.size() << " notes\n";
  } catch (const std::exception& error) {
    std::cerr << "tivenor-make-sample: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
