// Reading discs of other formats where it is hard: a track grid off the format's, slots across
// the picture's seam and across the start, stray patches, the picture of a disc's back, another
// turn time, plucked notes, and choosing the format among several.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/disc/disc_format.h"
#include "engine/slots/track_grid.h"
#include "tests/e2e/format_read.h"
#include "tests/e2e/format_tunes.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/midi_reader.h"
#include "tests/support/sample_melody.h"
#include "tests/support/test_formats.h"

namespace tivenor::testing {
namespace {

constexpr double kToleranceDegrees = 0.3;

std::vector<TuneNote> ShortTune(const DiscFormat& format, uint32_t seed = 7) {
  TuneSpec spec;
  spec.notes = 50;
  spec.seed = seed;
  return TuneFor(format, format.turnSeconds, spec);
}

// Draws the tune, reads it back and compares, the reading's time 0 `origin` degrees before the
// tune's first note.
std::string RoundTripDifferences(const DiscFormat& format, const std::vector<TuneNote>& tune,
                                 const SlotPlacement& placement, const FormatDiscOptions& render,
                                 const ReadingOptions& options, double origin) {
  const Raster picture =
      RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds, placement), render);
  const FormatRead read = ReadFormatPicture(picture, options);
  if (read.reading.noNotes) return "no notes read";
  return CompareTune(ExpectedDegrees(tune, format.turnSeconds, origin),
                     ReadDegrees(read.reading.midi, format.turnSeconds), kToleranceDegrees)
      .differences;
}

class GridOffTheFormat : public ::testing::TestWithParam<double> {};

// A worn rim, a lens or another maker's punching: every track a third of a pitch in or out.
TEST_P(GridOffTheFormat, ReadsEveryNoteOnItsKey) {
  const DiscFormat format = Ariston24();
  SlotPlacement placement;
  placement.trackShift = GetParam() * TrackPitch(format);
  const std::vector<TuneNote> tune = ShortTune(format);
  EXPECT_EQ(RoundTripDifferences(format, tune, placement, RenderOptions(format, 200),
                                 ReadAs(format), 0.0),
            "");
}

INSTANTIATE_TEST_SUITE_P(ThirdOfAPitch, GridOffTheFormat, ::testing::Values(1.0 / 3, -1.0 / 3),
                         [](const auto& info) { return info.param > 0 ? "Out" : "In"; });

TEST(GridOffTheFormat, SmallerDiscReadsEveryNoteOnItsKey) {
  // A disc of 32.1 cm punched as the 33 cm format says: in rim units every track lies 2.8 %
  // further out, the outermost more than a pitch.
  const DiscFormat format = Ariston24();
  SlotPlacement placement;
  placement.trackStretch = 330.0 / 321.0;
  EXPECT_EQ(RoundTripDifferences(format, ShortTune(format), placement, RenderOptions(format, 200),
                                 ReadAs(format), 0.0),
            "");
}

// The short tune moved on by `degrees`, leaving its beginning free.
std::vector<TuneNote> LaterTune(const DiscFormat& format, double degrees) {
  TuneSpec spec;
  spec.notes = 50;
  spec.seed = 7;
  spec.spanDegrees = 340.0 - degrees;
  std::vector<TuneNote> tune = TuneFor(format, format.turnSeconds, spec);
  for (TuneNote& note : tune) note.onsetSeconds += degrees / 360.0 * format.turnSeconds;
  return tune;
}

class SlotsAcrossTheSeam : public ::testing::TestWithParam<double> {};

// The start line a little before the picture's +x axis, where angles run from 360 to 0, or
// before its -x axis, where they run from 180 to -180 as measured: the first, long notes run
// across it.
TEST_P(SlotsAcrossTheSeam, AreReadAsOneNoteEach) {
  const DiscFormat format = Ariston24();
  std::vector<TuneNote> tune = LaterTune(format, 25.0);
  tune.push_back({format.keys[3], 0.0, 3.0});
  tune.push_back({format.keys[20], 0.2, 2.0});
  FormatDiscOptions render = RenderOptions(format, 150);
  render.startLineDegrees = GetParam();
  EXPECT_EQ(RoundTripDifferences(format, tune, {}, render, ReadAs(format), 0.0), "");
}

