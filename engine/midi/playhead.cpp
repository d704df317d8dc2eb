#include "engine/midi/playhead.h"

#include <algorithm>
#include <cmath>

#include "engine/disc/geometry.h"
#include "engine/midi/midi_buffer.h"

namespace tivenor {

namespace {

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

PlayheadMap MakePlayheadMap(const ScanState& state) {
  PlayheadMap map;
  map.centre = {state.CenterX, state.CenterY};
  map.radius = kRimRadiusMm * state.PixelsPerMm;
  map.startAngle = state.StartAngle;
  // The transcription turned the notes clockwise by the start angle; turn them back to where
  // they stand on the picture.
  const double cs = std::cos(kTwoPi * state.StartAngle);
  const double sn = std::sin(kTwoPi * state.StartAngle);
  for (int32_t place = 1; place <= state.NoteCount; ++place) {
    const int32_t note = state.NoteOrder[place];
    if (!state.NoteHasPin[note]) continue;
    const double x = state.NoteX[note] * cs - state.NoteY[note] * sn;
    const double y = state.NoteX[note] * sn + state.NoteY[note] * cs;
    map.notes.push_back(
        {{state.CenterX + x * state.PixelsPerMm, state.CenterY - y * state.PixelsPerMm},
         state.NoteTime[note]});
  }
  return map;
}

double MidiSecondsAt(double midiTicks) {
  // The header's division and its one tempo event.
  constexpr double kTicksPerQuarter = MidiHeaderTemplate[12] << 8 | MidiHeaderTemplate[13];
  constexpr double kMicrosecondsPerQuarter =
      MidiHeaderTemplate[26] << 16 | MidiHeaderTemplate[27] << 8 | MidiHeaderTemplate[28];
  return midiTicks * kMicrosecondsPerQuarter / kTicksPerQuarter * 1e-6;
}

double DiscTicksAt(double midiTicks) {
  return std::max(0.0, midiTicks - MidiSetUpTicks);
}

double PlayheadAngle(const PlayheadMap& map, double discTicks) {
  const double angle = map.startAngle + discTicks / kTicksPerTurn;
  return angle - std::floor(angle);
}

PixelPointF PlayheadEnd(const PlayheadMap& map, double discTicks) {
  const double radians = kTwoPi * PlayheadAngle(map, discTicks);
  return {map.centre.x + map.radius * std::cos(radians),
          map.centre.y - map.radius * std::sin(radians)};
}

std::size_t NotesPlayed(const PlayheadMap& map, double discTicks) {
  const auto after =
      std::upper_bound(map.notes.begin(), map.notes.end(), discTicks,
                       [](double ticks, const PlayheadNote& note) { return ticks < note.time; });
  return static_cast<std::size_t>(after - map.notes.begin());
}

}  // namespace tivenor
