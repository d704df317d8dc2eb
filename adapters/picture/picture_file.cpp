#include "adapters/picture/picture_file.h"

#include <cctype>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "adapters/jpeg_file/jpeg_file.h"
#include "adapters/picture/bmp_check.h"
#include "adapters/picture/bmp_header.h"
#include "adapters/picture/direct_bmp.h"
#include "adapters/picture/opened_picture.h"
#include "adapters/picture/picture_checks.h"
#include "adapters/picture/picture_orientation.h"
#include "adapters/picture/regular_file.h"
#include "adapters/tiff_file/tiff_file.h"
#include "engine/base/box_reduction.h"
#include "engine/base/run_error.h"
#include "engine/files/save_file.h"

namespace tivenor {

namespace {

// Qt's decoders hold the decoded picture, possibly at 16 bits a channel, and its 32-bit
// conversion beside the raster.
constexpr uint64_t kQtBytesPerPixel = 4 + 8 + 4;

// 0xAARRGGBB (Qt) to 0x00BBGGRR (the engine's layout).
inline uint32_t FromQtPixel(QRgb pixel) {
  return ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

void CopyImage(const QImage& source, Raster& into) {
  // Only 32-bit images are read directly; every other depth is converted first.
  const QImage image =
      (source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32)
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const int height = image.height();
  into.ResizeForOverwrite(width, height);
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint32_t* out =
        into.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) out[x] = FromQtPixel(line[x]);
  }
}

// The layouts scanners write, read without Qt; false for every other BMP.
bool ReadDirectly(const OpenedPicture& opened, Raster& into) {
  BmpHeader header;
  if (ReadBmpHeader(opened.head, opened.headSize, header) != BmpHeaderRead::kRead ||
      !IsDirectBmp(header)) {
    return false;
  }
  CheckPictureSides(opened.name, header.width, header.height);
  const std::string truncation = BmpTruncation(opened.head, opened.headSize, opened.file.Size());
  if (!truncation.empty()) ThrowPictureError(opened.name, truncation);
  const MemoryClaim claim = ClaimMemory(opened.name, header.width, header.height,
                                        PixelCount(header.width, header.height) * sizeof(uint32_t));
  try {
    ReadDirectBmp(opened.file, header, into);
  } catch (const std::exception& error) {
    ThrowPictureError(opened.name, error.what());
  }
  return true;
}

// Pictures are as large as the memory allows, not as Qt's default of 256 MB does: each is
// checked against the memory before Qt decodes it.
void LiftQtAllocationLimit() {
  static const bool lifted = [] {
    QImageReader::setAllocationLimit(0);
    return true;
  }();
  (void)lifted;
}

void ReadWithQt(const OpenedPicture& opened, Raster& into) {
  LiftQtAllocationLimit();
  // Opened here, by its bytes: Qt would take the name for UTF-8 and miss a file named otherwise.
  const int descriptor = ::open(opened.name.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) ThrowPictureError(opened.name, std::strerror(errno));
  QFile file;
  file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
  QImageReader reader(&file);
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  if (size.isValid()) CheckPictureSides(opened.name, size.width(), size.height());
  // A picture whose size Qt cannot tell claims nothing: Qt finds out what it needs as it reads.
  const MemoryClaim claim =
      ClaimMemory(opened.name, size.width(), size.height(),
                  size.isValid() ? PixelCount(size.width(), size.height()) * kQtBytesPerPixel : 0);
  const std::string truncation = BmpTruncation(opened.name);
  if (!truncation.empty()) ThrowPictureError(opened.name, truncation);
  QImage image;
  if (!reader.read(&image)) ThrowPictureError(opened.name, reader.errorString().toStdString());
  CopyImage(image, into);
}

// Qt reads a JPEG's EXIF orientation from its header without decoding it.
Orientation JpegOrientation(const std::string& fileName) {
  QImageReader reader(QString::fromStdString(fileName), "jpeg");
  const QImageIOHandler::Transformations turn = reader.transformation();
  return {turn.testFlag(QImageIOHandler::TransformationMirror),
          turn.testFlag(QImageIOHandler::TransformationFlip),
          turn.testFlag(QImageIOHandler::TransformationRotate90)};
}

// What a library adapter found wrong, with the file's name.
template <typename Read>
auto Reading(const std::string& fileName, Read read) {
  try {
    return read();
  } catch (const std::runtime_error& error) {
    ThrowPictureError(fileName, error.what());
  }
}

// Decoded at the reduction the decoder offers, turned upright, within the memory.
template <typename Decode>
ReducedPicture ReadReduced(const OpenedPicture& opened, int32_t width, int32_t height,
                           int reduction, Orientation orientation, uint64_t decoderBytes,
                           Raster reuse, Decode decode) {
  const int32_t heldWidth = ReducedSize(width, reduction);
  const int32_t heldHeight = ReducedSize(height, reduction);
  CheckPictureSides(opened.name, heldWidth, heldHeight);
  const uint64_t held = PixelCount(heldWidth, heldHeight) * sizeof(uint32_t);
  const MemoryClaim claim = ClaimMemory(opened.name, width, height,
                                        held + (orientation.quarterTurn ? held : 0) + decoderBytes);
  Reading(opened.name, [&] {
    decode(reuse);
    return true;
  });
  Raster spare;
  TurnUpright(reuse, orientation, spare);
  return {std::move(reuse), reduction};
}

ReducedPicture ReadJpeg(const OpenedPicture& opened, int wanted, Raster reuse) {
  const JpegHeader header = Reading(opened.name, [&] { return ReadJpegHeader(opened.name); });
  CheckDataLength(opened.name, header.width, header.height, header.leastDataBytes,
                  opened.file.Size());
  const int reduction = JpegReduction(wanted);
  return ReadReduced(opened, header.width, header.height, reduction, JpegOrientation(opened.name),
                     header.decoderBytes, std::move(reuse),
                     [&](Raster& into) { DecodeJpeg(opened.name, reduction, into); });
}

ReducedPicture ReadTiff(const OpenedPicture& opened, int wanted, Raster reuse) {
  const TiffHeader header = Reading(opened.name, [&] { return ReadTiffHeader(opened.name); });
  CheckDataLength(opened.name, header.width, header.height, header.leastDataBytes,
                  opened.file.Size());
  const int reduction = std::clamp(wanted, 1, kMaxBoxReduction);
  return ReadReduced(opened, header.width, header.height, reduction,
                     OrientationFromTag(header.orientation), header.decoderBytes, std::move(reuse),
                     [&](Raster& into) { DecodeTiff(opened.name, reduction, into); });
}

}  // namespace

