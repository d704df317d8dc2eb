#pragma once
// What a picture file is checked for before it is decoded: sides the analysis can count, memory
// the machine has, and data enough for the pixels its header announces. Every refusal names the
// file, after "Cannot read picture".

#include <cstdint>
#include <string>

namespace tivenor {

// Pictures larger than this on either side are refused before decoding: the analysis counts
// pixels in 32 bits.
inline constexpr int kMaxPictureSide = 46340;

// Throws RunError: Cannot read picture "fileName": reason.
[[noreturn]] void ThrowPictureError(const std::string& fileName, const std::string& reason);

// The sides of the picture as it will be held in memory.
void CheckPictureSides(const std::string& fileName, int64_t width, int64_t height);
// Memory promised to a decode in flight. The system counts memory as used only once it is
// written, so while pictures are decoded at once (tivenor-convert -j), each claim is kept from
// the others until its picture is decoded and its memory written.
class MemoryClaim {
 public:
  explicit MemoryClaim(uint64_t bytes) : bytes_(bytes) {}
  MemoryClaim(const MemoryClaim&) = delete;
  MemoryClaim& operator=(const MemoryClaim&) = delete;
  ~MemoryClaim();

 private:
  uint64_t bytes_;
};

// Refuses what the memory cannot hold, less what other decodes have claimed: `bytes` for a
// picture of width x height. Hold the claim until the picture is decoded.
[[nodiscard]] MemoryClaim ClaimMemory(const std::string& fileName, int64_t width, int64_t height,
                                      uint64_t bytes);
// The same against `available` bytes.
[[nodiscard]] MemoryClaim ClaimMemoryWithin(uint64_t available, const std::string& fileName,
                                            int64_t width, int64_t height, uint64_t bytes);
// Refuses a file shorter than the least its width x height pixels can take.
void CheckDataLength(const std::string& fileName, int64_t width, int64_t height,
                     uint64_t leastBytes, uint64_t fileSize);

uint64_t PixelCount(int64_t width, int64_t height);

}  // namespace tivenor
