#include "engine/files/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tivenor {

namespace {

// As many links in a row as the system itself follows before it says ELOOP.
constexpr int kMostLinksFollowed = 40;

// The folder a path lies in, by identity, with the name it has there.
struct PlaceInFolder {
  std::optional<FileIdentity> folder;
  std::string name;
};

PlaceInFolder PlaceOf(const std::string& path) {
  const std::string file = WithLinksFollowed(path).value_or(path);
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return {IdentityOf("."), file};
  return {IdentityOf(slash == 0 ? "/" : file.substr(0, slash)), file.substr(slash + 1)};
}

// The text of the link at `path`, or nullopt with errno set.
std::optional<std::string> LinkText(const std::string& path, std::size_t sizeHint) {
  std::string text(sizeHint + 1, '\0');
  for (;;) {
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < text.size()) {
      text.resize(static_cast<std::size_t>(length));
      return text;
    }
    text.resize(text.size() * 2);  // the link changed since it was looked at
  }
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino};
}

std::optional<std::string> WithLinksFollowed(const std::string& path) {
  std::string file = path;
  for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
    struct stat status {};
    if (lstat(file.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return file;
    const std::optional<std::string> link =
        LinkText(file, static_cast<std::size_t>(status.st_size));
    if (!link) return std::nullopt;
    const std::size_t slash = file.rfind('/');
    // A relative link is read from the folder the link lies in.
    const bool fromRoot = !link->empty() && link->front() == '/';
    file = (fromRoot || slash == std::string::npos) ? *link : file.substr(0, slash + 1) + *link;
  }
  errno = ELOOP;
  return std::nullopt;
}

bool SameFile(const std::string& first, const std::string& second) {
  const std::optional<FileIdentity> firstFile = IdentityOf(first);
  const std::optional<FileIdentity> secondFile = IdentityOf(second);
  if (firstFile || secondFile) return firstFile == secondFile;
  const PlaceInFolder firstPlace = PlaceOf(first);
  const PlaceInFolder secondPlace = PlaceOf(second);
  return firstPlace.folder && firstPlace.folder == secondPlace.folder &&
         firstPlace.name == secondPlace.name;
}

bool IsOtherThanRegularFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

}  // namespace tivenor
