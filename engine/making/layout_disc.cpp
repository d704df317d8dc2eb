#include "engine/making/layout_disc.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "engine/disc/geometry.h"
#include "engine/making/choose_transpose.h"
#include "engine/making/format_layout.h"
#include "engine/making/key_pins.h"
#include "engine/making/layout_error.h"
#include "engine/making/slot_geometry.h"
#include "engine/making/time_map.h"
#include "engine/making/tune_without_drums.h"

namespace tivenor {
namespace {

// The slots punched on one pin so far, in time order.
struct PinTrack {
  std::vector<int> ticks;
};

// Whether a slot ending at `tick` fits after the last slot on its pin and before the first one,
// a turn later, with the gap between them.
bool HasRoom(const PinTrack& track, int pin, int tick, const LayoutOptions& options) {
  if (track.ticks.empty()) return true;
  const double span = SlotSpan(options.slotLengthMm, pin);
  const double gap = options.slotGapMm / (2.0 * std::numbers::pi * PinTrackRadiusMm(pin));
  const double direction = static_cast<double>(tick) / kTicksPerTurn;
  const double previous = static_cast<double>(track.ticks.back()) / kTicksPerTurn;
  const double first = static_cast<double>(track.ticks.front()) / kTicksPerTurn;
  return direction - span - previous >= gap && first + 1.0 - span - direction >= gap;
}

}  // namespace

DiscLayout LayoutDisc(const std::vector<NoteOnset>& source, const LayoutOptions& options) {
  if (!IsBuiltIn(options.format)) return LayoutFormatDisc(source, options);
  DiscLayout layout;
  const std::vector<NoteOnset> tune = TuneWithoutDrums(source, layout.drumNotes);
  layout.transpose = options.transpose.value_or(ChooseTranspose(tune, options.outerPin));

  // Time runs from the first to the last note a pin can play.
  std::optional<double> first, last;
  for (const NoteOnset& note : tune) {
    if (PinsOfKey(note.key + layout.transpose, options.outerPin).empty()) continue;
    if (!first) first = note.seconds;
    last = note.seconds;
  }
  const TimeMap time = MapTime(first.value_or(0.0), last.value_or(0.0), options.secondsPerTurn);
  layout.ticksPerSecond = time.ticksPerSecond;
  layout.tickAtZero = time.tickAtZero;

  std::vector<PinTrack> tracks(kPinCount);
  std::map<int, int> lastTickOfKey;
  std::map<int, int> lastPinOfKey;
  for (const NoteOnset& note : tune) {
    const int key = note.key + layout.transpose;
    LeftOutNote leftOut{note.seconds, note.key, key, LeftOutReason::kNoPin, -1, -1};
    std::vector<int> pins = PinsOfKey(key, options.outerPin);
    if (pins.empty()) {
      if (OnlyOuterPinPlays(key)) {
        leftOut.reason = LeftOutReason::kOuterPin;
        leftOut.pin = kPinCount - 1;
      }
      layout.leftOut.push_back(leftOut);
      continue;
    }
    const int tick = time.TickOf(note.seconds);
    if (const auto sounding = lastTickOfKey.find(key);
        sounding != lastTickOfKey.end() && sounding->second == tick) {
      leftOut.reason = LeftOutReason::kSameKeyAtOnce;
      layout.leftOut.push_back(leftOut);
      continue;
    }
    // A key on two pins alternates between them, so that quick repeats fit.
    if (const auto used = lastPinOfKey.find(key);
        pins.size() == 2 && used != lastPinOfKey.end() && used->second == pins.front()) {
      std::swap(pins.front(), pins.back());
    }
    const auto fits = std::find_if(pins.begin(), pins.end(), [&](int pin) {
      return HasRoom(tracks[pin], pin, tick, options);
    });
    if (fits == pins.end()) {
      leftOut.reason = LeftOutReason::kNoRoom;
      leftOut.pin = std::min(pins.front(), pins.back());
      if (pins.size() == 2) leftOut.otherPin = std::max(pins.front(), pins.back());
      layout.leftOut.push_back(leftOut);
      continue;
    }
    const int pin = *fits;
    tracks[pin].ticks.push_back(tick);
    lastTickOfKey[key] = tick;
    lastPinOfKey[key] = pin;
    layout.notes.push_back({note.seconds, note.key, key, pin, tick,
                            SlotForNote(tick, pin, options.slotLengthMm, options.slotWidthMm)});
  }
  if (layout.notes.empty()) {
    throw LayoutError("none of the tune's " + std::to_string(tune.size()) +
                      " notes can be punched (" + LeftOutText(layout.leftOut.front()) + ")");
  }
  return layout;
}

std::string LeftOutText(const LeftOutNote& note) {
  const std::string key = std::to_string(note.key);
  switch (note.reason) {
    case LeftOutReason::kNoPin:
      return "no pin plays key " + key;
    case LeftOutReason::kOuterPin:
      return "key " + key + " is on pin " + std::to_string(note.pin) +
             ", outside the ring the reader scans";
    case LeftOutReason::kSameKeyAtOnce:
      return "repeats key " + key + " at the same time";
    case LeftOutReason::kNoRoom:
      if (note.otherPin >= 0) {
        return "no room for its slot on pin " + std::to_string(note.pin) + " or " +
               std::to_string(note.otherPin);
      }
      return "no room for its slot on pin " + std::to_string(note.pin);
    case LeftOutReason::kNoTrack:
      return "no track plays key " + key;
    case LeftOutReason::kNoRoomOnTrack:
      if (note.otherPin >= 0) {
        return "no room for its slot on track " + std::to_string(note.pin + 1) + " or " +
               std::to_string(note.otherPin + 1);
      }
      return "no room for its slot on track " + std::to_string(note.pin + 1);
    case LeftOutReason::kMerged:
      return "too close to the slot before it on track " + std::to_string(note.pin + 1) +
             ": merged into it";
    case LeftOutReason::kPastTheEnd:
      return "its slot would reach past the end of the turn";
  }
  return "left out";
}

}  // namespace tivenor
