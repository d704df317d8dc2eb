#pragma once
// The name shown for a chosen picture: its path without the folder.

#include <QString>

#include <optional>

namespace tivenor {

// The characters after the last directory separator ("/", and "\" on Windows), possibly
// empty; nullopt when the path holds no separator.
std::optional<QString> FileNamePart(const QString& path);

}  // namespace tivenor
