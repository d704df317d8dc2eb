#include "tests/support/made_disc_formats.h"

namespace tivenor::testing {
namespace {

void EvenTracks(DiscFormat& format, double first, double pitch) {
  for (std::size_t track = 0; track < format.keys.size(); ++track) {
    format.trackRadii.push_back(first + pitch * static_cast<double>(track));
  }
}

}  // namespace

DiscFormat OrganetteFormat() {
  DiscFormat format;
  format.name = "ariston-24";
  format.title = "Ariston organette disc, 24 tracks, 33 cm";
  format.diameterMm = 330.0;
  format.keys = {45, 47, 50, 52, 57, 59, 61, 62, 64, 66, 68, 69,
                 71, 73, 74, 75, 76, 78, 79, 80, 81, 83, 85, 86};
  EvenTracks(format, 0.4195, 0.02374);
  format.ringInner = 0.395;
  format.ringOuter = 0.99;
  format.labelRadius = 0.378;
  format.music = MusicDirection::kCounterClockwise;
  format.turnSeconds = 60.0;
  format.start = StartRule::kLine;
  format.notes = NoteKind::kSustained;
  format.program = 20;
  format.holeLength = {0.012, 0.36};
  format.holeWidth = {0.019, 0.023};
  format.driveHoleRadius = 0.22;
  format.driveHoles = 4;
  return format;
}

DiscFormat PianoPlayerFormat() {
  DiscFormat format;
  format.name = "piano-player-36";
  format.title = "Piano player disc, 36 tracks";
  format.keys = {43, 45, 47, 48, 50, 52, 53, 54, 55, 57, 59, 60, 61, 62, 63, 64, 65, 66,
                 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84};
  EvenTracks(format, 0.325, 0.01846);
  format.ringInner = 0.31;
  format.ringOuter = 0.99;
  format.labelRadius = 0.30;
  format.music = MusicDirection::kCounterClockwise;
  format.turnSeconds = 90.0;
  format.start = StartRule::kLine;
  format.notes = NoteKind::kSustained;
  format.program = 0;
  format.holeLength = {0.01, 0.3};
  format.holeWidth = {0.013, 0.017};
  return format;
}

DiscFormat ClockwisePluckedFormat() {
  DiscFormat format;
  format.name = "test-clockwise-20";
  format.title = "A plucked disc of 20 tracks that turns the other way, 200 mm";
  format.diameterMm = 200.0;
  for (int key = 60; key < 80; ++key) format.keys.push_back(static_cast<uint8_t>(key));
  EvenTracks(format, 0.5, 0.022);
  format.ringInner = 0.48;
  format.ringOuter = 0.95;
  format.music = MusicDirection::kClockwise;
  format.turnSeconds = 30.0;
  format.start = StartRule::kWidestGap;
  format.notes = NoteKind::kPlucked;
  format.program = 10;
  format.holeLength = {0.015, 0.025};
  format.holeWidth = {0.008, 0.012};
  return format;
}

}  // namespace tivenor::testing