PictureSize ReadPictureSize(const std::string& fileName) {
  RequireRegularFile(fileName);
  const OpenedPicture opened(fileName);
  switch (opened.type) {
    case PictureType::kJpeg: {
      const JpegHeader header = Reading(fileName, [&] { return ReadJpegHeader(fileName); });
      return {header.width, header.height};
    }
    case PictureType::kTiff: {
      const TiffHeader header = Reading(fileName, [&] { return ReadTiffHeader(fileName); });
      return {header.width, header.height};
    }
    default: {
      const QSize size = QImageReader(QString::fromStdString(fileName)).size();
      return {std::max(size.width(), 0), std::max(size.height(), 0)};
    }
  }
}

ReducedPicture LoadReducedPicture(const std::string& fileName, int reduction, Raster reuse) {
  RequireRegularFile(fileName);
  const OpenedPicture opened(fileName);
  switch (opened.type) {
    case PictureType::kJpeg:
      return ReadJpeg(opened, reduction, std::move(reuse));
    case PictureType::kTiff:
      return ReadTiff(opened, reduction, std::move(reuse));
    default:
      if (opened.type != PictureType::kBmp || !ReadDirectly(opened, reuse))
        ReadWithQt(opened, reuse);
      return {std::move(reuse), 1};
  }
}

Raster LoadPicture(const std::string& fileName, Raster reuse) {
  return LoadReducedPicture(fileName, 1, std::move(reuse)).picture;
}

bool IsBmpName(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return false;
  std::string suffix = fileName.substr(dot + 1);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return suffix == "bmp";
}

void SavePicture(const Raster& raster, const std::string& fileName, const std::string& what) {
  FileSaver saver({fileName, what});
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, IsBmpName(fileName) ? "bmp" : "png");
  // Qt's quality 80 is zlib's fastest level: a 600 dpi marked picture takes a sixth of the
  // default's time for a file a tenth larger, and PNG stays lossless either way.
  writer.setQuality(80);
  if (!writer.write(ImageFromRaster(raster))) {
    throw RunError("Cannot write picture \"" + fileName +
                   "\": " + writer.errorString().toStdString());
  }
  saver.Save({bytes.constData(), static_cast<std::size_t>(bytes.size())});
}

Raster RasterFromImage(const QImage& image) {
  Raster raster;
  CopyImage(image, raster);
  return raster;
}

QImage ImageFromRaster(const Raster& raster) {
  QImage image(raster.width, raster.height, QImage::Format_RGB32);
  CopyRasterIntoImage(raster, image);
  return image;
}

void CopyRasterIntoImage(const Raster& raster, QImage& image) {
  const int width = std::min(raster.width, image.width());
  const int height = std::min(raster.height, image.height());
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint32_t* in =
        raster.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width);
    for (int x = 0; x < width; ++x) line[x] = 0xFF000000u | FromQtPixel(in[x]);
  }
}

}  // namespace tivenor
