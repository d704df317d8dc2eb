#include "sound/save_sound_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "sound/render_sound_file.h"
#include "sound/sound_error.h"

namespace tivenor {

namespace {

// A new, empty file beside `target` that no one else uses; the renderer then opens it by name.
std::string CreateTemporaryBeside(const std::string& target) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return name;
    }
    if (errno != EEXIST) break;
  }
  throw SoundError("Cannot write " + target + ": " + std::strerror(errno));
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

// Removes the temporary file unless the rename has taken it over.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string name) : name_(std::move(name)) {}
  ~TemporaryFile() {
    if (!name_.empty()) unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& Name() const { return name_; }
  void Release() { name_.clear(); }

 private:
  std::string name_;
};

}  // namespace

void SaveSoundFile(const std::string& midiFile, const std::string& soundFile,
                   const std::string& soundFont, const std::vector<std::string>& keep) {
  const std::optional<SoundFileType> type = SoundFileTypeFor(soundFile);
  if (!type) {
    throw SoundError("Cannot tell the sound format of " + soundFile + ": name it " +
                     SoundFileExtensionsText());
  }
  if (SameFile(midiFile, soundFile)) {
    throw SoundError("The sound file " + soundFile + " would replace the MIDI file it is made of");
  }
  for (const std::string& kept : keep) {
    if (SameFile(kept, soundFile)) {
      std::string text = "The sound file " + soundFile;
      text += " would replace " + kept;
      throw SoundError(text);
    }
  }
  TemporaryFile temporary(CreateTemporaryBeside(soundFile));
  RenderRequest request;
  request.midiFile = midiFile;
  request.soundFont = soundFont;
  request.audioFile = temporary.Name();
  request.shownName = soundFile;
  request.fileType = *type;
  RenderMidiFile(request);
  if (std::rename(temporary.Name().c_str(), soundFile.c_str()) != 0) {
    throw SoundError("Cannot write " + soundFile + ": " + std::strerror(errno));
  }
  temporary.Release();
}

}  // namespace tivenor
