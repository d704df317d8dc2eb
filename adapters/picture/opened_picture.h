#pragma once
// A picture file opened for reading, its first bytes read and its type told by them, whatever
// its name says. A file of no type that is read is refused naming the types that are.

#include <cstddef>
#include <cstdint>
#include <string>

#include "adapters/picture/bmp_header.h"
#include "adapters/picture/read_only_file.h"

namespace tivenor {

// The picture types read, as messages name them, and the file names open dialogs offer for them.
inline constexpr const char* kPictureTypeNames = "BMP, PNG, JPEG, TIFF";
inline constexpr const char* kPictureFilePatterns = "*.bmp *.png *.jpg *.jpeg *.tif *.tiff";

enum class PictureType { kBmp, kPng, kJpeg, kTiff, kOther };

// By a file's first bytes.
PictureType PictureTypeOf(const uint8_t* head, std::size_t size);

struct OpenedPicture {
  // Throws RunError naming the file when it cannot be opened or read, is empty, or is of no
  // type that is read.
  explicit OpenedPicture(const std::string& fileName);

  std::string name;
  ReadOnlyFile file;
  uint8_t head[kBmpLongestHeaders] = {};
  std::size_t headSize = 0;
  PictureType type = PictureType::kOther;
};

}  // namespace tivenor