INSTANTIATE_TEST_SUITE_P(Picture, SlotsAcrossTheSeam, ::testing::Values(354.0, 174.0),
                         [](const auto& info) {
                           return info.param > 180.0 ? "PlusXAxis" : "MinusXAxis";
                         });

TEST(SlotsAcrossTheSeamClockwise, AreReadAsOneNoteEach) {
  const DiscFormat format = Clockwise20();
  std::vector<TuneNote> tune = LaterTune(format, 40.0);
  // The start at 30 degrees, the music clockwise: the seam lies 30 degrees into the tune.
  const double seamSeconds = (30.0 - 3.3 - 2.0) / 360.0 * format.turnSeconds;
  tune.push_back({format.keys[0], seamSeconds, 0.5});
  tune.push_back({format.keys[19], seamSeconds + 0.1, 0.4});
  SlotPlacement placement;
  EXPECT_EQ(RoundTripDifferences(format, tune, placement, RenderOptions(format, 150),
                                 ReadAs(format), placement.leadInDegrees),
            "");
}

TEST(SlotAcrossTheStart, SoundsFromTheStartToItsEnd) {
  const DiscFormat format = Clockwise20();
  const double turn = format.turnSeconds;
  SlotPlacement placement;
  placement.leadInDegrees = 0.0;
  // 2 degrees before the start line to 4 degrees after it; one note elsewhere.
  const std::vector<TuneNote> tune = {{format.keys[5], -2.0 / 360 * turn, 6.0 / 360 * turn},
                                      {format.keys[9], 90.0 / 360 * turn, 5.0 / 360 * turn}};
  const Raster picture = RenderFormatDisc(format, SlotsOfTune(format, tune, turn, placement),
                                          RenderOptions(format, 300));
  const FormatRead read = ReadFormatPicture(picture, ReadAs(format));
  ASSERT_FALSE(read.reading.noNotes);
  const std::vector<DegreeNote> expected = {{format.keys[5], 0.0, 4.0},
                                            {format.keys[9], 90.0, 5.0}};
  EXPECT_EQ(
      CompareTune(expected, ReadDegrees(read.reading.midi, turn), kToleranceDegrees).differences,
      "");
}

TEST(StrayPatches, AreReportedNotKeyed) {
  const DiscFormat format = Ariston24();
  const double turn = format.turnSeconds;
  const std::vector<TuneNote> tune = ShortTune(format);
  std::vector<AnnularSlot> slots = SlotsOfTune(format, tune, turn);
  const double pitch = TrackPitch(format);
  const double width = DefaultSlotWidth(format);
  // Half way between tracks 6 and 7; across tracks 12 to 14; a speck.
  slots.push_back({format.trackRadii[5] + 0.5 * pitch, 0.6 * width, 200.0, 4.0});
  slots.push_back({format.trackRadii[12], 2.5 * pitch, 250.0, 3.0});
  slots.push_back({format.trackRadii[18], 0.2 * width, 300.0, 0.15});
  const FormatRead read = ReadFormatPicture(
      RenderFormatDisc(format, slots, RenderOptions(format, 200)), ReadAs(format));
  ASSERT_FALSE(read.reading.noNotes);
  EXPECT_EQ(read.reading.offTrack, 3);
  EXPECT_EQ(read.reading.notesLeftOut, 3);
  EXPECT_EQ(read.reading.notesFound, static_cast<int>(tune.size()) + 3);
  ASSERT_EQ(read.reading.findings.size(), 1u);
  EXPECT_EQ(read.reading.findings[0].concern, Concern::kPatchesOffTrack);
  EXPECT_EQ(read.reading.findings[0].count, 3);
  const std::vector<std::string>& log = read.host.logLines;
  const auto logged = [&](const std::string& words) {
    return std::count_if(log.begin(), log.end(), [&](const std::string& line) {
      return line.find(words) != std::string::npos;
    });
  };
  EXPECT_EQ(logged("fits no track"), 1);
  EXPECT_EQ(logged("is wider than a track"), 1);
  EXPECT_EQ(logged("is smaller than a slot"), 1);
  EXPECT_EQ(CompareTune(ExpectedDegrees(tune, turn, 0.0), ReadDegrees(read.reading.midi, turn),
                        kToleranceDegrees)
                .differences,
            "");
}

