#include "adapters/picture/picture_checks.h"

#include <algorithm>
#include <mutex>

#include "adapters/picture/available_memory.h"
#include "engine/base/run_error.h"

namespace tivenor {

namespace {

std::string Pixels(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// What the decodes in flight in this process have claimed.
std::mutex claimsMutex;
uint64_t claimedBytes = 0;

std::string Megabytes(uint64_t bytes) {
  constexpr uint64_t kMegabyte = 1 << 20;
  return std::to_string((bytes + kMegabyte - 1) / kMegabyte) + " MB";
}

}  // namespace

void ThrowPictureError(const std::string& fileName, const std::string& reason) {
  throw RunError("Cannot read picture \"" + fileName + "\": " + reason);
}

void CheckPictureSides(const std::string& fileName, int64_t width, int64_t height) {
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    ThrowPictureError(fileName, "the picture is too large (" + Pixels(width, height) +
                                    "; at most " + std::to_string(kMaxPictureSide) +
                                    " on a side are read)");
  }
}

MemoryClaim::~MemoryClaim() {
  const std::lock_guard<std::mutex> lock(claimsMutex);
  claimedBytes -= bytes_;
}

MemoryClaim ClaimMemory(const std::string& fileName, int64_t width, int64_t height,
                        uint64_t bytes) {
  return ClaimMemoryWithin(AvailableMemoryBytes(), fileName, width, height, bytes);
}

MemoryClaim ClaimMemoryWithin(uint64_t available, const std::string& fileName, int64_t width,
                              int64_t height, uint64_t bytes) {
  const std::lock_guard<std::mutex> lock(claimsMutex);
  const uint64_t free = available > claimedBytes ? available - claimedBytes : 0;
  if (bytes > free) {
    ThrowPictureError(fileName, "the picture is too large for the memory: its " +
                                    Pixels(width, height) + " need " + Megabytes(bytes) +
                                    " to read, and " + Megabytes(free) + " are free");
  }
  claimedBytes += bytes;
  return MemoryClaim(bytes);
}

void CheckDataLength(const std::string& fileName, int64_t width, int64_t height,
                     uint64_t leastBytes, uint64_t fileSize) {
  if (fileSize >= leastBytes) return;
  ThrowPictureError(fileName, "the file is too short for the " + Pixels(width, height) +
                                  " its header announces (" + std::to_string(fileSize) +
                                  " bytes, at least " + std::to_string(leastBytes) + " needed)");
}

uint64_t PixelCount(int64_t width, int64_t height) {
  return static_cast<uint64_t>(std::max<int64_t>(width, 0)) *
         static_cast<uint64_t>(std::max<int64_t>(height, 0));
}

}  // namespace tivenor
