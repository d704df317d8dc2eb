#include "tests/support/jpeg_writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QTransform>

#include <fstream>
#include <stdexcept>

namespace tivenor::testing {

namespace {

QImage ToImage(const Raster& raster) {
  QImage image(raster.width, raster.height, QImage::Format_RGB32);
  for (int32_t y = 0; y < raster.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < raster.width; ++x) {
      const uint32_t pixel = raster.Pixel(x, y);
      line[x] = qRgb(static_cast<int>(pixel & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                     static_cast<int>((pixel >> 16) & 0xFF));
    }
  }
  return image;
}

Raster FromImage(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  Raster raster;
  raster.Resize(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      raster.SetPixel(x, y,
                      static_cast<uint32_t>(qRed(line[x])) |
                          static_cast<uint32_t>(qGreen(line[x])) << 8 |
                          static_cast<uint32_t>(qBlue(line[x])) << 16);
    }
  }
  return raster;
}

// An APP1 segment holding EXIF with one entry, the orientation, in little-endian TIFF order.
QByteArray ExifOrientationSegment(int orientation) {
  const unsigned char segment[] = {0xFF,
                                   0xE1,
                                   0x00,
                                   34,  // APP1 and its length
                                   'E',
                                   'x',
                                   'i',
                                   'f',
                                   0,
                                   0,  // EXIF's signature
                                   'I',
                                   'I',
                                   42,
                                   0,
                                   8,
                                   0,
                                   0,
                                   0,  // TIFF header, first directory at 8
                                   1,
                                   0,  // one entry
                                   0x12,
                                   0x01,
                                   3,
                                   0,
                                   1,
                                   0,
                                   0,
                                   0,  // Orientation, SHORT, one value
                                   static_cast<unsigned char>(orientation),
                                   0,
                                   0,
                                   0,  // its value
                                   0,
                                   0,
                                   0,
                                   0};  // no next directory
  return QByteArray(reinterpret_cast<const char*>(segment), sizeof segment);
}

}  // namespace

void WriteJpeg(const Raster& raster, const JpegOptions& options, const std::string& fileName) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(options.quality);
  writer.setProgressiveScanWrite(options.progressive);
  if (!writer.write(ToImage(raster))) throw std::runtime_error("cannot encode " + fileName);
  // Right after the start-of-image marker, where readers look for it.
  if (options.orientation != 0) bytes.insert(2, ExifOrientationSegment(options.orientation));
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(bytes.constData(), bytes.size());
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

Raster StoredForOrientation(const Raster& upright, int orientation) {
  // What the tag says to do, undone: Qt's mirror and turns on the upright picture.
  const QImage image = ToImage(upright);
  switch (orientation) {
    case 2:
      return FromImage(image.mirrored(true, false));
    case 3:
      return FromImage(image.transformed(QTransform().rotate(180)));
    case 4:
      return FromImage(image.mirrored(false, true));
    case 5:
      return FromImage(image.transformed(QTransform().rotate(-90)).mirrored(false, true));
    case 6:
      return FromImage(image.transformed(QTransform().rotate(-90)));
    case 7:
      return FromImage(image.transformed(QTransform().rotate(-90)).mirrored(true, false));
    case 8:
      return FromImage(image.transformed(QTransform().rotate(90)));
    default:
      return upright;
  }
}

Raster UprightForOrientation(const Raster& stored, int orientation) {
  const QImage image = ToImage(stored);
  switch (orientation) {
    case 2:
      return FromImage(image.mirrored(true, false));
    case 3:
      return FromImage(image.transformed(QTransform().rotate(180)));
    case 4:
      return FromImage(image.mirrored(false, true));
    case 5:
      return FromImage(image.mirrored(false, true).transformed(QTransform().rotate(90)));
    case 6:
      return FromImage(image.transformed(QTransform().rotate(90)));
    case 7:
      return FromImage(image.mirrored(true, false).transformed(QTransform().rotate(90)));
    case 8:
      return FromImage(image.transformed(QTransform().rotate(-90)));
    default:
      return stored;
  }
}

}  // namespace tivenor::testing