TEST(StrayPatches, InsideTheFormatsRingOnlyAreReported) {
  // A light label and the drive holes inside it are light too, but no business of the format.
  const DiscFormat format = Ariston24();
  FormatDiscOptions render = RenderOptions(format, 150);
  render.labelColour = render.lightColour;
  const std::vector<TuneNote> tune = ShortTune(format);
  const FormatRead read = ReadFormatPicture(
      RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds), render),
      ReadAs(format));
  EXPECT_EQ(read.reading.offTrack, 0);
  EXPECT_TRUE(read.reading.findings.empty());
  EXPECT_EQ(CompareTune(ExpectedDegrees(tune, format.turnSeconds, 0.0),
                        ReadDegrees(read.reading.midi, format.turnSeconds), kToleranceDegrees)
                .differences,
            "");
}

TEST(Marks, ShowTheSlotsTheNotePointsTheStartAndWhatWasLeftOut) {
  const DiscFormat format = Ariston24();
  const FormatDiscOptions render = RenderOptions(format, 150);
  const std::vector<TuneNote> tune = ShortTune(format);
  std::vector<AnnularSlot> slots = SlotsOfTune(format, tune, format.turnSeconds);
  const AnnularSlot stray{format.trackRadii[5] + 0.5 * TrackPitch(format), 0.012, 200.0, 4.0};
  slots.push_back(stray);
  const FormatRead read =
      ReadFormatPicture(RenderFormatDisc(format, slots, render), ReadAs(format));
  const Raster& shown = read.host.display;
  const double rim = RimRadiusPx(format, render);
  // The middle of a slot on the picture: music runs counter-clockwise from the start line.
  const auto middleOf = [&](const AnnularSlot& slot) {
    const double angle =
        (render.startLineDegrees + slot.startDegrees + 0.5 * slot.lengthDegrees) * M_PI / 180.0;
    return shown.Pixel(static_cast<int32_t>(std::lround(CentreXPx(format, render) +
                                                        slot.radius * rim * std::cos(angle))),
                       static_cast<int32_t>(std::lround(CentreYPx(format, render) -
                                                        slot.radius * rim * std::sin(angle))));
  };
  EXPECT_EQ(middleOf(slots.front()), kGreen);
  EXPECT_EQ(middleOf(stray), kRed);
  const auto count = [&](uint32_t colour) {
    return std::count(shown.pixels.begin(), shown.pixels.end(), colour);
  };
  EXPECT_GE(count(kBlue), static_cast<long>(tune.size()));
  ASSERT_EQ(read.host.startLines.size(), 1u);
  EXPECT_EQ(shown.Pixel(read.host.startLines[0].second.x, read.host.startLines[0].second.y),
            kYellow);
}

TEST(WidestGap, CountsTimeFromTheFirstSlotAfterIt) {
  // The tune starts 3.3 degrees after the printed line; the widest gap ends at its first slot,
  // which the start line marks.
  const DiscFormat format = Ariston24();
  const std::vector<TuneNote> tune = ShortTune(format);
  FormatDiscOptions render = RenderOptions(format, 150);
  render.startLineDegrees = 200.0;
  const FormatRead read = ReadFormatPicture(
      RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds), render),
      ReadAs(format));
  ASSERT_EQ(read.host.startLines.size(), 1u);
  const auto [from, to] = read.host.startLines[0];
  const double angle =
      std::atan2(static_cast<double>(from.y - to.y), static_cast<double>(to.x - from.x)) * 180.0 /
      3.14159265358979323846;
  EXPECT_NEAR(angle, 203.3 - 360.0, 0.3);
  const std::vector<DegreeNote> read0 = ReadDegrees(read.reading.midi, format.turnSeconds);
  ASSERT_FALSE(read0.empty());
  EXPECT_NEAR(read0.front().onset, 0.0, 0.05);
}

TEST(MirroredPicture, OfTheDiscsBackReadsAsItsFace) {
  const DiscFormat format = PianoPlayer36();
  FormatDiscOptions render = RenderOptions(format, 200);
  render.mirrored = true;
  ReadingOptions options = ReadAs(format);
  options.mirrored = true;
  EXPECT_EQ(RoundTripDifferences(format, ShortTune(format), {}, render, options, 0.0), "");
}

