#include "tests/support/test_formats.h"

namespace tivenor::testing {

namespace {

void EvenTracks(DiscFormat& format, double first, double pitch, std::vector<uint8_t> keys) {
  format.keys = std::move(keys);
  format.trackRadii.clear();
  for (std::size_t k = 0; k < format.keys.size(); ++k)
    format.trackRadii.push_back(first + pitch * static_cast<double>(k));
}

}  // namespace

DiscFormat Ariston24() {
  constexpr double kRimMm = 165.0;
  DiscFormat format;
  format.name = "ariston-24";
  format.title = "Ariston organette disc, 24 tracks, 33 cm";
  format.diameterMm = 330.0;
  EvenTracks(format, 0.4195, 0.02374, {45, 47, 50, 52, 57, 59, 61, 62, 64, 66, 68, 69,
                                       71, 73, 74, 75, 76, 78, 79, 80, 81, 83, 85, 86});
  format.ringInner = 62.3 / kRimMm;
  format.ringOuter = 162.0 / kRimMm;
  format.labelRadius = 0.378;
  format.music = MusicDirection::kCounterClockwise;
  format.turnSeconds = 60.0;
  format.start = StartRule::kLine;
  format.notes = NoteKind::kSustained;
  format.program = 20;
  format.holeLength = {2.0 / kRimMm, 60.0 / kRimMm};
  format.holeWidth = {3.0 / kRimMm, 5.0 / kRimMm};
  format.driveHoleRadius = 0.22;
  format.driveHoles = 4;
  return format;
}

DiscFormat PianoPlayer36() {
  DiscFormat format;
  format.name = "piano-player-36";
  format.title = "Piano player disc, 36 tracks";
  EvenTracks(format, 0.325, 0.01846,
             {43, 45, 47, 48, 50, 52, 53, 54, 55, 57, 59, 60, 61, 62, 63, 64, 65, 66,
              67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84});
  format.ringInner = 0.30;
  format.ringOuter = 0.99;
  format.labelRadius = 0.30;
  format.music = MusicDirection::kCounterClockwise;
  format.turnSeconds = 40.0;
  format.start = StartRule::kLine;
  format.notes = NoteKind::kSustained;
  format.program = 0;
  format.holeLength = {0.008, 0.4};
  format.holeWidth = {0.011, 0.017};
  return format;
}

DiscFormat Clockwise20() {
  constexpr double kRimMm = 100.0;
  DiscFormat format;
  format.name = "clockwise-20";
  format.title = "Test disc, 20 tracks, 20 cm, clockwise";
  format.diameterMm = 200.0;
  EvenTracks(format, 40.0 / kRimMm, 3.0 / kRimMm,
             {48, 50, 52, 53, 55, 57, 59, 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81});
  format.ringInner = 36.0 / kRimMm;
  format.ringOuter = 99.0 / kRimMm;
  format.labelRadius = 0.34;
  format.music = MusicDirection::kClockwise;
  format.turnSeconds = 30.0;
  format.start = StartRule::kAngle;
  format.startAngleDegrees = 30.0;
  format.notes = NoteKind::kSustained;
  format.program = 73;
  format.holeLength = {1.5 / kRimMm, 40.0 / kRimMm};
  format.holeWidth = {2.0 / kRimMm, 2.8 / kRimMm};
  return format;
}

}  // namespace tivenor::testing
