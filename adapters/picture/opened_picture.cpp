#include "adapters/picture/opened_picture.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

#include "adapters/picture/picture_checks.h"

namespace tivenor {

namespace {

bool StartsWith(const uint8_t* head, std::size_t size, std::string_view magic) {
  return size >= magic.size() &&
         std::equal(magic.begin(), magic.end(), head,
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

}  // namespace

PictureType PictureTypeOf(const uint8_t* head, std::size_t size) {
  using namespace std::string_view_literals;
  if (StartsWith(head, size, "BM"sv)) return PictureType::kBmp;
  if (StartsWith(head, size, "\x89PNG\r\n\x1a\n"sv)) return PictureType::kPng;
  if (StartsWith(head, size, "\xFF\xD8\xFF"sv)) return PictureType::kJpeg;
  // Little- and big-endian TIFF, and BigTIFF.
  for (std::string_view tiff : {"II*\0"sv, "MM\0*"sv, "II+\0"sv, "MM\0+"sv}) {
    if (StartsWith(head, size, tiff)) return PictureType::kTiff;
  }
  return PictureType::kOther;
}

OpenedPicture::OpenedPicture(const std::string& fileName) : name(fileName), file(fileName) {
  if (!file.IsOpen()) {
    ThrowPictureError(fileName,
                      file.Error() == ENOENT ? "File not found" : std::strerror(file.Error()));
  }
  try {
    headSize = file.ReadAt(0, head, sizeof head);
  } catch (const std::system_error& error) {
    ThrowPictureError(fileName, error.code().message());
  }
  if (headSize == 0) ThrowPictureError(fileName, "the file is empty");
  type = PictureTypeOf(head, headSize);
  if (type == PictureType::kOther) {
    ThrowPictureError(fileName,
                      std::string("not a picture type Tivenor reads (") + kPictureTypeNames + ")");
  }
}

}  // namespace tivenor
