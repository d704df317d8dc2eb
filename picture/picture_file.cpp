#include "picture/picture_file.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

#include "picture/bmp_check.h"
#include "picture/regular_file.h"
#include "analysis/run_error.h"

namespace tivenor {

namespace {

[[noreturn]] void ThrowPictureError(const std::string& fileName, const std::string& reason) {
  throw RunError("Cannot read picture \"" + fileName + "\": " + reason);
}

// 0xAARRGGBB (Qt) to 0x00BBGGRR (the engine's layout).
inline uint32_t FromQtPixel(QRgb pixel) {
  return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

}  // namespace

Raster LoadPicture(const std::string& fileName) {
  RequireRegularFile(fileName);
  QImageReader reader(QString::fromStdString(fileName));
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
                         int64_t{size.width()} * size.height() > kMaxPicturePixels)) {
    ThrowPictureError(fileName, "the picture is too large (" + std::to_string(size.width()) +
                                    " x " + std::to_string(size.height()) +
                                    " pixels; at most 100 megapixels are read)");
  }
  const std::string truncation = BmpTruncation(fileName);
  if (!truncation.empty()) ThrowPictureError(fileName, truncation);
  QImage image;
  if (!reader.read(&image)) {
    ThrowPictureError(fileName, reader.errorString().toStdString());
  }
  return RasterFromImage(image);
}

void SavePicturePng(const Raster& raster, const std::string& fileName) {
  QImageWriter writer(QString::fromStdString(fileName), "png");
  if (!writer.write(ImageFromRaster(raster))) {
    throw RunError("Cannot write picture \"" + fileName +
                   "\": " + writer.errorString().toStdString());
  }
}

Raster RasterFromImage(const QImage& source) {
  // Only 32-bit images are read directly; every other depth is converted first.
  const QImage image =
      (source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32)
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  Raster raster;
  raster.width = image.width();
  raster.height = image.height();
  raster.pixels.resize(static_cast<std::size_t>(raster.width) *
                       static_cast<std::size_t>(raster.height));
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint32_t* out = raster.pixels.data() + static_cast<std::size_t>(y) * raster.width;
    for (int x = 0; x < image.width(); ++x) out[x] = FromQtPixel(line[x]);
  }
  return raster;
}

QImage ImageFromRaster(const Raster& raster) {
  QImage image(raster.width, raster.height, QImage::Format_RGB32);
  for (int y = 0; y < raster.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint32_t* in = raster.pixels.data() + static_cast<std::size_t>(y) * raster.width;
    for (int x = 0; x < raster.width; ++x) line[x] = 0xFF000000u | FromQtPixel(in[x]);
  }
  return image;
}

}  // namespace tivenor
