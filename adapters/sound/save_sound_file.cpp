#include "adapters/sound/save_sound_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "adapters/sound/render_sound_file.h"
#include "adapters/sound/sound_error.h"
#include "engine/files/file_identity.h"
#include "engine/files/save_file.h"

namespace tivenor {

namespace {

// A file in memory that the synthesizer's file renderer opens by name. Rendering into it, not
// into the file on disk, leaves every write to disk to FileSaver, which checks each one: the
// renderer's sound library ignores a failure when it closes a file.
class MemoryFile {
 public:
  MemoryFile() : descriptor_(memfd_create("tivenor-sound", MFD_CLOEXEC)) {
    if (descriptor_ < 0) throw SoundError(std::string("Cannot render: ") + std::strerror(errno));
  }
  ~MemoryFile() {
    if (mapped_ != nullptr) munmap(mapped_, size_);
    close(descriptor_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  std::string Name() const { return "/proc/self/fd/" + std::to_string(descriptor_); }

  // What was written, valid while the file lives.
  std::string_view Bytes() {
    struct stat status {};
    if (fstat(descriptor_, &status) != 0) {
      throw SoundError(std::string("Cannot render: ") + std::strerror(errno));
    }
    size_ = static_cast<std::size_t>(status.st_size);
    if (size_ == 0) return {};
    mapped_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, descriptor_, 0);
    if (mapped_ == MAP_FAILED) {
      mapped_ = nullptr;
      throw SoundError(std::string("Cannot render: ") + std::strerror(errno));
    }
    return {static_cast<const char*>(mapped_), size_};
  }

 private:
  int descriptor_;
  void* mapped_ = nullptr;
  std::size_t size_ = 0;
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
  FileSaver saver({soundFile, "sound file"});
  MemoryFile sound;
  RenderRequest request;
  request.midiFile = midiFile;
  request.soundFont = soundFont;
  request.audioFile = sound.Name();
  request.shownName = soundFile;
  request.fileType = *type;
  if (midiBytes.empty()) {
    RenderMidiFile(request);
  } else {
    RenderMidiBytes(midiBytes, request);
  }
  saver.Save(sound.Bytes());
}

}  // namespace tivenor
