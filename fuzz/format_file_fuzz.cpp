// Arbitrary bytes as a format file's text. A bad text may only end in a FormatError of one line;
// a crash, any other exception, a sanitizer report or a hang is a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "adapters/format_file/read_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const tivenor::DiscFormat format = tivenor::ParseFormatText(text, "fuzz.json");
    // What a format file gives, the format keeps: one key per track, radii inside the rim.
    if (format.keys.size() != format.trackRadii.size() || format.trackRadii.empty() ||
        !(format.trackRadii.back() < 1.0)) {
      std::fputs("a format with keys and radii that do not match passed the checks\n", stderr);
      std::abort();
    }
  } catch (const tivenor::FormatError& error) {
    if (std::string(error.what()).find('\n') != std::string::npos) {
      std::fprintf(stderr, "a message of more than one line: %s\n", error.what());
      std::abort();
    }
  }
  return 0;
}
