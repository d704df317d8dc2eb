#pragma once
// Reading and writing picture files. BMP and PNG go through Qt's codecs (QtGui only: no
// application needed), with the layouts scanners write read directly; JPEG and TIFF go through
// their own libraries, which can decode a picture at a lower resolution than its file's. Any
// picture the memory holds is read (see picture_checks.h); the types read are named in
// opened_picture.h.

#include <cstdint>
#include <string>

#include "engine/base/raster.h"

class QImage;

namespace tivenor {

struct PictureSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The size of the picture in the file, from its header. Throws RunError as LoadPicture does
// when the file is no picture it reads.
PictureSize ReadPictureSize(const std::string& fileName);

struct ReducedPicture {
  Raster picture;
  int reduction = 1;  // each pixel the mean of reduction x reduction pixels of the file
};

// Decodes a picture at 1/`reduction` of its resolution where its type can decode it so: JPEG
// at 1/1, 1/2, 1/4 or 1/8 (the largest not above `reduction`), TIFF at any reduction up to 16.
// BMP and PNG are decoded whole. Turned upright as its file says. Reuses the storage of
// `reuse` when it is large enough. Throws RunError naming the file.
ReducedPicture LoadReducedPicture(const std::string& fileName, int reduction, Raster reuse = {});
// The same, whole.
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
