// Tunes written as MIDI files become discs with tivenor-punch, and the converter reads each disc
// back, at its default settings, as the notes the maker's report lists.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tests/e2e/note_match.h"
#include "tests/punch/punch_run.h"
#include "tests/punch/punch_songs.h"

namespace tivenor::testing {
namespace {

constexpr const char* kFollowAdvice = "the settings the maker advises";

// The converter's options in the maker's advice: "read it back with --minimum N --maximum M".
std::string AdvisedSettings(const std::string& summary) {
  const std::string lead = "read it back with ";
  const std::size_t at = summary.find(lead);
  if (at == std::string::npos) return "";
  const std::size_t from = at + lead.size();
  return summary.substr(from, summary.find_first_of(";\n", from) - from);
}

struct DiscOutput {
  std::string name;
  std::string extension;
  double dpi = 150;
  std::string render;  // shell command turning disc.<extension> into picture.png, if any
  std::string readerSettings;
};

const DiscOutput kOutputs[] = {
    {"Png150", "png", 150, "", ""},
    // Slots of four times the pixels: the maker says which hole sizes to read them with.
    {"Png300", "png", 300, "", kFollowAdvice},
    {"Bmp150", "bmp", 150, "", ""},
    {"Svg", "svg", 150, "rsvg-convert -d 150 -p 150 disc.svg -o picture.png", ""},
    {"Pdf", "pdf", 150, "pdftoppm -r 150 -png -singlefile disc.pdf picture", ""},
};

struct RoundTrip {
  PunchSong song;
  DiscOutput output;
};

void PrintTo(const RoundTrip& trip, std::ostream* out) {
  *out << trip.song.name << "_" << trip.output.name;
}

std::vector<RoundTrip> AllRoundTrips() {
  std::vector<RoundTrip> trips;
  for (const PunchSong& song : RoundTripSongs()) {
    for (const DiscOutput& output : kOutputs) trips.push_back({song, output});
  }
  return trips;
}

class PunchRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(PunchRoundTrip, TheReaderFindsExactlyTheReportedNotes) {
  const RoundTrip& trip = GetParam();
  TempFolder folder;
  WriteFileBytes(folder.File("tune.mid"), SongBytes(trip.song));
  const std::string disc = "disc." + trip.output.extension;
  const ProgramRun punch = RunPunch(folder, "tune.mid -o " + disc + " --report report.json --dpi " +
                                                std::to_string(static_cast<int>(trip.output.dpi)));
  ASSERT_EQ(punch.exitCode, 0) << punch.errors;
  EXPECT_EQ(LineCount(punch.errors), 1) << punch.errors;

  std::string picture = disc;
  if (!trip.output.render.empty()) {
    const ProgramRun render = RunIn(folder, trip.output.render);
    ASSERT_EQ(render.exitCode, 0) << render.errors;
    picture = "picture.png";
  }
  std::string settings = trip.output.readerSettings;
  if (settings == kFollowAdvice) {
    settings = AdvisedSettings(punch.errors);
    ASSERT_NE(settings, "") << punch.errors;
  } else {
    EXPECT_EQ(punch.errors.find("read it back with"), std::string::npos) << punch.errors;
  }
  const ProgramRun convert = RunConvert(folder, settings + " -o back.mid " + picture);
  ASSERT_EQ(convert.exitCode, 0) << convert.errors;

  const PunchReport report = ReadReport(folder.File("report.json"));
  std::vector<ExpectedNote> punched;
  for (const ReportNote& note : report.notes) punched.push_back({note.key, note.tick, note.pin});
  const NoteComparison comparison = CompareNotes(
      punched, DiscNotesOf(ReadMidiFile(folder.File("back.mid"))), trip.output.dpi / 25.4);
  EXPECT_EQ(comparison.differences, "");
  RecordProperty("worst_tick_error", comparison.worstTickError);
}

INSTANTIATE_TEST_SUITE_P(Discs, PunchRoundTrip, ::testing::ValuesIn(AllRoundTrips()),
                         [](const ::testing::TestParamInfo<RoundTrip>& info) {
                           return info.param.song.name + "_" + info.param.output.name;
                         });

class PunchAccounting : public ::testing::TestWithParam<PunchSong> {};

// Every note-on of the tune but the drums is punched or left out, once; punched notes keep the
// tune's timing as one straight line from seconds to ticks.
TEST_P(PunchAccounting, EveryNoteIsPunchedOrLeftOutOnce) {
  const PunchSong& song = GetParam();
  TempFolder folder;
  WriteFileBytes(folder.File("tune.mid"), SongBytes(song));
  const ProgramRun punch = RunPunch(folder, "tune.mid -o disc.svg --report report.json");
  ASSERT_EQ(punch.exitCode, 0) << punch.errors;
  const PunchReport report = ReadReport(folder.File("report.json"));
  EXPECT_EQ(report.source, "tune.mid");

  std::vector<SourceOnset> accounted;
  for (const ReportNote& note : report.notes) {
    accounted.push_back({note.time, note.sourceKey});
    EXPECT_EQ(note.key, note.sourceKey + report.transpose);
  }
  for (const ReportLeftOut& note : report.leftOut) {
    accounted.push_back({note.time, note.sourceKey});
    EXPECT_FALSE(note.reason.empty());
  }
  std::vector<SourceOnset> expected = TuneOnsets(song.song);
  const auto byTimeAndKey = [](const SourceOnset& a, const SourceOnset& b) {
    return std::abs(a.seconds - b.seconds) > 1e-5 ? a.seconds < b.seconds : a.key < b.key;
  };
  std::sort(accounted.begin(), accounted.end(), byTimeAndKey);
  std::sort(expected.begin(), expected.end(), byTimeAndKey);
  ASSERT_EQ(accounted.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(accounted[i].seconds, expected[i].seconds, 1e-5) << i;
    EXPECT_EQ(accounted[i].key, expected[i].key) << i;
  }
  int drums = 0;
  for (const auto& track : song.song.tracks) {
    drums += static_cast<int>(std::count_if(
        track.begin(), track.end(), [](const SongNote& note) { return note.channel == 9; }));
  }
  EXPECT_EQ(report.drumNotes, drums);
  EXPECT_EQ(punch.errors.find(std::to_string(drums) + " drum notes aside") != std::string::npos,
            drums > 0)
      << punch.errors;

  ASSERT_GE(report.notes.size(), 2u);
  const ReportNote& first = report.notes.front();
  const ReportNote& last = report.notes.back();
  const double ticksPerSecond = (last.tick - first.tick) / (last.time - first.time);
  for (const ReportNote& note : report.notes) {
    EXPECT_NEAR(note.tick, first.tick + ticksPerSecond * (note.time - first.time), 1.0)
        << "at " << note.time << " s";
  }
}

INSTANTIATE_TEST_SUITE_P(Tunes, PunchAccounting, ::testing::ValuesIn(RoundTripSongs()),
                         [](const ::testing::TestParamInfo<PunchSong>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tivenor::testing
