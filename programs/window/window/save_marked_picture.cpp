#include "programs/window/window/save_marked_picture.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"

namespace tivenor {

void SaveMarkedPicture(const Raster& picture, const QString& fileName, const QString& keep) {
  const auto fail = [&](const QString& why) {
    throw RunError(("Cannot write picture \"" + fileName + "\": " + why).toStdString());
  };
  if (picture.width == 0) fail("there is no picture to save");
  const QFileInfo target(fileName);
  if (!keep.isEmpty() && target.exists() &&
      target.canonicalFilePath() == QFileInfo(keep).canonicalFilePath()) {
    fail("it is the picture the disc was read from");
  }
  const QByteArray format =
      target.suffix().compare("bmp", Qt::CaseInsensitive) == 0 ? "bmp" : "png";
  // QSaveFile writes beside the target and renames over it only on commit.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) fail(file.errorString());
  QImageWriter writer(&file, format);
  if (!writer.write(ImageFromRaster(picture))) {
    file.cancelWriting();
    fail(writer.errorString());
  }
  if (!file.commit()) fail(file.errorString());
}

}  // namespace tivenor
