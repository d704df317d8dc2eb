#include "programs/convert/format_option.h"

#include <algorithm>
#include <utility>

#include "adapters/format_file/find_format.h"

namespace tivenor::cli {

void ChooseFormat(const std::string& value, ReadingOptions& options) {
  if (value == kChooseFormatName) {
    // Every known format is a candidate for the reader to choose from; `format` stays the
    // built-in one, which is what a reader that makes no choice reads.
    options.candidates = ListFormats();
    options.format = BuiltInDiscFormat();
    return;
  }
  options.format = FindFormat(value);
  // They name the closest format when the pictures' slots do not fit this one.
  options.knownFormats = ListFormats();
}

void ChooseFormats(const std::vector<std::string>& values, ReadingOptions& options) {
  if (values.size() == 1) {
    ChooseFormat(values.front(), options);
    return;
  }
  if (std::find(values.begin(), values.end(), kChooseFormatName) == values.end()) {
    throw FormatError(std::string("--format is given ") + std::to_string(values.size()) +
                      " times: give one format, or auto and the formats to choose among");
  }
  ChooseFormat(kChooseFormatName, options);
  for (const std::string& value : values) {
    if (value == kChooseFormatName) continue;
    DiscFormat given = FindFormat(value);
    const auto same =
        std::find_if(options.candidates.begin(), options.candidates.end(),
                     [&](const DiscFormat& known) { return known.name == given.name; });
    if (same != options.candidates.end()) {
      *same = std::move(given);
    } else {
      options.candidates.push_back(std::move(given));
    }
  }
}

std::string FormatListText(const std::vector<DiscFormat>& formats) {
  std::size_t nameWidth = 0;
  for (const DiscFormat& format : formats) nameWidth = std::max(nameWidth, format.name.size());
  std::string text;
  for (const DiscFormat& format : formats) {
    text += format.name + std::string(nameWidth + 2 - format.name.size(), ' ') + format.title +
            " (" + std::to_string(format.TrackCount()) + " tracks)\n";
  }
  return text;
}

}  // namespace tivenor::cli
