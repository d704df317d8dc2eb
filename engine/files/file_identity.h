#pragma once
// Which file a path names, so that two spellings of one file compare equal: a link, "./x", a
// hard link, or another case of letters on a file system that ignores case.

#include <sys/types.h>

#include <optional>
#include <string>

namespace tivenor {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of an existing file (links followed); nullopt when the path names nothing.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Whether writing `first` would replace `second`: the same existing file, or two names of one
// file still to be made (the same folder and the same name).
bool SameFile(const std::string& first, const std::string& second);

// Whether the path names something that exists and is not a regular file (a folder, a device,
// a pipe): such a path must never be written over.
bool IsOtherThanRegularFile(const std::string& path);

}  // namespace tivenor
