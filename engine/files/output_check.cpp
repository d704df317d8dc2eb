#include "engine/files/output_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/base/run_error.h"
#include "engine/files/file_identity.h"

namespace tivenor {

namespace {

// Up to `most` bytes from the start of the file; nullopt with errno set when it cannot be read.
std::optional<std::string> LeadingBytes(const std::string& path, std::size_t most) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) return std::nullopt;
  std::string bytes(most, '\0');
  std::size_t got = 0;
  while (got < most) {
    const ssize_t count = read(descriptor, bytes.data() + got, most - got);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      close(descriptor);
      errno = error;
      return std::nullopt;
    }
    if (count == 0) break;
    got += static_cast<std::size_t>(count);
  }
  close(descriptor);
  bytes.resize(got);
  return bytes;
}

}  // namespace

void RefuseReplacing(const NamedFile& output, const NamedFile& kept) {
  if (!SameFile(output.path, kept.path)) return;
  throw RunError("The " + output.what + " \"" + output.path + "\" would replace the " + kept.what +
                 " \"" + kept.path + "\": nothing written");
}

void RefuseNonRegularOutput(const NamedFile& output) {
  if (!IsOtherThanRegularFile(output.path)) return;
  throw RunError("The " + output.what + " \"" + output.path +
                 "\" would replace something that is not a regular file: nothing written");
}

void RefuseReplacingForeignFile(const NamedFile& output, const ReplaceRule& rule) {
  if (rule.isOwn == nullptr || !IdentityOf(output.path)) return;
  const std::optional<std::string> bytes = LeadingBytes(output.path, rule.largestOwn + 1);
  if (!bytes) ThrowIoError(output.path, errno);
  if (bytes->size() <= rule.largestOwn && rule.isOwn(*bytes)) return;
  throw RunError("The " + output.what + " \"" + output.path +
                 "\" would replace a file Tivenor did not write: nothing written");
}

void RefuseUnsafeMidiFile(const std::string& midiFile, const std::string& picture) {
  const NamedFile output{midiFile, "MIDI file"};
  RefuseNonRegularOutput(output);
  RefuseReplacing(output, {picture, "picture"});
}

}  // namespace tivenor
