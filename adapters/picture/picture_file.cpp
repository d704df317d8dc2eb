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

#include "adapters/picture/bmp_check.h"
#include "adapters/picture/bmp_header.h"
#include "adapters/picture/direct_bmp.h"
#include "adapters/picture/read_only_file.h"
#include "adapters/picture/regular_file.h"
#include "engine/base/run_error.h"
#include "engine/files/save_file.h"

namespace tivenor {

namespace {

// What Qt's reader says of a missing file; said here too, now that the file is opened here.
constexpr const char* kFileNotFound = "File not found";

[[noreturn]] void ThrowPictureError(const std::string& fileName, const std::string& reason) {
  throw RunError("Cannot read picture \"" + fileName + "\": " + reason);
}

void CheckPictureSize(const std::string& fileName, int64_t width, int64_t height) {
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    ThrowPictureError(fileName, "the picture is too large (" + std::to_string(width) + " x " +
                                    std::to_string(height) +
                                    " pixels; at most 100 megapixels are read)");
  }
}

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

// The layouts scanners write, read without Qt; false for every other file.
bool ReadDirectly(const std::string& fileName, Raster& into) {
  const ReadOnlyFile file(fileName);
  if (!file.IsOpen() || file.Size() == 0) return false;
  uint8_t head[kBmpLongestHeaders] = {};
  std::size_t headSize = 0;
  try {
    headSize = file.ReadAt(0, head, sizeof head);
  } catch (const std::exception&) {
    return false;  // Qt's reader says what is wrong
  }
  BmpHeader header;
  if (ReadBmpHeader(head, headSize, header) != BmpHeaderRead::Read || !IsDirectBmp(header))
    return false;

  CheckPictureSize(fileName, header.width, header.height);
  const std::string truncation = BmpTruncation(head, headSize, file.Size());
  if (!truncation.empty()) ThrowPictureError(fileName, truncation);
  try {
    ReadDirectBmp(file, header, into);
  } catch (const std::exception& error) {
    ThrowPictureError(fileName, error.what());
  }
  return true;
}

}  // namespace

Raster LoadPicture(const std::string& fileName, Raster reuse) {
  RequireRegularFile(fileName);
  if (ReadDirectly(fileName, reuse)) return reuse;

  // Opened here, by its bytes: Qt would take the name for UTF-8 and miss a file named otherwise.
  const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    ThrowPictureError(fileName, errno == ENOENT ? kFileNotFound : std::strerror(errno));
  }
  QFile file;
  file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
  QImageReader reader(&file);
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  if (size.isValid()) CheckPictureSize(fileName, size.width(), size.height());
  const std::string truncation = BmpTruncation(fileName);
  if (!truncation.empty()) ThrowPictureError(fileName, truncation);
  QImage image;
  if (!reader.read(&image)) {
    ThrowPictureError(fileName, reader.errorString().toStdString());
  }
  CopyImage(image, reuse);
  return reuse;
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
