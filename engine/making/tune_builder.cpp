#include "engine/making/tune_builder.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tivenor {
namespace {

constexpr int kChannels = 16;
constexpr int kKeys = 128;

// From `pulse` on, until the next segment, each pulse lasts `secondsPerPulse`.
struct TempoSegment {
  std::int64_t pulse = 0;
  double seconds = 0.0;
  double secondsPerPulse = 0.0;
};

std::size_t SoundingEntry(int channel, int key) {
  return static_cast<std::size_t>(channel) * kKeys + static_cast<std::size_t>(key);
}

double SecondsAt(const TempoSegment& segment, std::int64_t pulse) {
  return segment.seconds + static_cast<double>(pulse - segment.pulse) * segment.secondsPerPulse;
}

double SecondsPerPulse(int microsecondsPerQuarter, int pulsesPerQuarter) {
  return microsecondsPerQuarter / (static_cast<double>(pulsesPerQuarter) * 1000000.0);
}

std::vector<TempoSegment> TempoMap(const MidiTimeDivision& division,
                                   std::vector<MidiTempoChange> changes) {
  if (division.pulsesPerQuarter <= 0) {
    const double perSecond = division.pulsesPerSecond;
    return {{0, 0.0, perSecond > 0.0 ? 1.0 / perSecond : 0.0}};
  }
  const int perQuarter = division.pulsesPerQuarter;
  std::stable_sort(
      changes.begin(), changes.end(),
      [](const MidiTempoChange& a, const MidiTempoChange& b) { return a.pulse < b.pulse; });
  std::vector<TempoSegment> map{
      {0, 0.0, SecondsPerPulse(kDefaultMicrosecondsPerQuarter, perQuarter)}};
  for (const MidiTempoChange& change : changes) {
    const TempoSegment last = map.back();
    const double perPulse = SecondsPerPulse(change.microsecondsPerQuarter, perQuarter);
    if (change.pulse == last.pulse) {
      map.back().secondsPerPulse = perPulse;
    } else {
      map.push_back({change.pulse, SecondsAt(last, change.pulse), perPulse});
    }
  }
  return map;
}

}  // namespace

TuneBuilder::TuneBuilder(MidiTimeDivision division, std::size_t expectedNotes)
    : division_(division), sounding_(std::size_t{kChannels} * kKeys) {
  notes_.reserve(expectedNotes);
}

void TuneBuilder::StartTrack() {
  trackStarts_.push_back(notes_.size());
}

void TuneBuilder::NoteOn(std::int64_t pulse, int channel, int key, int velocity) {
  if (velocity == 0) {
    NoteOff(pulse, channel, key);
    return;
  }
  if (channel < 0 || channel >= kChannels || key < 0 || key >= kKeys || velocity < 0 ||
      velocity >= kKeys) {
    return;
  }
  if (notes_.size() > std::numeric_limits<std::uint32_t>::max()) return;
  const std::size_t entry = SoundingEntry(channel, key);
  Sounding& sounding = sounding_[entry];
  sounding.notes.push_back(static_cast<std::uint32_t>(notes_.size()));
  if (!sounding.listed) {
    sounding.listed = true;
    soundingNow_.push_back(entry);
  }
  const auto at = static_cast<double>(pulse);
  notes_.push_back({at, at, key, velocity, channel});
}

void TuneBuilder::NoteOff(std::int64_t pulse, int channel, int key) {
  if (channel < 0 || channel >= kChannels || key < 0 || key >= kKeys) return;
  Sounding& sounding = sounding_[SoundingEntry(channel, key)];
  if (sounding.first == sounding.notes.size()) return;
  notes_[sounding.notes[sounding.first++]].lengthSeconds = static_cast<double>(pulse);
  if (sounding.first == sounding.notes.size()) {
    sounding.notes.clear();
    sounding.first = 0;
  }
}

void TuneBuilder::Tempo(std::int64_t pulse, int microsecondsPerQuarter) {
  if (microsecondsPerQuarter > 0) tempos_.push_back({pulse, microsecondsPerQuarter});
}

void TuneBuilder::EndTrack(std::int64_t pulse) {
  for (const std::size_t entry : soundingNow_) {
    Sounding& sounding = sounding_[entry];
    for (std::size_t i = sounding.first; i < sounding.notes.size(); ++i) {
      notes_[sounding.notes[i]].lengthSeconds = static_cast<double>(pulse);
    }
    sounding.notes.clear();
    sounding.first = 0;
    sounding.listed = false;
  }
  soundingNow_.clear();
}

std::vector<TuneNote> TuneBuilder::Finish() {
  const std::vector<TempoSegment> map = TempoMap(division_, std::move(tempos_));
  // A release lies mostly in its onset's segment or the next; a long note's is searched for.
  const auto segmentOf = [&map](std::size_t from, std::int64_t pulse) {
    for (std::size_t step = 0; step < 2 && from + 1 < map.size(); ++step) {
      if (map[from + 1].pulse > pulse) return from;
      ++from;
    }
    const auto after = std::upper_bound(
        map.begin() + static_cast<std::ptrdiff_t>(from), map.end(), pulse,
        [](std::int64_t value, const TempoSegment& segment) { return value < segment.pulse; });
    return static_cast<std::size_t>(after - map.begin()) - 1;
  };
  std::size_t run = 0;
  std::size_t segment = 0;
  for (std::size_t i = 0; i < notes_.size(); ++i) {
    // Each track's notes are in time order, from the tempo map's start again.
    while (run < trackStarts_.size() && trackStarts_[run] == i) {
      ++run;
      segment = 0;
    }
    TuneNote& note = notes_[i];
    const auto onset = static_cast<std::int64_t>(note.seconds);
    const auto release = static_cast<std::int64_t>(note.lengthSeconds);
    while (segment + 1 < map.size() && map[segment + 1].pulse <= onset) ++segment;
    note.seconds = SecondsAt(map[segment], onset);
    note.lengthSeconds = SecondsAt(map[segmentOf(segment, release)], release) - note.seconds;
  }

  std::vector<TuneNote> notes = std::move(notes_);
  *this = TuneBuilder(division_);
  return notes;
}

}  // namespace tivenor
