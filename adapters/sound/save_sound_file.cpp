#include "adapters/sound/save_sound_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "adapters/sound/render_sound_file.h"
#include "adapters/sound/sound_error.h"
#include "engine/files/temporary_file.h"

namespace tivenor {

namespace {

// A new, empty file beside `target` that no one else uses; the renderer then opens it by name.
std::string TemporaryBeside(const std::string& target) {
  std::string name;
  const int fd = CreateTemporaryBeside(target, name);
  if (fd < 0) throw SoundError("Cannot write " + target + ": " + std::strerror(errno));
  close(fd);
  return name;
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
  // No bytes in memory: the renderer reads them from midiFile once the checks have passed.
  SaveSoundFile(std::vector<char>(), midiFile, soundFile, soundFont, keep);
}

void SaveSoundFile(const std::vector<char>& midiBytes, const std::string& midiFile,
                   const std::string& soundFile, const std::string& soundFont,
                   const std::vector<std::string>& keep) {
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
  TemporaryFile temporary(TemporaryBeside(soundFile));
  RenderRequest request;
  request.midiFile = midiFile;
  request.soundFont = soundFont;
  request.audioFile = temporary.Name();
  request.shownName = soundFile;
  request.fileType = *type;
  if (midiBytes.empty()) {
    RenderMidiFile(request);
  } else {
    RenderMidiBytes(midiBytes, request);
  }
  if (std::rename(temporary.Name().c_str(), soundFile.c_str()) != 0) {
    throw SoundError("Cannot write " + soundFile + ": " + std::strerror(errno));
  }
  temporary.Release();
}

}  // namespace tivenor
