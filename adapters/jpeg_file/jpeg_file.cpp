#include "adapters/jpeg_file/jpeg_file.h"

#include <cstdio>
// The library's headers need the standard ones above first.
#include <jpeglib.h>
// And its message codes need its own.
#include <jerror.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <stdexcept>

#include "engine/base/box_reduction.h"

namespace tivenor {

namespace {

constexpr int kLargestReduction = 8;

// The library reports errors through a function that must not return; it jumps back to the
// call that started the work, which then throws. Nothing between holds a destructor.
struct ErrorManager {
  jpeg_error_mgr library;  // first, so that the library's pointer is this one's
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Fail(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// The library goes on with grey where a file ends early or its data breaks off, and only warns:
// for a disc that grey would be made-up holes, so those warnings end the decoding.
void OnMessage(j_common_ptr info, int level) {
  if (level >= 0) return;  // trace messages
  const int code = info->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "%s",
                  code == JWRN_JPEG_EOF
                      ? "the file is cut short: its data ends before the picture does"
                      : "the picture's data breaks off before its end");
    std::longjmp(errors->jump, 1);
  }
  ++info->err->num_warnings;
}

class JpegSession {
 public:
  explicit JpegSession(const std::string& fileName) : file_(std::fopen(fileName.c_str(), "rb")) {
    if (file_ == nullptr) throw std::runtime_error(std::strerror(errno));
    info_.err = jpeg_std_error(&errors_.library);
    errors_.library.error_exit = Fail;
    errors_.library.emit_message = OnMessage;
    if (!Start()) {
      Close();
      Throw();
    }
  }
  ~JpegSession() { Close(); }
  JpegSession(const JpegSession&) = delete;
  JpegSession& operator=(const JpegSession&) = delete;

  const jpeg_decompress_struct& Info() const { return info_; }

  void Decode(int reduction, Raster& into) {
    into.ResizeForOverwrite(ReducedSize(static_cast<int32_t>(info_.image_width), reduction),
                            ReducedSize(static_cast<int32_t>(info_.image_height), reduction));
    if (!DecodeInto(reduction, into)) Throw();
    if (info_.out_color_space == JCS_CMYK) {
      for (uint32_t& pixel : into.pixels) pixel = FromInvertedCmyk(pixel);
    } else {
      // The library sets the fourth byte of each pixel; the raster's is zero.
      for (uint32_t& pixel : into.pixels) pixel &= 0x00FFFFFFu;
    }
  }

 private:
  [[noreturn]] void Throw() const { throw std::runtime_error(errors_.message); }

  void Close() {
    if (created_) jpeg_destroy_decompress(&info_);
    created_ = false;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }

  bool Start() {
    if (setjmp(errors_.jump) != 0) return false;
    jpeg_create_decompress(&info_);
    created_ = true;
    jpeg_stdio_src(&info_, file_);
    jpeg_read_header(&info_, TRUE);
    return true;
  }

  bool DecodeInto(int reduction, Raster& into) {
    if (setjmp(errors_.jump) != 0) return false;
    info_.scale_num = 1;
    info_.scale_denom = static_cast<unsigned int>(reduction);
    const bool cmyk = info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK;
    // Four bytes a pixel, red first: the raster's own layout in memory.
    info_.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    jpeg_start_decompress(&info_);
    if (info_.output_width != static_cast<JDIMENSION>(into.width) ||
        info_.output_height != static_cast<JDIMENSION>(into.height)) {
      std::snprintf(errors_.message, sizeof errors_.message, "unexpected decoded size");
      return false;
    }
    while (info_.output_scanline < info_.output_height) {
      JSAMPROW row = reinterpret_cast<JSAMPROW>(
          into.pixels.data() + static_cast<std::size_t>(info_.output_scanline) * into.width);
      jpeg_read_scanlines(&info_, &row, 1);
    }
    jpeg_finish_decompress(&info_);
    return true;
  }

  // Adobe's CMYK JPEGs store the inks inverted; black scales the other three.
  static uint32_t FromInvertedCmyk(uint32_t pixel) {
    const uint32_t c = pixel & 0xFFu, m = (pixel >> 8) & 0xFFu, y = (pixel >> 16) & 0xFFu;
    const uint32_t k = pixel >> 24;
    return (k * c / 255) | (k * m / 255) << 8 | (k * y / 255) << 16;
  }

  std::FILE* file_;
  jpeg_decompress_struct info_{};
  ErrorManager errors_{};
  bool created_ = false;
};

}  // namespace

JpegHeader ReadJpegHeader(const std::string& fileName) {
  const JpegSession session(fileName);
  const jpeg_decompress_struct& info = session.Info();
  JpegHeader header;
  header.width = static_cast<int32_t>(info.image_width);
  header.height = static_cast<int32_t>(info.image_height);
  const uint64_t pixels = uint64_t{info.image_width} * info.image_height;
  const uint64_t blocks = pixels / 64;
  header.leastDataBytes = info.arith_code ? 0 : blocks / 8;
  header.decoderBytes =
      info.progressive_mode ? pixels * 2 * static_cast<uint64_t>(info.num_components) : 0;
  return header;
}

int JpegReduction(int wanted) {
  int reduction = 1;
  while (reduction * 2 <= std::min(wanted, kLargestReduction)) reduction *= 2;
  return reduction;
}

void DecodeJpeg(const std::string& fileName, int wanted, Raster& into) {
  JpegSession session(fileName);
  session.Decode(JpegReduction(wanted), into);
}

}  // namespace tivenor
