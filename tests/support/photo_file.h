#pragma once
// Photos as files: JPEG as cameras write them, PNG for looking at them without loss. Qt's
// codecs do the encoding (QtGui only: no application needed).

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/raster.h"

namespace tivenor::testing {

inline constexpr int kCameraJpegQuality = 85;

// Throws std::runtime_error when the encoder fails.
std::vector<uint8_t> EncodeJpeg(const Raster& picture, int quality = kCameraJpegQuality);
// JPEG for a name ending in .jpg or .jpeg, PNG for .png; throws std::runtime_error naming the
// file for any other name or a failed write.
void WritePhoto(const Raster& picture, const std::string& fileName,
                int jpegQuality = kCameraJpegQuality);

}  // namespace tivenor::testing
