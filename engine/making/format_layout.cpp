#include "engine/making/format_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>

#include "engine/making/arc_slot.h"
#include "engine/making/choose_transpose.h"
#include "engine/making/format_slot_sizes.h"
#include "engine/making/format_turn.h"
#include "engine/making/layout_error.h"
#include "engine/making/tune_without_drums.h"

namespace tivenor {
namespace {

constexpr double kTicksPerDegree = 10.0;  // 3600 a turn, as the built-in disc counts

using TracksOfKeys = std::array<std::vector<int>, 128>;

const std::vector<int>& TracksOf(const TracksOfKeys& tracks, int key) {
  static const std::vector<int> kNone;
  return key >= 0 && key < 128 ? tracks[key] : kNone;
}

// One track's sizes in degrees.
struct TrackAngles {
  double radiusMm = 0.0;
  double leadTurns = 0.0;
  double shortest = 0.0;  // the shortest sustained slot
  double plucked = 0.0;   // every plucked slot
  double web = 0.0;       // card left between two slots
};

// Lays out the notes one by one, in time order, never moving one.
class FormatLayoutBuilder {
 public:
  FormatLayoutBuilder(DiscLayout& layout, const TurnMap& map, const MusicSpan& span,
                      std::vector<TrackAngles> tracks, double widthMm)
      : layout_(layout),
        format_(layout.format),
        map_(map),
        span_(span),
        tracks_(std::move(tracks)),
        widthMm_(widthMm),
        lastSlot_(tracks_.size(), -1) {}

  void Add(const NoteOnset& note, int key, std::vector<int> tracks) {
    LeftOutNote leftOut{note.seconds, note.key, key, LeftOutReason::kNoTrack, -1, -1};
    if (tracks.empty()) {
      layout_.leftOut.push_back(leftOut);
      return;
    }
    const int tick =
        static_cast<int>(std::lround(map_.DegreesOf(note.seconds, 0.0) * kTicksPerDegree));
    if (const auto sounding = lastTickOfKey_.find(key);
        sounding != lastTickOfKey_.end() && sounding->second == tick) {
      leftOut.reason = LeftOutReason::kSameKeyAtOnce;
      layout_.leftOut.push_back(leftOut);
      return;
    }
    // A key on several tracks takes them in turn, so that quick repeats fit.
    if (const auto used = lastTrackOfKey_.find(key);
        tracks.size() > 1 && used != lastTrackOfKey_.end() && used->second == tracks.front()) {
      std::rotate(tracks.begin(), tracks.begin() + 1, tracks.end());
    }
    int best = tracks.front();
    double bestRoom = -std::numeric_limits<double>::infinity();
    for (const int track : tracks) {
      const double room = Room(track, note.seconds);
      if (room >= tracks_[track].web) {
        best = track;
        bestRoom = room;
        break;
      }
      if (room > bestRoom) {
        best = track;
        bestRoom = room;
      }
    }
    const TrackAngles& angles = tracks_[best];
    const double from = map_.DegreesOf(note.seconds, angles.leadTurns);
    if (bestRoom < angles.web) {
      const auto [low, high] = std::minmax_element(tracks.begin(), tracks.end());
      leftOut.pin = *low;
      if (tracks.size() > 1) leftOut.otherPin = *high;
      if (!Sustained()) {
        leftOut.reason = LeftOutReason::kNoRoomOnTrack;
        layout_.leftOut.push_back(leftOut);
        return;
      }
      PunchedNote& before = layout_.notes[lastSlot_[best]];
      const double cut = from - angles.web;
      if (cut - before.degrees < angles.shortest) {
        SetSpan(before, best, before.degrees,
                std::clamp(from + LengthDegrees(note, angles), End(before), span_.lastDegrees));
        leftOut.reason = LeftOutReason::kMerged;
        leftOut.pin = best;
        leftOut.otherPin = -1;
        layout_.leftOut.push_back(leftOut);
        return;
      }
      SetSpan(before, best, before.degrees, cut);
      ++layout_.placement.shortenedNotes;
    }
    double to = from + LengthDegrees(note, angles);
    if (to > span_.lastDegrees) {
      if (!Sustained() || from + angles.shortest > span_.lastDegrees) {
        leftOut.reason = LeftOutReason::kPastTheEnd;
        layout_.leftOut.push_back(leftOut);
        return;
      }
      to = span_.lastDegrees;
      ++layout_.placement.shortenedNotes;
    }
    CountLength(note, angles);
    PunchedNote punched{note.seconds, note.key, key, best, tick};
    SetSpan(punched, best, from, to);
    lastSlot_[best] = static_cast<int>(layout_.notes.size());
    layout_.notes.push_back(punched);
    lastTickOfKey_[key] = tick;
    lastTrackOfKey_[key] = best;
  }

 private:
  bool Sustained() const { return format_.notes == NoteKind::kSustained; }

  static double End(const PunchedNote& note) {
    return note.degrees + (note.arc.toDegrees - note.arc.fromDegrees);
  }

  // Degrees from the end of the track's last slot to where a note at `seconds` would begin.
  double Room(int track, double seconds) const {
    if (lastSlot_[track] < 0) return std::numeric_limits<double>::infinity();
    return map_.DegreesOf(seconds, tracks_[track].leadTurns) - End(layout_.notes[lastSlot_[track]]);
  }

  double LengthDegrees(const NoteOnset& note, const TrackAngles& angles) const {
    if (!Sustained()) return angles.plucked;
    return std::max(map_.DegreesOfLength(note.lengthSeconds), angles.shortest);
  }

