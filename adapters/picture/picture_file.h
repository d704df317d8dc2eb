#pragma once
// Reading and writing pictures through Qt's image codecs (QtGui only: no application needed).

#include <cstdint>
#include <string>

#include "engine/base/raster.h"

class QImage;

namespace tivenor {

// Pictures larger than this on either side, or with more pixels in all, are refused before
// decoding: 100 megapixels is a 120 mm disc scanned at over 2000 dpi.
inline constexpr int kMaxPictureSide = 46340;
inline constexpr int64_t kMaxPicturePixels = 100'000'000;

// Decodes a BMP (any depth, RLE, top-down) or PNG file, into the storage of `reuse` when it is
// large enough. Throws RunError naming the file.
Raster LoadPicture(const std::string& fileName, Raster reuse = {});
// True for a name ending in ".bmp", in any case.
bool IsBmpName(const std::string& fileName);
// Writes a BMP file for a name ending in ".bmp", else a PNG file, safely
// (engine/files/save_file.h); `what` names it in errors. Throws RunError naming the file.
void SavePicture(const Raster& raster, const std::string& fileName,
                 const std::string& what = "picture");

Raster RasterFromImage(const QImage& image);
QImage ImageFromRaster(const Raster& raster);
// Copies the part of the raster that fits into a 32-bit image, from the top-left corner.
void CopyRasterIntoImage(const Raster& raster, QImage& image);

}  // namespace tivenor
