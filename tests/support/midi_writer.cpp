#include "tests/support/midi_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace tivenor::testing {
namespace {

struct TimedEvent {
  uint32_t tick = 0;
  int order = 0;  // at one tick: tempo first, then releases, then note-ons
  std::vector<uint8_t> bytes;
};

void AppendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(groups[--count] | 0x80);
  out.push_back(groups[0]);
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<TimedEvent> TempoEvents(const Song& song) {
  std::vector<TimedEvent> events;
  for (const TempoChange& tempo : song.tempos) {
    std::vector<uint8_t> bytes = {0xFF, 0x51, 0x03};
    AppendBigEndian(bytes, tempo.microsecondsPerQuarter, 3);
    events.push_back({tempo.tick, 0, bytes});
  }
  return events;
}

void AddNotes(std::vector<TimedEvent>& events, const std::vector<SongNote>& notes,
              bool releaseAsNoteOn) {
  for (const SongNote& note : notes) {
    const auto channel = static_cast<uint8_t>(note.channel);
    const auto key = static_cast<uint8_t>(note.key);
    events.push_back(
        {note.tick,
         2,
         {static_cast<uint8_t>(0x90 | channel), key, static_cast<uint8_t>(note.velocity)}});
    if (releaseAsNoteOn) {
      events.push_back(
          {note.tick + note.length, 1, {static_cast<uint8_t>(0x90 | channel), key, 0}});
    } else {
      events.push_back(
          {note.tick + note.length, 1, {static_cast<uint8_t>(0x80 | channel), key, 64}});
    }
  }
}

std::vector<uint8_t> TrackChunk(std::vector<TimedEvent> events, bool runningStatus) {
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::vector<uint8_t> body;
  uint32_t now = 0;
  uint8_t status = 0;
  for (const TimedEvent& event : events) {
    AppendVariableLength(body, event.tick - now);
    now = event.tick;
    const bool channelEvent = event.bytes.front() < 0xF0;
    const bool skipStatus = runningStatus && channelEvent && event.bytes.front() == status;
    body.insert(body.end(), event.bytes.begin() + (skipStatus ? 1 : 0), event.bytes.end());
    status = channelEvent ? event.bytes.front() : 0;
  }
  body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
  AppendBigEndian(chunk, static_cast<uint32_t>(body.size()), 4);
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

std::vector<uint8_t> Header(uint16_t format, uint16_t tracks, uint16_t division) {
  std::vector<uint8_t> header = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  AppendBigEndian(header, format, 2);
  AppendBigEndian(header, tracks, 2);
  AppendBigEndian(header, division, 2);
  return header;
}

}  // namespace

std::vector<uint8_t> SongFormat0(const Song& song, bool runningStatus) {
  std::vector<TimedEvent> events = TempoEvents(song);
  for (const auto& track : song.tracks) AddNotes(events, track, runningStatus);
  std::vector<uint8_t> file = Header(0, 1, song.division);
  const std::vector<uint8_t> chunk = TrackChunk(events, runningStatus);
  file.insert(file.end(), chunk.begin(), chunk.end());
  return file;
}

std::vector<uint8_t> SongFormat1(const Song& song) {
  std::vector<uint8_t> file =
      Header(1, static_cast<uint16_t>(song.tracks.size() + 1), song.division);
  std::vector<uint8_t> chunk = TrackChunk(TempoEvents(song), false);
  file.insert(file.end(), chunk.begin(), chunk.end());
  for (const auto& track : song.tracks) {
    std::vector<TimedEvent> events;
    AddNotes(events, track, false);
    chunk = TrackChunk(events, false);
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  return file;
}

std::vector<uint8_t> MidiFile(uint16_t format, uint16_t division,
                              const std::vector<std::vector<uint8_t>>& tracks,
                              const std::vector<uint32_t>& endDeltas) {
  std::vector<uint8_t> file = Header(format, static_cast<uint16_t>(tracks.size()), division);
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    std::vector<uint8_t> body = tracks[i];
    AppendVariableLength(body, i < endDeltas.size() ? endDeltas[i] : 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    AppendBigEndian(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
  }
  return file;
}

std::size_t ChunkLength(const std::vector<uint8_t>& bytes, std::size_t at) {
  std::size_t length = 0;
  for (std::size_t i = at + 4; i < at + 8; ++i) length = length << 8 | bytes.at(i);
  return length;
}

double SecondsAt(const Song& song, uint32_t tick) {
  std::vector<TempoChange> tempos = song.tempos;
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  double seconds = 0.0;
  uint32_t from = 0;
  double perPulse = 0.5 / song.division;  // 120 beats a minute until the first tempo
  for (const TempoChange& tempo : tempos) {
    if (tempo.tick >= tick) break;
    seconds += (tempo.tick - from) * perPulse;
    from = tempo.tick;
    perPulse = tempo.microsecondsPerQuarter / 1e6 / song.division;
  }
  return seconds + (tick - from) * perPulse;
}

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

}  // namespace tivenor::testing
