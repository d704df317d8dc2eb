#include "cli/sound_output.h"

#include "sound/save_sound_file.h"
#include "sound/sound_font.h"

namespace tivenor::cli {

void WriteSoundFile(const std::string& picture, const std::string& midiFile,
                    const std::string& soundFile) {
  SaveSoundFile(midiFile, soundFile, RequireSoundFont(), {picture});
}

}  // namespace tivenor::cli
