#include "adapters/format_file/find_format.h"

#include "adapters/format_file/bundled_format_texts.h"
#include "adapters/format_file/read_format.h"

namespace tivenor {

namespace {

bool IsPath(const std::string& nameOrPath) {
  const std::string extension = ".json";
  return nameOrPath.find('/') != std::string::npos ||
         (nameOrPath.size() >= extension.size() &&
          nameOrPath.compare(nameOrPath.size() - extension.size(), extension.size(), extension) ==
              0);
}

}  // namespace

std::vector<DiscFormat> ListFormats() {
  std::vector<DiscFormat> formats{BuiltInDiscFormat()};
  for (const BundledFormatText& bundled : BundledFormatTexts()) {
    formats.push_back(ParseFormatText(bundled.text, std::string(bundled.fileName)));
  }
  return formats;
}

DiscFormat FindFormat(const std::string& nameOrPath) {
  if (IsPath(nameOrPath)) return ReadFormatFile(nameOrPath);
  std::string known;
  for (DiscFormat& format : ListFormats()) {
    if (format.name == nameOrPath) return std::move(format);
    known += (known.empty() ? "" : ", ") + format.name;
  }
  throw FormatError("unknown disc format \"" + nameOrPath + "\"; known formats: " + known +
                    "; or give a format file's path");
}

}  // namespace tivenor
