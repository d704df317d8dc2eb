#include "programs/window/window/save_marked_picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/files/file_identity.h"
#include "engine/files/save_file.h"

namespace tivenor {

void SaveMarkedPicture(const Raster& picture, const QString& fileName, const QString& keep) {
  const auto fail = [&](const QString& why) {
    throw RunError(("Cannot write picture \"" + fileName + "\": " + why).toStdString());
  };
  if (picture.width == 0) fail("there is no picture to save");
  const std::string target = QFile::encodeName(fileName).toStdString();
  if (!keep.isEmpty() && SameFile(target, QFile::encodeName(keep).toStdString())) {
    fail("it is the picture the disc was read from");
  }
  const QByteArray format =
      QFileInfo(fileName).suffix().compare("bmp", Qt::CaseInsensitive) == 0 ? "bmp" : "png";
  // Qt encodes into memory; the file is written only through FileSaver, which checks every write.
  FileSaver saver({target, "marked picture"});
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(ImageFromRaster(picture))) fail(writer.errorString());
  saver.Save({bytes.constData(), static_cast<std::size_t>(bytes.size())});
}

}  // namespace tivenor
