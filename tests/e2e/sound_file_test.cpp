// The converter's sound files, read back with libsndfile: each format holds the tune at the MIDI
// file's timing, from the start to the end of the last note's sound, and a failed or refused
// sound file never costs the user a file.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "adapters/sound/save_sound_file.h"
#include "adapters/sound/sound_error.h"
#include "adapters/sound/sound_font.h"
#include "engine/base/run_error.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/midi_reader.h"
#include "tests/support/small_disk.h"

namespace tivenor::testing {
namespace {

constexpr double kSecondsPerTick = 0.6 / 96;  // 600000 us per quarter note, 96 ticks to it
constexpr int kWindowFrames = 44;             // about a millisecond at 44100 Hz

struct Sound {
  int format = 0;  // libsndfile's SF_FORMAT_* major type
  int sampleRate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved
  double Seconds() const {
    return static_cast<double>(samples.size()) / channels / std::max(sampleRate, 1);
  }
};

Sound ReadSound(const std::string& fileName) {
  SF_INFO info{};
  SNDFILE* file = sf_open(fileName.c_str(), SFM_READ, &info);
  if (file == nullptr) throw std::runtime_error("libsndfile: " + std::string(sf_strerror(nullptr)));
  Sound sound;
  sound.format = info.format & SF_FORMAT_TYPEMASK;
  sound.sampleRate = info.samplerate;
  sound.channels = info.channels;
  sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  const sf_count_t read = sf_readf_float(file, sound.samples.data(), info.frames);
  sf_close(file);
  sound.samples.resize(static_cast<std::size_t>(read * info.channels));
  return sound;
}

struct Envelope {
  std::vector<float> peaks;
  double windowSeconds = 0.0;
};

// Loudest sample of every window of kWindowFrames, over both channels.
Envelope PeakEnvelope(const Sound& sound) {
  const auto frames = static_cast<std::size_t>(sound.samples.size() / sound.channels);
  const auto window = static_cast<std::size_t>(kWindowFrames);
  std::vector<float> envelope;
  for (std::size_t start = 0; start + window <= frames; start += window) {
    float peak = 0.0f;
    for (std::size_t i = start * sound.channels; i < (start + window) * sound.channels; ++i)
      peak = std::max(peak, std::abs(sound.samples[i]));
    envelope.push_back(peak);
  }
  return {envelope, static_cast<double>(kWindowFrames) / sound.sampleRate};
}

// Times at which the sound jumps: a window at least three times as loud as the loudest of the
// 30 before it and above a floor. An attack counts once: some samples of the SoundFont swell
// again some 50 ms after they start.
std::vector<double> Onsets(const Envelope& envelope) {
  constexpr std::size_t kLookBack = 30;
  constexpr float kFloor = 0.01f;
  constexpr double kOneAttackSeconds = 0.1;
  const std::vector<float>& peaks = envelope.peaks;
  std::vector<double> onsets;
  for (std::size_t i = kLookBack; i < peaks.size(); ++i) {
    const float before = *std::max_element(peaks.begin() + static_cast<long>(i - kLookBack),
                                           peaks.begin() + static_cast<long>(i));
    const double time = static_cast<double>(i) * envelope.windowSeconds;
    if (peaks[i] < kFloor || peaks[i] < 3 * before) continue;
    if (!onsets.empty() && time - onsets.back() < kOneAttackSeconds) continue;
    onsets.push_back(time);
  }
  return onsets;
}

// Single notes well apart on pins across the comb, so that every onset stands alone.
std::vector<DiscNote> SpacedNotes() {
  std::vector<DiscNote> notes;
  int pin = 2;
  for (int tick = 250; tick <= 3330; tick += 280) {
    notes.push_back({pin, tick});
    pin = (pin + 7) % 27;
  }
  return notes;
}

struct FormatCase {
  const char* extension;
  int format;
  double toleranceSeconds;  // Vorbis spreads an attack a little in time
};

void PrintTo(const FormatCase& format, std::ostream* out) {
  *out << format.extension;
}

class SoundFile : public ::testing::TestWithParam<FormatCase> {
 protected:
  void SetUp() override {
    WriteBmp(RenderDisc(SpacedNotes()), BmpFormat::Rgb24, folder_.File("disc.bmp"));
  }
  TempFolder folder_;
};

TEST_P(SoundFile, OnsetsFollowTheMidiNoteTimes) {
  const std::string name = std::string("disc.") + GetParam().extension;
  const ConverterRun run = RunConverter(folder_, "--audio " + name + " disc.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("sound written " + name), std::string::npos) << run.errors;

  const Sound sound = ReadSound(folder_.File(name));
  EXPECT_EQ(sound.format, GetParam().format);
  EXPECT_EQ(sound.sampleRate, 44100);
  EXPECT_EQ(sound.channels, 2);

  const std::vector<MidiNote> notes = NoteOns(ReadMidiFile(folder_.File("disc.mid")));
  ASSERT_EQ(notes.size(), SpacedNotes().size());
  const Envelope envelope = PeakEnvelope(sound);
  const std::vector<double> onsets = Onsets(envelope);
  std::ostringstream heard;
  for (double onset : onsets) heard << onset << " s, ";
  heard << "notes at ";
  for (const MidiNote& note : notes)
    heard << note.tick * kSecondsPerTick << " s (" << note.key << "), ";
  ASSERT_EQ(onsets.size(), notes.size()) << heard.str();
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const double expected = notes[i].tick * kSecondsPerTick;
    EXPECT_NEAR(onsets[i], expected, GetParam().toleranceSeconds) << "note " << i;
  }

  // From the start: silence before the first note. To the end of the last note's sound: it has
  // died away by the end of the file, and the file does not run on in silence for long.
  const double first = notes.front().tick * kSecondsPerTick;
  const auto quietWindows = static_cast<long>(first / envelope.windowSeconds) - 5;
  EXPECT_LT(*std::max_element(envelope.peaks.begin(), envelope.peaks.begin() + quietWindows),
            0.002f);
  const double last = notes.back().tick * kSecondsPerTick;
  EXPECT_GT(sound.Seconds(), last + 0.75);  // the closing all-notes-off comes 120 ticks later
  EXPECT_LT(sound.Seconds(), last + 6.0);
  EXPECT_LT(*std::max_element(envelope.peaks.end() - 20, envelope.peaks.end()), 0.01f);
}

INSTANTIATE_TEST_SUITE_P(Formats, SoundFile,
                         ::testing::Values(FormatCase{"wav", SF_FORMAT_WAV, 0.004},
                                           FormatCase{"flac", SF_FORMAT_FLAC, 0.004},
                                           FormatCase{"ogg", SF_FORMAT_OGG, 0.006}),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                           return std::string(info.param.extension);
                         });

// A format 0 MIDI file of one note on key 60, 100 ticks a second, with the program given.
std::vector<uint8_t> OneNoteMidi(int program, double onSeconds, double offSeconds) {
  const auto ticks = [](double seconds) { return static_cast<uint32_t>(seconds * 100); };
  const auto variable = [](std::vector<uint8_t>& bytes, uint32_t value) {
    std::vector<uint8_t> groups = {static_cast<uint8_t>(value & 0x7F)};
    for (value >>= 7; value > 0; value >>= 7) groups.push_back(0x80 | (value & 0x7F));
    bytes.insert(bytes.end(), groups.rbegin(), groups.rend());
  };
  std::vector<uint8_t> track = {0x00, 0xFF, 0x51,
                                0x03, 0x07, 0xA1,
                                0x20,  // 0.5 s a quarter
                                0x00, 0xC0, static_cast<uint8_t>(program)};
  variable(track, ticks(onSeconds));
  track.insert(track.end(), {0x90, 60, 100});
  variable(track, ticks(offSeconds) - ticks(onSeconds));
  track.insert(track.end(), {0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> file = {
      'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0,   50,  'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.size())};
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

float LoudestBetween(const Envelope& envelope, double from, double to) {
  const auto first = static_cast<std::size_t>(from / envelope.windowSeconds);
  const auto last =
      std::min(static_cast<std::size_t>(to / envelope.windowSeconds), envelope.peaks.size());
  float loudest = 0.0f;
  for (std::size_t i = first; i < last; ++i) loudest = std::max(loudest, envelope.peaks[i]);
  return loudest;
}

// The sound of a disc whose notes are sustained, an organette's reeds say: the program and the
// note lengths come from the MIDI bytes, nothing in the renderer holds or cuts a note.
TEST(SoundOfAFormat, ANoteSoundsWithItsProgramUntilItsRelease) {
  TempFolder folder;
  const std::string soundFont = RequireSoundFont();
  const auto render = [&](int program, double offSeconds) {
    const std::string name = "p" + std::to_string(program) + "_" + std::to_string(offSeconds);
    const std::vector<uint8_t> bytes = OneNoteMidi(program, 0.5, offSeconds);
    std::ofstream(folder.File(name + ".mid"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    SaveSoundFile(folder.File(name + ".mid"), folder.File(name + ".wav"), soundFont);
    return PeakEnvelope(ReadSound(folder.File(name + ".wav")));
  };
  constexpr int kReedOrgan = 20;
  const Envelope held = render(kReedOrgan, 3.0);
  const Envelope released = render(kReedOrgan, 1.0);
  const float attack = LoudestBetween(held, 0.5, 1.0);
  ASSERT_GT(attack, 0.02f);
  // A reed sounds as long as its slot lets air through: as loud at the end as at the start.
  EXPECT_GT(LoudestBetween(held, 2.5, 3.0), 0.5f * attack);
  EXPECT_LT(LoudestBetween(held, 3.6, 4.0), 0.05f * attack);
  EXPECT_LT(LoudestBetween(released, 1.6, 3.0), 0.05f * attack);
  // The music box's program on the same bytes rings and dies away on its own.
  const Envelope musicBox = render(10, 3.0);
  EXPECT_LT(LoudestBetween(musicBox, 2.5, 3.0), 0.5f * LoudestBetween(musicBox, 0.5, 1.0));
}

class SoundOption : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBmp(RenderDisc(SpacedNotes()), BmpFormat::Rgb24, folder_.File("disc.bmp"));
  }
  TempFolder folder_;
};

TEST_F(SoundOption, UnknownExtensionOrSeveralPicturesAreUsageErrors) {
  std::filesystem::copy_file(folder_.File("disc.bmp"), folder_.File("other.bmp"));
  for (const char* arguments :
       {"--audio disc.mp3 disc.bmp", "--audio disc disc.bmp", "--audio disc.bmp disc.bmp",
        "--audio disc.wav disc.bmp other.bmp"}) {
    SCOPED_TRACE(arguments);
    const ConverterRun run = RunConverter(folder_, arguments);
    EXPECT_EQ(run.exitCode, 2) << run.errors;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.mid")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("disc.wav")));
}

TEST_F(SoundOption, APictureNamedLikeASoundFileIsNeverReplaced) {
  std::filesystem::copy_file(folder_.File("disc.bmp"), folder_.File("disc.wav"));
  const std::string picture = FileBytes(folder_.File("disc.wav"));
  const ConverterRun run = RunConverter(folder_, "--audio disc.wav disc.wav");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_NE(run.errors.find("would replace the picture"), std::string::npos) << run.errors;
  EXPECT_EQ(FileBytes(folder_.File("disc.wav")), picture);
}

TEST_F(SoundOption, UnwritableSoundFailsAfterTheMidiFileAndNamesIt) {
  const ConverterRun run = RunConverter(folder_, "--audio no-such-folder/disc.wav disc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("disc.mid")));
  EXPECT_NE(run.errors.find("no-such-folder/disc.wav"), std::string::npos) << run.errors;
}

// The sound is rendered from the MIDI bytes just made: once the MIDI file is in place the
// converter never opens it again, so a file replaced in between cannot lend it another tune.
TEST_F(SoundOption, RendersTheBytesItMadeWithoutReadingTheMidiFileBack) {
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(
      inotify_add_watch(watch, folder_.path().c_str(), IN_OPEN | IN_MOVED_TO | IN_CLOSE_WRITE), 0);
  const ConverterRun run = RunConverter(folder_, "--audio disc.wav disc.bmp");
  EXPECT_EQ(run.exitCode, 0) << run.errors;

  bool midiInPlace = false;
  int opensAfterwards = 0;
  alignas(inotify_event) char events[64 * 1024];
  for (ssize_t size; (size = read(watch, events, sizeof events)) > 0;) {
    for (char* at = events; at < events + size;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      at += sizeof(inotify_event) + event->len;
      if (event->len == 0 || std::string(event->name) != "disc.mid") continue;
      if (event->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)) midiInPlace = true;
      if ((event->mask & IN_OPEN) && midiInPlace) ++opensAfterwards;
    }
  }
  close(watch);
  EXPECT_TRUE(midiInPlace);
  EXPECT_EQ(opensAfterwards, 0) << "the MIDI file was opened again after it was written";
  EXPECT_GT(ReadSound(folder_.File("disc.wav")).Seconds(), 1.0);
}

TEST_F(SoundOption, NeverReplacesTheMidiFileThePictureOrAGoodSoundFile) {
  ASSERT_EQ(RunConverter(folder_, "disc.bmp").exitCode, 0);
  const std::string midi = folder_.File("disc.mid");
  const std::string picture = folder_.File("disc.bmp");
  const std::string soundFont = RequireSoundFont();

  // A sound file named like the picture would replace it; the same for the MIDI file itself.
  std::filesystem::copy_file(picture, folder_.File("picture.wav"));
  const std::string pictureBytes = FileBytes(folder_.File("picture.wav"));
  EXPECT_THROW(
      SaveSoundFile(midi, folder_.File("picture.wav"), soundFont, {folder_.File("picture.wav")}),
      SoundError);
  EXPECT_EQ(FileBytes(folder_.File("picture.wav")), pictureBytes);

  // A failed render (no such SoundFont) leaves the earlier sound file as it was, and no
  // temporary file.
  SaveSoundFile(midi, folder_.File("tune.flac"), soundFont);
  const std::string good = FileBytes(folder_.File("tune.flac"));
  ASSERT_GT(good.size(), 1000u);
  try {
    SaveSoundFile(midi, folder_.File("tune.flac"), folder_.File("none.sf2"));
    ADD_FAILURE() << "a missing SoundFont went unnoticed";
  } catch (const SoundError& error) {
    EXPECT_NE(std::string(error.what()).find("none.sf2"), std::string::npos) << error.what();
  }
  EXPECT_EQ(FileBytes(folder_.File("tune.flac")), good);
  const std::set<std::string> expected = {"disc.bmp", "disc.mid", "musicbox.log", "picture.wav",
                                          "tune.flac"};
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    EXPECT_EQ(expected.count(entry.path().filename().string()), 1u) << entry.path();
  }
}

// A sound file too large for the disk: the old one stays, and the error names it and says the
// disk is full (the sound library itself would not tell when it closes the file).
TEST_F(SoundOption, AFullDiskKeepsTheOldSoundFile) {
  ASSERT_EQ(RunConverter(folder_, "disc.bmp").exitCode, 0);
  const std::string midi = folder_.File("disc.mid");
  SmallDisk disk(folder_.File("disk"), 1 << 20);
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small disk";
  for (const char* name : {"tune.wav", "tune.flac", "tune.ogg"}) {
    SCOPED_TRACE(name);
    const std::string target = disk.File(name);
    std::ofstream(target, std::ios::binary) << "an older sound";
    disk.LeaveFree(4096);
    try {
      SaveSoundFile(midi, target, RequireSoundFont());
      ADD_FAILURE() << "a full disk went unnoticed";
    } catch (const RunError& error) {
      EXPECT_EQ(std::string(error.what()), "\"" + target + "\": Disk full");
    }
    EXPECT_EQ(FileBytes(target), "an older sound");
    std::filesystem::remove(disk.File(".filler"));
  }
}

}  // namespace
}  // namespace tivenor::testing
