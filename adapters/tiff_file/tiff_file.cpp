#include "adapters/tiff_file/tiff_file.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/base/box_reduction.h"

namespace tivenor {

namespace {

// How many bytes of pixels the tersest data of a compression can hold in one byte.
uint64_t MostBytesPerByte(uint16_t compression) {
  switch (compression) {
    case COMPRESSION_NONE:
      return 1;
    case COMPRESSION_PACKBITS:
      return 64;  // 128 repeated bytes in two
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return 4096;
    default:
      return 0;
  }
}

// One open file, whose library messages are kept rather than printed: the first error is the
// reason given, warnings (unknown tags and the like) are dropped.
class TiffSession {
 public:
  explicit TiffSession(const std::string& fileName) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, &OnError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &OnWarning, this);
    // Large uncompressed strips are read in pieces. The file is read rather than mapped: a
    // mapped file's pages would count as the process's memory.
    tiff_ = TIFFOpenExt(fileName.c_str(), "rCm", options);
    TIFFOpenOptionsFree(options);
    if (tiff_ == nullptr) Throw("the file is no TIFF the library reads");
  }
  ~TiffSession() {
    if (tiff_ != nullptr) TIFFClose(tiff_);
  }
  TiffSession(const TiffSession&) = delete;
  TiffSession& operator=(const TiffSession&) = delete;

  TIFF* Handle() const { return tiff_; }
  // The library's first error, or `otherwise` when it gave none.
  [[noreturn]] void Throw(const std::string& otherwise) const {
    throw std::runtime_error(error_.empty() ? otherwise : error_);
  }

  uint32_t Field32(uint32_t tag, uint32_t none) const {
    uint32_t value = none;
    return TIFFGetFieldDefaulted(tiff_, tag, &value) == 1 ? value : none;
  }
  uint16_t Field16(uint32_t tag, uint16_t none) const {
    uint16_t value = none;
    return TIFFGetFieldDefaulted(tiff_, tag, &value) == 1 ? value : none;
  }

  // Rows decoded in one go: a strip or a row of tiles, at most the whole picture.
  uint32_t BandRows() const {
    const uint32_t height = Field32(TIFFTAG_IMAGELENGTH, 0);
    const uint32_t rows = TIFFIsTiled(tiff_) != 0 ? Field32(TIFFTAG_TILELENGTH, 1)
                                                  : Field32(TIFFTAG_ROWSPERSTRIP, height);
    return std::clamp<uint32_t>(rows, 1, std::max<uint32_t>(height, 1));
  }

 private:
  static int OnError(TIFF*, void* self, const char* module, const char* format, va_list args) {
    auto* session = static_cast<TiffSession*>(self);
    if (session->error_.empty()) {
      char text[512];
      std::vsnprintf(text, sizeof text, format, args);
      session->error_ = module != nullptr && *module != '\0' ? std::string(module) + ": " + text
                                                             : std::string(text);
    }
    return 1;
  }
  static int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

  TIFF* tiff_ = nullptr;
  std::string error_;
};

// The library turns rows upside down or mirrors them to give the orientation asked for; asking
// for the file's own (or its transposed twin's, which it does not turn) leaves them as stored.
uint16_t AsStored(uint16_t orientation) {
  return orientation > ORIENTATION_BOTLEFT ? static_cast<uint16_t>(orientation - 4) : orientation;
}

// Bands of the picture decoded at once, each by its own session of the library: whole strips or
// rows of tiles, and whole blocks of the reduction, so that no strip is decoded twice and no
// block is shared. One band for a small picture, or where strips are too tall to share out.
std::vector<uint32_t> BandEdges(uint32_t width, uint32_t height, uint32_t bandRows, int reduction) {
  constexpr uint64_t kLeastPixelsToShare = 4'000'000;
  constexpr unsigned kMostThreads = 4;
  const uint64_t unit = std::lcm(uint64_t{bandRows}, static_cast<uint64_t>(reduction));
  const unsigned threads = uint64_t{width} * height < kLeastPixelsToShare
                               ? 1u
                               : std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
  std::vector<uint32_t> edges = {0};
  const uint64_t units = (height + unit - 1) / unit;
  const uint64_t parts = std::min<uint64_t>(threads, units);
  for (uint64_t part = 1; part < parts; ++part)
    edges.push_back(static_cast<uint32_t>(units * part / parts * unit));
  edges.push_back(height);
  return edges;
}

