#include "tests/punch/made_formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "adapters/format_file/find_format.h"
#include "engine/making/format_turn.h"
#include "tests/punch/punch_run.h"

namespace tivenor::testing {

namespace {

// 24 cm, 28 tracks, the music clockwise from a fixed angle, with a label and three drive holes.
constexpr const char* kOwnFormatText = R"({
  "format": 1,
  "name": "round-trip-28",
  "title": "Round-trip disc, 28 tracks, 24 cm, clockwise",
  "unit": "mm",
  "diameter": 240,
  "tracks": {
    "first": 45,
    "pitch": 2.5,
    "keys": [53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66,
             67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80]
  },
  "ring": [42, 115],
  "label": 40,
  "drive_holes": { "radius": 25, "count": 3 },
  "music": "clockwise",
  "turn_seconds": 45,
  "start": { "angle": 200 },
  "notes": "sustained",
  "program": 19,
  "holes": { "length": [2, 50], "width": [1.5, 2] }
}
)";

constexpr uint16_t kDivision = 480;
constexpr uint32_t kMicrosecondsPerQuarter = 500000;
constexpr double kTicksPerSecond = kDivision * 1e6 / kMicrosecondsPerQuarter;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// Notes a track on average.
constexpr int kNotesPerTrack = 5;
// The maker's shortest slot is at most the format's widest hole, or a little over its shortest
// hole; notes are kept this much longer than either.
constexpr double kShortestOverHoles = 1.25;
// Card the maker leaves between two slots on a track is less than this, in millimetres.
constexpr double kWebMm = 1.5;

uint32_t Ticks(double seconds) {
  return static_cast<uint32_t>(std::lround(seconds * kTicksPerSecond));
}

}  // namespace

std::vector<MadeFormat> MadeFormats() {
  return {{"Ariston24", "ariston-24", "", 0.0, true},
          {"PianoPlayer36At300mm", "piano-player-36", "", 300.0, true},
          {"Own28Clockwise", "round-trip-28.json", kOwnFormatText, 0.0, false}};
}

DiscFormat PrepareFormat(const MadeFormat& made, const TempFolder& folder) {
  if (made.fileText.empty()) return FindFormat(made.argument);
  WriteFileBytes(folder.File(made.argument),
                 std::vector<uint8_t>(made.fileText.begin(), made.fileText.end()));
  return FindFormat(folder.File(made.argument));
}

double DiameterMm(const MadeFormat& made, const DiscFormat& format) {
  return made.diameterMm > 0.0 ? made.diameterMm : format.diameterMm;
}

std::string PunchFormatArguments(const MadeFormat& made) {
  std::string arguments = "--format " + made.argument + " --transpose 0";
  if (made.diameterMm > 0.0) {
    arguments += " --diameter " + std::to_string(static_cast<int>(made.diameterMm));
  }
  return arguments;
}

FormatSong SongFor(const DiscFormat& format, double diameterMm, uint32_t seed) {
  const double rimMm = 0.5 * diameterMm;
  const double innermostMm = format.trackRadii.front() * rimMm;
  const double shortestMm = kShortestOverHoles *
                            std::max(1.2 * format.holeLength.minimum, format.holeWidth.maximum) *
                            rimMm;
  TuneSpec spec;
  spec.notes = kNotesPerTrack * format.TrackCount();
  spec.seed = seed;
  spec.shortestDegrees = shortestMm / innermostMm * kDegreesPerRadian;
  spec.longestDegrees = std::max(spec.longestDegrees, 3.0 * spec.shortestDegrees);
  spec.webDegrees = kWebMm / innermostMm * kDegreesPerRadian;
  const std::vector<TuneNote> tune = TuneFor(format, format.turnSeconds, spec);

  FormatSong song;
  song.song.division = kDivision;
  song.song.tempos = {{0, kMicrosecondsPerQuarter}};
  std::vector<SongNote> track;
  for (const TuneNote& note : tune) {
    const uint32_t on = Ticks(note.onsetSeconds);
    const uint32_t length = Ticks(note.onsetSeconds + note.lengthSeconds) - on;
    track.push_back({on, note.key, 0, 90, length});
    song.notes.push_back({note.key, on / kTicksPerSecond, length / kTicksPerSecond});
  }
  song.song.tracks = {track};
  return song;
}

std::vector<DegreeNote> ExpectedOfSong(const FormatSong& song, const DiscFormat& format,
                                       bool fromPrintedLine) {
  const double origin = format.start == StartRule::kAngle || fromPrintedLine ? kLeadInDegrees : 0.0;
  return ExpectedDegrees(song.notes, format.turnSeconds, origin);
}

double ToleranceDegrees(const DiscFormat& format, double pixelsPerRim) {
  constexpr double kTicksAndRimDegrees = 0.05;
  return kDegreesPerRadian / (format.trackRadii.front() * pixelsPerRim) + kTicksAndRimDegrees;
}

TuneComparison CompareWithSong(const std::string& midiFile, const FormatSong& song,
                               const DiscFormat& format, double toleranceDegrees,
                               bool fromPrintedLine) {
  const std::string bytes = ReadText(midiFile);
  return CompareTune(
      ExpectedOfSong(song, format, fromPrintedLine),
      ReadDegrees(std::vector<uint8_t>(bytes.begin(), bytes.end()), format.turnSeconds),
      toleranceDegrees);
}

void ExpectAutoAgreesWithTheName(const ProgramRun& chosen, const DiscFormat& format, bool bundled,
                                 const TempFolder& folder) {
  if (bundled) {
    ASSERT_EQ(chosen.exitCode, 0) << chosen.errors;
    EXPECT_NE(chosen.errors.find("; format " + format.name + " (auto: 100% of slots on track)"),
              std::string::npos)
        << chosen.errors;
    EXPECT_EQ(ReadText(folder.File("chosen.mid")), ReadText(folder.File("named.mid")));
  } else {
    // Not a format auto knows: it says so, names the closest, and writes nothing.
    EXPECT_EQ(chosen.exitCode, 1) << chosen.errors;
    EXPECT_NE(chosen.errors.find("the slots do not fit any known format: closest "),
              std::string::npos)
        << chosen.errors;
    EXPECT_FALSE(std::filesystem::exists(folder.File("chosen.mid")));
  }
}

}  // namespace tivenor::testing
