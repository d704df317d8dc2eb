#include "programs/window/window/file_name_part.h"

#include <QDir>
#include <QFileInfo>

namespace tivenor {

std::optional<QString> FileNamePart(const QString& path) {
  qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
  separator = std::max(separator, path.lastIndexOf(QLatin1Char('\\')));
#endif
  if (separator < 0) return std::nullopt;
  return path.mid(separator + 1);
}

QString BesideWithSuffix(const std::string& fileName, const char* suffix) {
  const QFileInfo info(QString::fromStdString(fileName));
  return info.dir().filePath(info.completeBaseName() + suffix);
}

}  // namespace tivenor
