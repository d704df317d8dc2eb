// Pictures decoded at once are each promised only the memory the others have not claimed, and a
// claim ends with its decode.

#include <gtest/gtest.h>

#include <string>

#include "adapters/picture/picture_checks.h"
#include "engine/base/run_error.h"

namespace tivenor {
namespace {

constexpr uint64_t kMegabyte = 1 << 20;

TEST(MemoryClaim, DecodesAtOnceShareTheFreeMemory) {
  const uint64_t available = 100 * kMegabyte;
  {
    const MemoryClaim first = ClaimMemoryWithin(available, "a.tif", 8000, 8000, 60 * kMegabyte);
    try {
      const MemoryClaim second = ClaimMemoryWithin(available, "b.tif", 8000, 8000, 60 * kMegabyte);
      FAIL() << "two 60 MB decodes were promised 100 MB";
    } catch (const RunError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Cannot read picture \"b.tif\": the picture is too large for the memory: its "
                "8000 x 8000 pixels need 60 MB to read, and 40 MB are free");
    }
    const MemoryClaim small = ClaimMemoryWithin(available, "c.tif", 4000, 4000, 30 * kMegabyte);
  }
  // Both decodes done: the whole is free again.
  const MemoryClaim again = ClaimMemoryWithin(available, "b.tif", 8000, 8000, 90 * kMegabyte);
}

}  // namespace
}  // namespace tivenor
