// Tunes laid out on discs of other formats than the built-in one: tracks, degrees, slot lengths,
// the card between slots and where the music starts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "engine/making/layout_disc.h"
#include "engine/making/layout_error.h"
#include "engine/making/layout_warnings.h"
#include "tests/support/made_disc_formats.h"

namespace tivenor {
namespace {

using testing::ClockwisePluckedFormat;
using testing::OrganetteFormat;
using testing::PianoPlayerFormat;

constexpr double kDegreeTolerance = 0.1;

LayoutOptions OnFormat(const DiscFormat& format) {
  LayoutOptions options;
  options.format = format;
  options.transpose = 0;
  return options;
}

double Normalised(double degrees) {
  return degrees - 360.0 * std::floor(degrees / 360.0);
}

// Degrees between two directions, either way round.
double Apart(double a, double b) {
  const double difference = Normalised(a - b);
  return std::min(difference, 360.0 - difference);
}

double ArcDegrees(const PunchedNote& note) {
  return note.arc.toDegrees - note.arc.fromDegrees;
}

double DegreesOfMm(double mm, double radiusMm) {
  return mm / radiusMm * 180.0 / std::numbers::pi;
}

// A tune of `count` notes, note i made by `note(i)`.
template <typename MakeNote>
std::vector<NoteOnset> TuneOf(int count, MakeNote note) {
  std::vector<NoteOnset> tune;
  tune.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) tune.push_back(note(i));
  return tune;
}

bool HasWarning(const DiscLayout& layout, const std::string& text) {
  const std::vector<std::string> warnings = LayoutWarnings(layout);
  return std::any_of(warnings.begin(), warnings.end(),
                     [&](const std::string& warning) { return warning.find(text) == 0; });
}

TEST(FormatLayoutTest, SustainedNotesLieOnTheirTracksAsLongAsTheySound) {
  const DiscFormat format = OrganetteFormat();
  const std::vector<NoteOnset> tune = TuneOf(format.TrackCount(), [&](int track) {
    return NoteOnset{1.0 + 1.5 * track, format.keys[track], 0, 0.6 + 0.05 * track};
  });
  const DiscLayout layout = LayoutDisc(tune, OnFormat(format));
  ASSERT_EQ(layout.notes.size(), tune.size());
  EXPECT_DOUBLE_EQ(layout.placement.secondsPerTurn, 60.0);
  const double rim = 165.0;
  for (std::size_t i = 0; i < tune.size(); ++i) {
    const PunchedNote& note = layout.notes[i];
    ASSERT_EQ(format.keys[note.pin], note.key);
    EXPECT_NEAR(note.arc.radiusMm, format.trackRadii[note.pin] * rim, 1e-9);
    EXPECT_NEAR(note.arc.widthMm, 0.021 * rim, 1e-9);
    EXPECT_NEAR(ArcDegrees(note), tune[i].lengthSeconds / 60.0 * 360.0, kDegreeTolerance);
    EXPECT_NEAR(note.lengthSeconds, tune[i].lengthSeconds, 1e-9);
    // The first note 3.3° after the start line, the others as many degrees later as seconds.
    const double degrees = 3.3 + (tune[i].seconds - 1.0) / 60.0 * 360.0;
    EXPECT_NEAR(note.degrees, degrees, 1e-9);
    // Counter-clockwise from the line at the top: the slot's leading end is its `from`.
    EXPECT_LT(Apart(note.arc.fromDegrees, 90.0 + degrees), 1e-9);
  }
  EXPECT_TRUE(LayoutWarnings(layout).empty());
}

TEST(FormatLayoutTest, AClockwisePluckedDiscRunsTheOtherWayWithSlotsOfOneLength) {
  const DiscFormat format = ClockwisePluckedFormat();
  const std::vector<NoteOnset> tune = TuneOf(20, [](int i) {
    return NoteOnset{0.5 * i, 60 + i, 0, 2.0};
  });
  const DiscLayout layout = LayoutDisc(tune, OnFormat(format));
  ASSERT_EQ(layout.notes.size(), tune.size());
  const double plucked = 0.02 * 100.0;  // the middle of the format's slot lengths
  for (std::size_t i = 0; i < tune.size(); ++i) {
    const PunchedNote& note = layout.notes[i];
    EXPECT_EQ(note.pin, static_cast<int>(i));
    EXPECT_NEAR(ArcDegrees(note), DegreesOfMm(plucked, note.arc.radiusMm), 1e-9);
    // Clockwise: the leading end is the slot's `to`, at the start less the degrees.
    EXPECT_LT(Apart(note.arc.toDegrees, layout.placement.startDegrees - note.degrees), 1e-9);
    EXPECT_NEAR(note.degrees, 3.3 + tune[i].seconds / 30.0 * 360.0, 1e-9);
  }
  // Later notes lie further clockwise.
  EXPECT_LT(Apart(layout.notes[1].arc.toDegrees, layout.notes[0].arc.toDegrees - 6.0), 1e-9);
}

TEST(FormatLayoutTest, RepeatsOnATrackKeepTheirWebOrMerge) {
  const DiscFormat format = OrganetteFormat();
  LayoutOptions options = OnFormat(format);
  // Legato repeats of key 57 (track 5): each note sounds until the next begins.
  const DiscLayout legato =
      LayoutDisc({{0.0, 57, 0, 1.0}, {1.0, 57, 0, 1.0}, {2.0, 57, 0, 1.0}}, options);
  ASSERT_EQ(legato.notes.size(), 3u);
  const double radius = legato.notes[0].arc.radiusMm;
  for (int i = 0; i < 2; ++i) {
    const double web =
        legato.notes[i + 1].degrees - (legato.notes[i].degrees + ArcDegrees(legato.notes[i]));
    EXPECT_NEAR(web, DegreesOfMm(options.slotGapMm, radius), 1e-9);
  }
  EXPECT_NEAR(ArcDegrees(legato.notes[2]), 6.0, 1e-9);
  EXPECT_TRUE(HasWarning(legato, "2 notes shortened to leave 0.8 mm of card"));

  // A second note too soon for two slots: the first slot lasts until the second note ends.
  const DiscLayout close = LayoutDisc({{0.0, 57, 0, 0.5}, {0.1, 57, 0, 1.0}}, options);
  ASSERT_EQ(close.notes.size(), 1u);
  ASSERT_EQ(close.leftOut.size(), 1u);
  EXPECT_EQ(LeftOutText(close.leftOut[0]),
            "too close to the slot before it on track 5: merged into it");
  EXPECT_NEAR(ArcDegrees(close.notes[0]), 1.1 / 60.0 * 360.0, 1e-9);
}

// Card left between two slots that sound together on neighbouring tracks, in mm.
double CardBetween(const PunchedNote& inner, const PunchedNote& outer) {
  return (outer.arc.radiusMm - outer.arc.widthMm / 2) -
         (inner.arc.radiusMm + inner.arc.widthMm / 2);
}

// Slots as wide as the format's typical holes would leave a tenth of a pitch between tracks: a
// quarter of a millimetre on a 30 cm piano player's disc, a web no picture of it shows.
TEST(FormatLayoutTest, NeighbouringTracksKeepTheirWeb) {
  DiscFormat format = PianoPlayerFormat();
  format.holeWidth = {0.01, 0.025};
  LayoutOptions options = OnFormat(format);
  options.diameterMm = 300.0;
  const std::vector<NoteOnset> chord = {{0.0, 43, 0, 1.0}, {0.0, 45, 0, 1.0}};
  const DiscLayout layout = LayoutDisc(chord, options);
  ASSERT_EQ(layout.notes.size(), 2u);
  EXPECT_NEAR(CardBetween(layout.notes[0], layout.notes[1]), options.trackWebMm, 1e-9);
  EXPECT_NEAR(layout.placement.trackWebMm, options.trackWebMm, 1e-9);
  EXPECT_NEAR(layout.notes[0].arc.widthMm, 0.01846 * 150.0 - options.trackWebMm, 1e-9);

  // Tracks closer than twice the web: slot and card share the pitch.
  options.diameterMm = 40.0;
  const DiscLayout small = LayoutDisc(chord, options);
  const double pitchMm = 0.01846 * 20.0;
  EXPECT_NEAR(small.notes[0].arc.widthMm, pitchMm / 2, 1e-9);
  EXPECT_NEAR(CardBetween(small.notes[0], small.notes[1]), pitchMm / 2, 1e-9);

  // Where the format's holes leave more card, they keep their width.
  options.diameterMm = 300.0;
  options.trackWebMm = 0.1;
  EXPECT_NEAR(LayoutDisc(chord, options).notes[0].arc.widthMm, 0.9 * 0.01846 * 150.0, 1e-9);
}

TEST(FormatLayoutTest, PluckedRepeatsWithoutRoomAreLeftOutNeverMoved) {
  LayoutOptions options = OnFormat(ClockwisePluckedFormat());
  const DiscLayout layout = LayoutDisc({{0.0, 62, 0}, {0.02, 62, 0}, {1.0, 62, 0}}, options);
  ASSERT_EQ(layout.notes.size(), 2u);
  ASSERT_EQ(layout.leftOut.size(), 1u);
  EXPECT_EQ(LeftOutText(layout.leftOut[0]), "no room for its slot on track 3");
  EXPECT_DOUBLE_EQ(layout.notes[1].seconds, 1.0);
}

TEST(FormatLayoutTest, ShortAndLengthlessNotesGetTheShortestSlot) {
  const DiscFormat format = OrganetteFormat();
  const DiscLayout layout =
      LayoutDisc({{0.0, 57, 0, 0.0}, {1.0, 59, 0, 0.0}, {2.0, 61, 0, 0.01}}, OnFormat(format));
  ASSERT_EQ(layout.notes.size(), 3u);
  const double shortest = 0.021 * 165.0;  // as wide as a slot: more than the format's least
  EXPECT_DOUBLE_EQ(layout.placement.shortestSlotMm, shortest);
  for (const PunchedNote& note : layout.notes) {
    EXPECT_NEAR(ArcDegrees(note), DegreesOfMm(shortest, note.arc.radiusMm), 1e-9);
  }
  EXPECT_TRUE(HasWarning(layout,
                         "the tune gives no length for 2 notes: punched as the shortest "
                         "slot (3.5 mm)"));
  EXPECT_TRUE(HasWarning(layout, "1 note shorter than the shortest slot (3.5 mm)"));
}

TEST(FormatLayoutTest, NotesTheFormatCannotPlayAreLeftOutWithTheirReason) {
  const DiscLayout layout =
      LayoutDisc({{0.0, 57, 0, 0.5}, {0.0, 57, 1, 0.5}, {1.0, 58, 0, 0.5}, {2.0, 36, 9, 0.5}},
                 OnFormat(OrganetteFormat()));
  EXPECT_EQ(layout.drumNotes, 1);
  ASSERT_EQ(layout.leftOut.size(), 2u);
  EXPECT_EQ(LeftOutText(layout.leftOut[0]), "repeats key 57 at the same time");
  EXPECT_EQ(LeftOutText(layout.leftOut[1]), "no track plays key 58");
  EXPECT_THROW(LayoutDisc({{0.0, 58, 0, 0.5}}, OnFormat(OrganetteFormat())), LayoutError);
}

TEST(FormatLayoutTest, TheTransposeIsChosenWithinTheFormatsKeys) {
  const DiscFormat format = OrganetteFormat();
  std::vector<NoteOnset> tune;
  for (const uint8_t key : format.keys) tune.push_back({tune.size() * 0.5, key - 12, 0, 0.3});
  LayoutOptions options = OnFormat(format);
  options.transpose.reset();
  const DiscLayout layout = LayoutDisc(tune, options);
  EXPECT_EQ(layout.transpose, 12);
  EXPECT_EQ(layout.notes.size(), tune.size());
}

TEST(FormatLayoutTest, TheTuneLiesBetweenTheLineAndItsLastDegrees) {
  const DiscFormat format = OrganetteFormat();
  // 58.5 s of a 60 s turn: from 3.3° to 354.3°.
  const DiscLayout layout =
      LayoutDisc({{2.0, 57, 0, 0.5}, {30.0, 59, 0, 1.0}, {59.0, 61, 0, 1.5}}, OnFormat(format));
  EXPECT_DOUBLE_EQ(layout.notes.front().degrees, 3.3);
  const PunchedNote& last = layout.notes.back();
  EXPECT_NEAR(last.degrees + ArcDegrees(last), 3.3 + 58.5 * 6.0, 1e-9);

  try {
    LayoutDisc({{0.0, 57, 0, 0.5}, {58.5, 59, 0, 1.0}}, OnFormat(format));
    FAIL() << "a tune longer than the turn holds was laid out";
  } catch (const LayoutError& error) {
    EXPECT_STREQ(error.what(),
                 "the tune lasts 59.50 s from its first note to the end of its last; at 60 s per "
                 "turn a disc holds 58.78 s");
  }
}

TEST(FormatLayoutTest, OtherStartRulesKeepTheirPlaces) {
  DiscFormat sectors = OrganetteFormat();
  sectors.start = StartRule::kSectors;
  sectors.startSectors = 24;
  const std::vector<NoteOnset> tune = TuneOf(100, [&](int i) {
    return NoteOnset{0.55 * i, sectors.keys[i % 24], 0, 0.5};
  });
  const DiscLayout bySectors = LayoutDisc(tune, OnFormat(sectors));
  ASSERT_EQ(bySectors.notes.size(), tune.size());
  EXPECT_DOUBLE_EQ(bySectors.placement.startDegrees, 7.5);
  for (const PunchedNote& note : bySectors.notes) {
    // Sector 0, 0° to 15°, stays empty for the reader's start search.
    EXPECT_GE(note.arc.fromDegrees, 15.0);
    EXPECT_LE(note.arc.toDegrees, 360.0);
  }

  DiscFormat angle = OrganetteFormat();
  angle.start = StartRule::kAngle;
  angle.startAngleDegrees = 200.0;
  const DiscLayout byAngle = LayoutDisc({{0.0, 57, 0, 0.5}}, OnFormat(angle));
  EXPECT_NEAR(byAngle.notes[0].arc.fromDegrees, 203.3, 1e-9);
}

TEST(FormatLayoutTest, AWidestGapStartIsClearlyTheWidestWhenTheTurnIsFree) {
  DiscFormat format = ClockwisePluckedFormat();
  format.turnSeconds = 0.0;  // no speed of its own: the maker chooses it
  // Ten notes, a rest of 7.5 s, ten notes.
  const std::vector<NoteOnset> tune = TuneOf(20, [](int i) {
    return NoteOnset{0.5 * i + (i < 10 ? 0.0 : 7.0), 60 + i % 10, 0};
  });
  const DiscLayout layout = LayoutDisc(tune, OnFormat(format));
  ASSERT_EQ(layout.notes.size(), tune.size());
  const FormatPlacement& placement = layout.placement;
  EXPECT_GE(placement.startGapDegrees, 1.5 * placement.widestRestDegrees - 1e-6);
  EXPECT_LE(placement.startGapDegrees, 1.5 * placement.widestRestDegrees + 0.01);
  EXPECT_TRUE(LayoutWarnings(layout).empty());

  // At the format's own speed the tune fills the turn: the rest is wider than the gap.
  format.turnSeconds = 17.0;
  const DiscLayout fixed = LayoutDisc(tune, OnFormat(format));
  EXPECT_TRUE(HasWarning(fixed, "a rest of "));
}

TEST(FormatLayoutTest, ARimFormatTakesTheGivenDiameterAndHasNoNoteCap) {
  const DiscFormat format = PianoPlayerFormat();
  const std::vector<NoteOnset> tune = TuneOf(900, [&](int i) {
    return NoteOnset{0.09 * i, format.keys[(i * 7) % 36], 0, 0.05};
  });
  LayoutOptions options = OnFormat(format);
  EXPECT_THROW(LayoutDisc(tune, options), LayoutError);
  options.diameterMm = 400.0;
  const DiscLayout layout = LayoutDisc(tune, options);
  EXPECT_EQ(layout.notes.size(), 900u);
  EXPECT_TRUE(layout.leftOut.empty());
  EXPECT_DOUBLE_EQ(layout.placement.diameterMm, 400.0);
  for (const PunchedNote& note : layout.notes) {
    EXPECT_NEAR(note.arc.radiusMm, format.trackRadii[note.pin] * 200.0, 1e-9);
  }
}

}  // namespace
}  // namespace tivenor
