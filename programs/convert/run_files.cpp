#include "programs/convert/run_files.h"

#include <optional>

#include "engine/base/run_error.h"

namespace tivenor::cli {

RunFiles::RunFiles(const std::vector<std::string>& pictures) {
  for (const std::string& picture : pictures) {
    if (const std::optional<FileIdentity> identity = IdentityOf(picture)) {
      known_.push_back({{picture, "picture"}, "", *identity});
    }
  }
}

void RunFiles::CheckOutput(const std::string& picture, const NamedFile& output) const {
  RefuseNonRegularOutput(output);
  RefuseReplacing(output, {picture, "picture"});
  const std::optional<FileIdentity> identity = IdentityOf(output.path);
  if (!identity) return;
  for (const KnownFile& known : known_) {
    if (known.identity != *identity) continue;
    if (known.picture.empty()) RefuseReplacing(output, known.file);
    std::string text = "The " + output.what;
    text += " of \"" + picture + "\" would replace the " + known.file.what;
    text += " \"" + known.file.path + "\" written for \"" + known.picture;
    text += "\" in this run: nothing written for \"" + picture + "\"";
    throw RunError(text);
  }
}

void RunFiles::Written(const std::string& picture, const NamedFile& file) {
  if (const std::optional<FileIdentity> identity = IdentityOf(file.path)) {
    known_.push_back({file, picture, *identity});
  }
}

}  // namespace tivenor::cli