// The rows [first, last) of the page through a session of their own, reduced into `into`.
void DecodeBand(const std::string& fileName, uint32_t first, uint32_t last, int reduction,
                Raster& into) {
  const TiffSession session(fileName);
  TIFF* tiff = session.Handle();
  char reason[1024] = "";
  if (TIFFRGBAImageOK(tiff, reason) == 0) session.Throw(reason);
  TIFFRGBAImage image{};
  if (TIFFRGBAImageBegin(&image, tiff, 1, reason) == 0) session.Throw(reason);
  const auto width = static_cast<int32_t>(image.width);
  image.req_orientation = AsStored(image.orientation);
  const uint32_t bandRows = session.BandRows();
  // The library writes 0xAABBGGRR: the raster's layout once the top byte is dropped.
  std::vector<uint32_t> band(static_cast<std::size_t>(width) * bandRows);
  BoxReduction reduced(width, static_cast<int32_t>(last - first), reduction, into,
                       static_cast<int32_t>(first));
  bool read = true;
  for (uint32_t top = first; read && top < last; top += bandRows) {
    const uint32_t rows = std::min(bandRows, last - top);
    image.row_offset = static_cast<int>(top);
    image.col_offset = 0;
    read = TIFFRGBAImageGet(&image, band.data(), image.width, rows) != 0;
    for (uint32_t row = 0; read && row < rows; ++row)
      reduced.AddRow(band.data() + static_cast<std::size_t>(row) * width);
  }
  TIFFRGBAImageEnd(&image);
  if (!read || reduced.RowsAdded() != static_cast<int32_t>(last - first))
    session.Throw("the pixels could not be read");
}

}  // namespace

TiffHeader ReadTiffHeader(const std::string& fileName) {
  const TiffSession session(fileName);
  TiffHeader header;
  header.width = static_cast<int32_t>(session.Field32(TIFFTAG_IMAGEWIDTH, 0));
  header.height = static_cast<int32_t>(session.Field32(TIFFTAG_IMAGELENGTH, 0));
  if (header.width <= 0 || header.height <= 0) session.Throw("the picture has no pixels");
  header.orientation = std::clamp<int>(session.Field16(TIFFTAG_ORIENTATION, 1), 1, 8);
  const uint64_t sampleBits = uint64_t{session.Field16(TIFFTAG_SAMPLESPERPIXEL, 1)} *
                              session.Field16(TIFFTAG_BITSPERSAMPLE, 1);
  const uint64_t rawBytes = (static_cast<uint64_t>(header.width) * sampleBits + 7) / 8 *
                            static_cast<uint64_t>(header.height);
  const uint64_t ratio = MostBytesPerByte(session.Field16(TIFFTAG_COMPRESSION, COMPRESSION_NONE));
  header.leastDataBytes = ratio == 0 ? 0 : rawBytes / ratio;
  TIFF* tiff = session.Handle();
  const uint64_t libraryBuffer = static_cast<uint64_t>(
      std::max<tmsize_t>(TIFFIsTiled(tiff) != 0 ? TIFFTileSize(tiff) : TIFFStripSize(tiff), 0));
  // Each band decoded at once holds its own.
  const uint64_t bands = BandEdges(static_cast<uint32_t>(header.width),
                                   static_cast<uint32_t>(header.height), session.BandRows(), 1)
                             .size() -
                         1;
  header.decoderBytes = bands * (libraryBuffer + static_cast<uint64_t>(header.width) *
                                                     session.BandRows() * sizeof(uint32_t));
  return header;
}

void DecodeTiff(const std::string& fileName, int reduction, Raster& into) {
  uint32_t width = 0, height = 0, bandRows = 1;
  {
    const TiffSession session(fileName);
    width = session.Field32(TIFFTAG_IMAGEWIDTH, 0);
    height = session.Field32(TIFFTAG_IMAGELENGTH, 0);
    bandRows = session.BandRows();
  }
  const int factor = std::clamp(reduction, 1, kMaxBoxReduction);
  into.ResizeForOverwrite(ReducedSize(static_cast<int32_t>(width), factor),
                          ReducedSize(static_cast<int32_t>(height), factor));
  const std::vector<uint32_t> edges = BandEdges(width, height, bandRows, factor);
  std::vector<std::string> errors(edges.size() - 1);
  const auto decode = [&](std::size_t band) {
    try {
      DecodeBand(fileName, edges[band], edges[band + 1], factor, into);
    } catch (const std::exception& error) {
      errors[band] = error.what();
    }
  };
  std::vector<std::thread> others;
  for (std::size_t band = 1; band + 1 < edges.size(); ++band) others.emplace_back(decode, band);
  decode(0);
  for (std::thread& other : others) other.join();
  for (const std::string& error : errors) {
    if (!error.empty()) throw std::runtime_error(error);
  }
}

}  // namespace tivenor
