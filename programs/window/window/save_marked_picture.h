#pragma once
// The marked picture saved as the display shows it, without the playhead.

#include <QString>

#include "engine/base/raster.h"

namespace tivenor {

// PNG, or BMP when the name ends in ".bmp". An existing file is replaced only by a complete new
// one (engine/files/save_file.h), and never when it is `keep` (the picture the user opened).
// Throws RunError naming the file.
void SaveMarkedPicture(const Raster& picture, const QString& fileName, const QString& keep);

}  // namespace tivenor