  void CountLength(const NoteOnset& note, const TrackAngles& angles) {
    if (!Sustained()) return;
    if (note.lengthSeconds <= 0.0) {
      ++layout_.placement.notesWithoutLength;
    } else if (map_.DegreesOfLength(note.lengthSeconds) < angles.shortest) {
      ++layout_.placement.lengthenedNotes;
    }
  }

  void SetSpan(PunchedNote& note, int track, double from, double to) const {
    note.degrees = from;
    note.lengthSeconds = (to - from) / 360.0 * map_.secondsPerTurn;
    note.arc = ArcAlongTrack(tracks_[track].radiusMm, widthMm_, from, to, span_.startDegrees,
                             format_.music);
  }

  DiscLayout& layout_;
  const DiscFormat& format_;
  const TurnMap& map_;
  const MusicSpan& span_;
  std::vector<TrackAngles> tracks_;
  double widthMm_;
  std::vector<int> lastSlot_;  // index in layout_.notes of each track's last slot, -1: none
  std::map<int, int> lastTickOfKey_;
  std::map<int, int> lastTrackOfKey_;
};

// The gap from the end of the last slot round to the first, and the widest rest inside.
void MeasureGaps(DiscLayout& layout) {
  std::vector<std::pair<double, double>> spans;
  spans.reserve(layout.notes.size());
  for (const PunchedNote& note : layout.notes) {
    spans.emplace_back(note.degrees, note.degrees + note.arc.toDegrees - note.arc.fromDegrees);
  }
  std::sort(spans.begin(), spans.end());
  double end = spans.front().second;
  for (const auto& [from, to] : spans) {
    layout.placement.widestRestDegrees = std::max(layout.placement.widestRestDegrees, from - end);
    end = std::max(end, to);
  }
  layout.placement.startGapDegrees = 360.0 - (end - spans.front().first);
}

}  // namespace

DiscLayout LayoutFormatDisc(const std::vector<NoteOnset>& source, const LayoutOptions& options) {
  const DiscFormat& format = options.format;
  DiscLayout layout;
  layout.format = format;
  const std::vector<NoteOnset> tune = TuneWithoutDrums(source, layout.drumNotes);
  const double diameter = options.diameterMm.value_or(format.diameterMm);
  if (!(diameter > 0.0)) {
    throw LayoutError("the format " + format.name + " does not give the disc's diameter");
  }
  if (format.trackRadii.empty() || format.keys.size() != format.trackRadii.size()) {
    throw LayoutError("the format " + format.name + " gives no key for some of its tracks");
  }
  const double rim = 0.5 * diameter;
  TracksOfKeys tracksOfKeys;
  PlayableKeys playable{};
  for (int track = 0; track < format.TrackCount(); ++track) {
    tracksOfKeys[format.keys[track] & 0x7F].push_back(track);
    playable[format.keys[track] & 0x7F] = true;
  }
  layout.transpose = options.transpose.value_or(ChooseTranspose(tune, playable));

  const FormatSlotSizes sizes = SlotSizesOf(format, rim, options.trackWebMm);
  std::vector<TrackAngles> tracks;
  for (const double radius : format.trackRadii) {
    const double radiusMm = radius * rim;
    tracks.push_back({radiusMm, format.timeLead / radius, DegreesAlong(sizes.shortestMm, radiusMm),
                      DegreesAlong(sizes.pluckedLengthMm, radiusMm),
                      DegreesAlong(options.slotGapMm, radiusMm)});
  }
  const bool sustained = format.notes == NoteKind::kSustained;
  std::vector<PlannedSlot> planned;
  for (const NoteOnset& note : tune) {
    const std::vector<int>& on = TracksOf(tracksOfKeys, note.key + layout.transpose);
    if (on.empty()) continue;
    const TrackAngles& innermost = tracks[on.front()];
    planned.push_back({note.seconds, sustained ? std::max(note.lengthSeconds, 0.0) : 0.0,
                       sustained ? innermost.shortest : innermost.plucked, innermost.leadTurns});
  }
  const MusicSpan span = MusicSpanOf(format);
  std::optional<double> secondsPerTurn = options.secondsPerTurn;
  if (!secondsPerTurn && format.turnSeconds > 0.0) secondsPerTurn = format.turnSeconds;
  TurnMap map{secondsPerTurn.value_or(1.0), 0.0, span.firstDegrees};
  if (!planned.empty()) {
    map = PlanTurn(planned, span, secondsPerTurn, format.start == StartRule::kWidestGap);
  }
  FormatPlacement& placement = layout.placement;
  placement.diameterMm = diameter;
  placement.secondsPerTurn = map.secondsPerTurn;
  placement.startDegrees = span.startDegrees;
  placement.slotWidthMm = sizes.widthMm;
  placement.shortestSlotMm = sustained ? sizes.shortestMm : sizes.pluckedLengthMm;
  placement.webMm = options.slotGapMm;
  placement.trackWebMm = sizes.trackWebMm;
  layout.ticksPerSecond = kTicksPerDegree * 360.0 / map.secondsPerTurn;
  layout.tickAtZero =
      kTicksPerDegree * map.offsetDegrees - layout.ticksPerSecond * map.firstSeconds;

  FormatLayoutBuilder builder(layout, map, span, std::move(tracks), sizes.widthMm);
  for (const NoteOnset& note : tune) {
    const int key = note.key + layout.transpose;
    builder.Add(note, key, TracksOf(tracksOfKeys, key));
  }
  if (layout.notes.empty()) {
    throw LayoutError("none of the tune's " + std::to_string(tune.size()) +
                      " notes can be punched (" + LeftOutText(layout.leftOut.front()) + ")");
  }
  MeasureGaps(layout);
  return layout;
}

}  // namespace tivenor
