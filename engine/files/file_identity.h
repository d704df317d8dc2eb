#pragma once
// Which file a path names, so that two spellings of one file compare equal: a link, "./x", a
// hard link, or another case of letters on a file system that ignores case. Paths are bytes and
// stay bytes: nothing here decodes them.

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

// The path with the links at its end followed, so that a file written through a link replaces
// the file the link names, as writing into it would; the path itself when it is no link (or does
// not exist). Nullopt with errno set (ELOOP) for a loop of links or a link that cannot be read.
std::optional<std::string> WithLinksFollowed(const std::string& path);

// Whether writing `first` would replace `second`: the same existing file, or two names of one
// file still to be made (the same folder and the same name, links at their ends followed).
bool SameFile(const std::string& first, const std::string& second);

// Whether the path names something that exists and is not a regular file (a folder, a device,
// a pipe; links followed): such a path must never be written over.
bool IsOtherThanRegularFile(const std::string& path);

}  // namespace tivenor