TEST(MirroredPicture, ReadAsTheFaceGivesAnotherTune) {
  const DiscFormat format = PianoPlayer36();
  FormatDiscOptions render = RenderOptions(format, 200);
  render.mirrored = true;
  EXPECT_NE(RoundTripDifferences(format, ShortTune(format), {}, render, ReadAs(format), 0.0), "");
}

TEST(TurnSeconds, GivenForTheReadingSetTheTempo) {
  const DiscFormat format = Clockwise20();
  const std::vector<TuneNote> tune = ShortTune(format);
  ReadingOptions options = ReadAs(format);
  options.turnSeconds = 12.5;
  const FormatRead read =
      ReadFormatPicture(RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds),
                                         RenderOptions(format, 150)),
                        options);
  ASSERT_FALSE(read.reading.noNotes);
  const MidiFile midi = ParseMidi(read.reading.midi);
  EXPECT_LE(SecondsPerTick(midi), 0.001);
  EXPECT_EQ(ProgramOf(midi), format.program);
  // At 12.5 seconds a turn the same slots make the same tune in degrees.
  EXPECT_EQ(CompareTune(ExpectedDegrees(tune, format.turnSeconds, 3.3),
                        ReadDegrees(read.reading.midi, 12.5), kToleranceDegrees)
                .differences,
            "");
}

TEST(PluckedFormat, StrikesEachNoteAtItsSlotsLeadingEnd) {
  DiscFormat format = Clockwise20();
  format.name = "clockwise-20-plucked";
  format.notes = NoteKind::kPlucked;
  format.holeLength = {0.012, 0.02};
  TuneSpec spec;
  spec.notes = 60;
  spec.longestDegrees = 1.0;
  spec.webDegrees = 2.0;
  const std::vector<TuneNote> tune = TuneFor(format, format.turnSeconds, spec);
  const FormatRead read =
      ReadFormatPicture(RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds),
                                         RenderOptions(format, 300)),
                        ReadAs(format));
  ASSERT_FALSE(read.reading.noNotes);
  const std::vector<DegreeNote> notes = ReadDegrees(read.reading.midi, format.turnSeconds);
  EXPECT_EQ(
      CompareTune(ExpectedDegrees(tune, format.turnSeconds, 3.3), notes, kToleranceDegrees, false)
          .differences,
      "");
}

// --format auto among the built-in disc and the three formats here.
std::vector<DiscFormat> Candidates() {
  return {BuiltInDiscFormat(), Ariston24(), PianoPlayer36(), Clockwise20()};
}

struct AutoCase {
  DiscFormat format;
  double dpi;
};

void PrintTo(const AutoCase& c, std::ostream* out) {
  *out << c.format.name << " at " << c.dpi << " dpi";
}

class AutoFormat : public ::testing::TestWithParam<AutoCase> {};

TEST_P(AutoFormat, NamesTheFormatTheDiscWasDrawnIn) {
  const DiscFormat& format = GetParam().format;
  const std::vector<TuneNote> tune = ShortTune(format, 11);
  ReadingOptions options;
  options.candidates = Candidates();
  const FormatRead read =
      ReadFormatPicture(RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds),
                                         RenderOptions(format, GetParam().dpi)),
                        options);
  ASSERT_TRUE(read.reading.formatChoice);
  EXPECT_EQ(read.reading.formatChoice->format.name, format.name);
  EXPECT_GE(read.reading.formatChoice->scores.front().Share(), 0.95);

  EXPECT_EQ(
      CompareTune(ExpectedDegrees(tune, format.turnSeconds, OriginBefore(format, SlotPlacement{})),
                  ReadDegrees(read.reading.midi, format.turnSeconds), kToleranceDegrees)
          .differences,
      "");
}

