#pragma once
// Writes a disc layout to a file whose kind its extension names: SVG and PDF at true scale,
// PNG and BMP as a picture at a resolution, like a scan.

#include <optional>
#include <stdexcept>
#include <string>

#include "adapters/paint/paint_disc.h"

namespace tivenor {

struct DiscLayout;

enum class DiscFileKind { kSvg, kPdf, kPng, kBmp };

// By the extension, in any letter case; nothing for an extension the maker cannot write.
std::optional<DiscFileKind> DiscFileKindOf(const std::string& fileName);

class DiscFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Pixel side of a picture of the built-in disc's page, or of the layout's, at `dpi`.
int PicturePixels(double dpi);
int PicturePixels(const DiscLayout& layout, double dpi);

// Paints the disc and writes it through FileSaver (engine/files/save_file.h), so a failed write
// leaves an existing file as it was. Throws DiscFileError when painting fails, RunError naming
// the file when writing does.
void WriteDiscFile(const DiscLayout& layout, const std::string& fileName, DiscFileKind kind,
                   const DiscLook& look, double dpi);

}  // namespace tivenor
