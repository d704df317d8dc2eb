#include "programs/window/window/save_marked_picture.h"

#include <QFile>
#include <QFileInfo>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/files/file_identity.h"

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
  SavePicture(picture, target, "marked picture");
}

}  // namespace tivenor
