#pragma once
// The texts of the format files in adapters/format_file/formats/, built into the programs so that
// the bundled formats need no installed file. The build generates their definition.

#include <span>
#include <string_view>

namespace tivenor {

struct BundledFormatText {
  std::string_view fileName;  // "ariston-24.json"
  std::string_view text;
};

// In the order the formats are listed.
std::span<const BundledFormatText> BundledFormatTexts();

}  // namespace tivenor
