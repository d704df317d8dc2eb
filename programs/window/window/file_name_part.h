#pragma once
// The names the window shows and suggests: a chosen picture's without its folder, and a file's
// beside it.

#include <QString>

#include <optional>
#include <string>

namespace tivenor {

// The characters after the last directory separator ("/", and "\" on Windows), possibly
// empty; nullopt when the path holds no separator.
std::optional<QString> FileNamePart(const QString& path);

// A file beside `fileName`, named like it with its extension replaced by `suffix`:
// "/discs/waltz.mid" and "-disc.bmp" give "/discs/waltz-disc.bmp".
QString BesideWithSuffix(const std::string& fileName, const char* suffix);

}  // namespace tivenor