std::vector<AutoCase> AutoCases() {
  std::vector<AutoCase> cases;
  for (const DiscFormat& format : {Ariston24(), PianoPlayer36(), Clockwise20()}) {
    for (const double dpi : {150.0, 300.0}) cases.push_back({format, dpi});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Formats, AutoFormat, ::testing::ValuesIn(AutoCases()),
                         [](const auto& info) {
                           std::string name = info.param.format.name + "_" +
                                              std::to_string(static_cast<int>(info.param.dpi)) +
                                              "dpi";
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(AutoFormat, NamesTheBuiltInDiscAndReadsItAsTheBuiltInRoadDoes) {
  const DiscOptions drawn = SampleDiscOptions();
  const Raster picture = RenderDisc(SampleMelody(), drawn);
  ReadingOptions options;
  options.candidates = Candidates();
  const FormatRead chosen = ReadFormatPicture(picture, options);
  const FormatRead builtIn = ReadFormatPicture(picture, ReadingOptions{});
  ASSERT_TRUE(chosen.reading.formatChoice);
  EXPECT_EQ(chosen.reading.formatChoice->format.name, BuiltInDiscFormat().name);

  EXPECT_FALSE(builtIn.reading.formatChoice);
  EXPECT_EQ(chosen.reading.midi, builtIn.reading.midi);
  EXPECT_EQ(chosen.host.logLines, builtIn.host.logLines);
}

// The converter's host hands its display over to the reading instead of copying it.
class HandingOverHost : public MemoryHost {
 public:
  using MemoryHost::MemoryHost;
  void CopyDisplayedPicture(Raster& into) override { into = std::exchange(display, Raster{}); }
};

TEST(AutoFormat, GivesTheBuiltInRoadThePictureBackUnmarked) {
  const Raster picture = RenderDisc(SampleMelody(), SampleDiscOptions());
  HandingOverHost host(picture);
  ScanState state;
  state.SourceFileName = "disc.bmp";
  state.PictureLoaded = true;
  state.PictureClean = true;
  ReadingOptions options;
  options.candidates = Candidates();
  const DiscReading chosen = ReadDisc(state, host, options);
  EXPECT_EQ(host.reloads, 0);
  EXPECT_EQ(chosen.midi, ReadFormatPicture(picture, ReadingOptions{}).reading.midi);
}

// A front-lit disc of a given colour with a label, read with the host's threshold of 100.
FormatRead ReadFrontLitDisc(uint32_t discColour, const std::vector<TuneNote>& tune) {
  const DiscFormat format = Ariston24();
  FormatDiscOptions render = RenderOptions(format, 150);
  render.discColour = discColour;
  render.labelColour = 0x00C8D2D7;
  render.lightColour = 0x00FAFAFA;
  return ReadFormatPicture(
      RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds), render),
      ReadAs(format));
}

TEST(Threshold, ThatTakesAFrontLitDiscForLightGivesWayToTheFittedOne) {
  const DiscFormat format = Ariston24();
  const std::vector<TuneNote> tune = ShortTune(format);
  // Grey board, lighter than 100 in every channel.
  const FormatRead read = ReadFrontLitDisc(0x00A0A0A0, tune);
  ASSERT_FALSE(read.reading.noNotes);
  ASSERT_FALSE(read.host.logLines.empty());
  EXPECT_EQ(
      read.host.logLines.front().rfind("Most of the disc is lighter than the threshold 100", 0),
      0u);
  EXPECT_EQ(CompareTune(ExpectedDegrees(tune, format.turnSeconds, 0.0),
                        ReadDegrees(read.reading.midi, format.turnSeconds), kToleranceDegrees)
                .differences,
            "");
}

TEST(Threshold, BrownBoardIsReadInTheChannelItsHolesStandOutIn) {
  const DiscFormat format = Ariston24();
  const std::vector<TuneNote> tune = ShortTune(format);
  // Brown cardboard: red 140 is lighter than the threshold, blue 48 is not.
  const FormatRead read = ReadFrontLitDisc(0x00305A8C, tune);
  ASSERT_FALSE(read.reading.noNotes);
  ASSERT_FALSE(read.host.logLines.empty());
  EXPECT_EQ(read.host.logLines.front(), "The holes stand out most in the blue channel: read in it");
  EXPECT_EQ(CompareTune(ExpectedDegrees(tune, format.turnSeconds, 0.0),
                        ReadDegrees(read.reading.midi, format.turnSeconds), kToleranceDegrees)
                .differences,
            "");
}

}  // namespace
}  // namespace tivenor::testing
