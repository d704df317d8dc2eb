#include "programs/window/window/file_name_part.h"

namespace tivenor {

std::optional<QString> FileNamePart(const QString& path) {
  qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
  separator = std::max(separator, path.lastIndexOf(QLatin1Char('\\')));
#endif
  if (separator < 0) return std::nullopt;
  return path.mid(separator + 1);
}

}  // namespace tivenor
