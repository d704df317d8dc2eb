#pragma once
// The files of one converter run: every picture named on the command line and every file the
// run has written, each with its picture, so that no result replaces a picture of the run or an
// earlier result.

#include <string>
#include <vector>

#include "engine/files/file_identity.h"
#include "engine/files/output_check.h"

namespace tivenor::cli {

class RunFiles {
 public:
  explicit RunFiles(const std::vector<std::string>& pictures);

  // Throws RunError, naming the files, when `output` of `picture` would replace a picture of
  // the run, a file the run wrote, or something that is not a regular file.
  void CheckOutput(const std::string& picture, const NamedFile& output) const;
  // Records a file just written for `picture`.
  void Written(const std::string& picture, const NamedFile& file);

 private:
  struct KnownFile {
    NamedFile file;
    std::string picture;  // the picture it was written for; empty for a picture
    FileIdentity identity;
  };
  std::vector<KnownFile> known_;
};

}  // namespace tivenor::cli
