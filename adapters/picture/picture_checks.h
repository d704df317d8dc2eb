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
// Refuses what the memory cannot hold: `bytes` for a picture of width x height.
void CheckMemory(const std::string& fileName, int64_t width, int64_t height, uint64_t bytes);
// Refuses a file shorter than the least its width x height pixels can take.
void CheckDataLength(const std::string& fileName, int64_t width, int64_t height,
                     uint64_t leastBytes, uint64_t fileSize);

uint64_t PixelCount(int64_t width, int64_t height);

}  // namespace tivenor
