#include "engine/midi/standard_midi.h"

#include <algorithm>
#include <cmath>

#include "engine/base/run_error.h"

namespace tivenor {

namespace {

constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kReleaseVelocity = 64;
constexpr uint16_t kTicksPerQuarter = 960;
constexpr double kLongestTickSeconds = 0.001;
constexpr uint32_t kLargestTempo = 0xFFFFFF;
constexpr uint32_t kLargestDelta = 0x0FFFFFFF;

struct Event {
  uint32_t tick = 0;
  uint8_t status = 0;
  uint8_t key = 0;
  uint8_t velocity = 0;
};

void AppendBigEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
  for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
    bytes.push_back(static_cast<uint8_t>((value >> shift) & 0xFFu));
}

void AppendVariableLength(std::vector<uint8_t>& bytes, uint32_t value) {
  if (value > kLargestDelta) throw RunError(kRangeCheckError);
  uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = static_cast<uint8_t>(value & 0x7Fu);
    value >>= 7;
  } while (value > 0);
  while (count > 1) bytes.push_back(static_cast<uint8_t>(groups[--count] | 0x80u));
  bytes.push_back(groups[0]);
}

// Note-ons and note-offs, each note at least a tick long, repeated keys ended where struck again.
std::vector<Event> NoteEvents(std::span<const TimedNote> notes, const MidiTiming& timing) {
  struct Span {
    uint32_t on, off;
    uint8_t key, velocity;
  };
  std::vector<Span> spans;
  spans.reserve(notes.size());
  for (const TimedNote& note : notes) {
    const uint32_t on = timing.TickAt(note.onsetSeconds);
    const uint32_t off = std::max(on + 1, timing.TickAt(note.onsetSeconds + note.lengthSeconds));
    spans.push_back({on, off, static_cast<uint8_t>(note.key & 0x7Fu),
                     static_cast<uint8_t>(std::clamp<int>(note.velocity, 1, 127))});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.key != b.key ? a.key < b.key : a.on < b.on;
  });
  std::vector<Event> events;
  events.reserve(2 * spans.size());
  for (std::size_t i = 0; i < spans.size(); ++i) {
    Span span = spans[i];
    // The same key struck at the same tick sounds once, as long as the longest.
    while (i + 1 < spans.size() && spans[i + 1].key == span.key && spans[i + 1].on == span.on)
      span.off = std::max(span.off, spans[++i].off);
    if (i + 1 < spans.size() && spans[i + 1].key == span.key)
      span.off = std::min(span.off, spans[i + 1].on);
    events.push_back({span.on, kNoteOn, span.key, span.velocity});
    events.push_back({span.off, kNoteOff, span.key, kReleaseVelocity});
  }
  std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.status != b.status) return a.status < b.status;  // offs before ons
    return a.key < b.key;
  });
  return events;
}

}  // namespace

uint32_t MidiTiming::TickAt(double seconds) const {
  const double ticks =
      std::max(seconds, 0.0) * 1e6 / microsecondsPerQuarter * static_cast<double>(ticksPerQuarter);
  if (!std::isfinite(ticks) || ticks > kLargestDelta) throw RunError(kRangeCheckError);
  return static_cast<uint32_t>(std::lround(ticks));
}

MidiTiming TimingForTurn(double turnSeconds) {
  if (!std::isfinite(turnSeconds) || turnSeconds <= 0.0) throw RunError(kRangeCheckError);
  MidiTiming timing;
  timing.ticksPerQuarter = kTicksPerQuarter;
  // Enough quarters to a turn for millisecond ticks, and for a quarter the tempo can hold.
  const double quarters =
      std::max(std::ceil(turnSeconds / (kLongestTickSeconds * kTicksPerQuarter)),
               std::ceil(turnSeconds * 1e6 / kLargestTempo));
  timing.microsecondsPerQuarter =
      static_cast<uint32_t>(std::lround(turnSeconds * 1e6 / std::max(quarters, 1.0)));
  return timing;
}

std::vector<uint8_t> WriteStandardMidi(std::span<const TimedNote> notes, int program,
                                       const MidiTiming& timing) {
  std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
  AppendBigEndian(bytes, timing.ticksPerQuarter, 2);
  bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
  const std::size_t trackStart = bytes.size();

  // The track's name marks the file as one of ours, which a later reading may replace.
  bytes.insert(bytes.end(), kOwnTrackName.begin(), kOwnTrackName.end());
  bytes.insert(bytes.end(), {0x00, 0xFF, 0x51, 0x03});
  AppendBigEndian(bytes, timing.microsecondsPerQuarter, 3);
  bytes.insert(bytes.end(),
               {0x00, kProgramChange, static_cast<uint8_t>(std::clamp(program, 0, 127))});

  uint32_t tick = 0;
  uint8_t running = kProgramChange;
  for (const Event& event : NoteEvents(notes, timing)) {
    AppendVariableLength(bytes, event.tick - tick);
    tick = event.tick;
    if (event.status != running) bytes.push_back(event.status);
    running = event.status;
    bytes.push_back(event.key);
    bytes.push_back(event.velocity);
  }
  bytes.insert(bytes.end(), {0x00, 0xFF, 0x2F, 0x00});

  const auto trackLength = static_cast<uint32_t>(bytes.size() - trackStart);
  for (int k = 0; k < 4; ++k) {
    bytes[trackStart - 1 - static_cast<std::size_t>(k)] =
        static_cast<uint8_t>((trackLength >> (8 * k)) & 0xFFu);
  }
  return bytes;
}

}  // namespace tivenor
