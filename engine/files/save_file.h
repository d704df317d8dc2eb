#pragma once
// The one way a file of the user's is written: the whole new file under a short temporary name
// beside it (".tivenor-" and six characters, so that a target of the longest name a folder
// allows still has one), every write, the sync and the close checked, then renamed over the
// old file. A failure at any point, or SIGINT, SIGTERM or SIGHUP, removes the temporary and
// leaves the old file as it was. A target reached through links is written where they lead.

#include <optional>
#include <string>
#include <string_view>

#include "engine/files/output_check.h"
#include "engine/files/temporary_cleanup.h"

namespace tivenor {

class FileSaver {
 public:
  // Refuses a target that is not a regular file or that `rule` does not let replace, and creates
  // the temporary, so that a save that cannot be made fails before the work of making its
  // bytes. Throws RunError naming the target.
  explicit FileSaver(NamedFile target, const ReplaceRule& rule = {});
  // Removes the temporary unless Save has put it in the target's place.
  ~FileSaver();
  FileSaver(const FileSaver&) = delete;
  FileSaver& operator=(const FileSaver&) = delete;

  // Writes `bytes` as the whole file and puts it in the target's place. Throws RunError naming
  // the target ("Disk full" when the disk is); the old file is then untouched. Once only.
  void Save(std::string_view bytes);

 private:
  [[noreturn]] void Fail(int errorNumber);

  NamedFile target_;
  std::string finalPath_;  // the target with links followed
  std::string temporary_;  // empty once renamed or removed
  int descriptor_ = -1;
  std::optional<TemporaryCleanup> cleanup_;
};

// FileSaver(target, rule).Save(bytes).
void SaveFile(const NamedFile& target, std::string_view bytes, const ReplaceRule& rule = {});

}  // namespace tivenor
