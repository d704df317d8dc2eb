#include "engine/files/file_identity.h"

#include <sys/stat.h>

#include <filesystem>

namespace tivenor {

namespace {

// The folder a path lies in, by identity, with the name it has there.
struct PlaceInFolder {
  std::optional<FileIdentity> folder;
  std::string name;
};

PlaceInFolder PlaceOf(const std::string& path) {
  const std::filesystem::path whole(path);
  const std::filesystem::path folder = whole.parent_path();
  return {IdentityOf(folder.empty() ? "." : folder.string()), whole.filename().string()};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino};
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
