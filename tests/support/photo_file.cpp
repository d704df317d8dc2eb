#include "tests/support/photo_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <stdexcept>

namespace tivenor::testing {
namespace {

// The raster's 0x00BBGGRR words are the bytes R, G, B, x: Qt's RGBX8888, shared without a copy.
QImage ImageOf(const Raster& picture) {
  return QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                picture.height, static_cast<qsizetype>(picture.width) * 4, QImage::Format_RGBX8888);
}

bool EndsWith(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    const char c = text[text.size() - end.size() + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != end[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Raster& picture, int quality) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(quality);
  if (!writer.write(ImageOf(picture))) {
    throw std::runtime_error("cannot encode JPEG: " + writer.errorString().toStdString());
  }
  return {bytes.begin(), bytes.end()};
}

void WritePhoto(const Raster& picture, const std::string& fileName, int jpegQuality) {
  const bool jpeg = EndsWith(fileName, ".jpg") || EndsWith(fileName, ".jpeg");
  if (!jpeg && !EndsWith(fileName, ".png")) {
    throw std::runtime_error("\"" + fileName + "\": name a .jpg, .jpeg or .png file");
  }
  QImageWriter writer(QString::fromStdString(fileName), jpeg ? "jpeg" : "png");
  if (jpeg) writer.setQuality(jpegQuality);
  if (!writer.write(ImageOf(picture))) {
    throw std::runtime_error("cannot write \"" + fileName +
                             "\": " + writer.errorString().toStdString());
  }
}

}  // namespace tivenor::testing
