#include "programs/convert/sound_output.h"

#include "adapters/sound/save_sound_file.h"
#include "adapters/sound/sound_font.h"

namespace tivenor::cli {

namespace {

NamedFile SoundFile(const std::string& path) {
  return {path, "sound file"};
}

}  // namespace

void CheckSoundFile(const RunFiles& files, const std::string& picture,
                    const std::string& soundFile) {
  files.CheckOutput(picture, SoundFile(soundFile));
}

void WriteSoundFile(RunFiles& files, const std::string& picture, const std::string& midiFile,
                    const std::vector<char>& midiBytes, const std::string& soundFile) {
  files.CheckOutput(picture, SoundFile(soundFile));  // the MIDI file is one of the run's now
  SaveSoundFile(midiBytes, midiFile, soundFile, RequireSoundFont(), {picture});
  files.Written(picture, SoundFile(soundFile));
}

}  // namespace tivenor::cli
