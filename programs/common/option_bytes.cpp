#include "programs/common/option_bytes.h"

#include <optional>

namespace tivenor::cli {

std::string OptionBytes(const QString& value, const char* longName, int argc, char** argv) {
  // Without a replacement character the decoding was exact.
  if (!value.contains(QChar::ReplacementCharacter)) return value.toStdString();
  const std::string option = std::string("--") + longName;
  std::optional<std::string> found;
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    if (argument == "--") break;
    std::optional<std::string> given;
    if (argument == option && index + 1 < argc) {
      given = argv[++index];
    } else if (argument.starts_with(option + "=")) {
      given = argument.substr(option.size() + 1);
    }
    // The last one given wins, as it does for Qt's parser.
    if (given && QString::fromLocal8Bit(*given) == value) found = given;
  }
  return found.value_or(value.toStdString());
}

}  // namespace tivenor::cli
