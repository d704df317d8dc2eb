#include "adapters/sound/render_sound_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "adapters/sound/fluid_synth_setup.h"
#include "adapters/sound/sound_error.h"

namespace tivenor {

namespace {

// Reverb goes on a little after the last voice has died away.
constexpr double kReverbTailSeconds = 0.3;

struct FileFormat {
  const char* type;
  const char* sampleFormat;
  const char* endian;  // only the plain sample formats have a byte order to choose
};

FileFormat FormatOf(SoundFileType type) {
  switch (type) {
    case SoundFileType::kWav:
      return {"wav", "s16", "little"};
    case SoundFileType::kFlac:
      return {"flac", "s16", "auto"};
    case SoundFileType::kOgg:
      return {"oga", "float", "auto"};  // libsndfile encodes Ogg as Vorbis
    case SoundFileType::kRaw:
      return {"raw", "s16", "little"};
  }
  return {"wav", "s16", "little"};
}

class BlockWriter {
 public:
  BlockWriter(fluid_synth_t* synth, const std::string& fileName)
      : renderer_(new_fluid_file_renderer(synth)), fileName_(fileName) {
    if (!renderer_) ThrowFluidFailure("Cannot write " + fileName_);
  }
  void Write() {
    if (fluid_file_renderer_process_block(renderer_.get()) != FLUID_OK) {
      ThrowFluidFailure("Cannot write " + fileName_);
    }
  }

 private:
  FluidFileRenderer renderer_;
  std::string fileName_;
};

}  // namespace

std::optional<SoundFileType> SoundFileTypeFor(const std::string& fileName) {
  std::string extension = std::filesystem::path(fileName).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".wav") return SoundFileType::kWav;
  if (extension == ".flac") return SoundFileType::kFlac;
  if (extension == ".ogg") return SoundFileType::kOgg;
  return std::nullopt;
}

const char* SoundFileExtensionsText() {
  return ".wav, .flac or .ogg";
}

int64_t RenderMidiFile(const RenderRequest& request) {
  return RenderMidiBytes(ReadMidiFile(request.midiFile), request);
}

int64_t RenderMidiBytes(const std::vector<char>& midiFile, const RenderRequest& request) {
  FluidSettings settings = MakeSynthSettings();
  const FileFormat format = FormatOf(request.fileType);
  fluid_settings_setstr(settings.get(), "audio.file.name", request.audioFile.c_str());
  fluid_settings_setstr(settings.get(), "audio.file.type", format.type);
  fluid_settings_setstr(settings.get(), "audio.file.format", format.sampleFormat);
  fluid_settings_setstr(settings.get(), "audio.file.endian", format.endian);
  // The player must follow the rendered samples, not the wall clock.
  fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
  fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
  // A General MIDI SoundFont holds some 140 MB of samples, of which a disc plays one instrument:
  // load samples only as a program asks for them. (Not while playing live: the loading would
  // happen in the audio thread.)
  fluid_settings_setint(settings.get(), "synth.dynamic-sample-loading", 1);

  FluidSynth synth = MakeSynth(settings.get(), request.soundFont);
  FluidPlayer player = MakePlayer(synth.get(), midiFile);
  BlockWriter writer(synth.get(),
                     request.shownName.empty() ? request.audioFile : request.shownName);
  int periodSize = 64;
  fluid_settings_getint(settings.get(), "audio.period-size", &periodSize);

  if (fluid_player_play(player.get()) != FLUID_OK) ThrowFluidFailure("");
  int64_t frames = 0;
  while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING) {
    writer.Write();
    frames += periodSize;
  }
  // The piece is over; its last notes ring until their voices fall silent.
  const auto longestRingOut = static_cast<int64_t>(request.longestRingOutSeconds * kSampleRate);
  const auto reverbTail = static_cast<int64_t>(kReverbTailSeconds * kSampleRate);
  int64_t ringOut = 0;
  while (ringOut < longestRingOut && fluid_synth_get_active_voice_count(synth.get()) > 0) {
    writer.Write();
    ringOut += periodSize;
  }
  for (int64_t tail = 0; tail < reverbTail && ringOut < longestRingOut; tail += periodSize) {
    writer.Write();
    ringOut += periodSize;
  }
  return frames + ringOut;
}

}  // namespace tivenor
