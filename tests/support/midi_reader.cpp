#include "tests/support/midi_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tivenor::testing {
namespace {

class Cursor {
 public:
  Cursor(std::span<const uint8_t> bytes, std::size_t end) : bytes_(bytes), end_(end) {}

  std::size_t offset() const { return offset_; }
  bool AtEnd() const { return offset_ == end_; }
  void Seek(std::size_t offset) { offset_ = offset; }

  uint8_t Peek() const {
    Need(1);
    return bytes_[offset_];
  }
  uint8_t U8() {
    Need(1);
    return bytes_[offset_++];
  }
  uint32_t BigEndian(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | U8();
    return value;
  }
  std::string Tag() {
    std::string tag;
    for (int i = 0; i < 4; ++i) tag += static_cast<char>(U8());
    return tag;
  }
  // A variable-length quantity: at most four bytes, seven bits each, high bit set on all but the
  // last.
  uint32_t VarLen() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const uint8_t b = U8();
      value = value << 7 | (b & 0x7Fu);
      if ((b & 0x80u) == 0) return value;
    }
    Fail("variable-length number longer than four bytes");
  }
  std::vector<uint8_t> Bytes(uint32_t count) {
    Need(count);
    std::vector<uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(offset_),
                             bytes_.begin() + static_cast<std::ptrdiff_t>(offset_ + count));
    offset_ += count;
    return out;
  }
  uint8_t DataByte() {
    const std::size_t at = offset_;
    const uint8_t b = U8();
    if (b & 0x80u) {
      offset_ = at;
      Fail("status byte where a data byte belongs");
    }
    return b;
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw MidiFormatError(what + " at offset " + std::to_string(offset_));
  }

 private:
  void Need(std::size_t count) const {
    if (count > end_ - offset_) Fail("data runs past the end of its chunk");
  }

  std::span<const uint8_t> bytes_;
  std::size_t end_;
  std::size_t offset_ = 0;
};

int DataLength(uint8_t status) {
  const uint8_t kind = status & 0xF0u;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

void ReadTrack(Cursor& in, MidiFile& file) {
  uint8_t running = 0;
  uint32_t tick = 0;
  bool ended = false;
  while (!in.AtEnd()) {
    if (ended) in.Fail("events after the end of track");
    MidiEvent event;
    event.offset = in.offset();
    event.delta = in.VarLen();
    tick += event.delta;
    event.tick = tick;
    uint8_t status = in.Peek();
    if (status & 0x80u) {
      in.U8();
    } else {
      if (running == 0) in.Fail("data byte without a status to run on");
      status = running;
      event.runningStatus = true;
    }
    event.status = status;
    if (status == kMetaEvent) {
      running = 0;  // meta and system exclusive events end running status
      event.metaType = in.U8();
      if (event.metaType & 0x80u) in.Fail("meta type out of range");
      event.data = in.Bytes(in.VarLen());
      if (event.metaType == kMetaEndOfTrack) {
        if (!event.data.empty()) in.Fail("end of track with data");
        ended = true;
      }
    } else if (status == 0xF0 || status == 0xF7) {
      running = 0;
      event.data = in.Bytes(in.VarLen());
    } else if (status >= 0xF0) {
      in.Fail("system message inside a track");
    } else {
      running = status;
      for (int i = 0; i < DataLength(status); ++i) event.data.push_back(in.DataByte());
    }
    file.events.push_back(std::move(event));
  }
  if (!ended) in.Fail("track without end of track");
}

std::vector<MidiNote> NotesWith(const MidiFile& file, bool sounding) {
  std::vector<MidiNote> notes;
  for (const MidiEvent& e : file.events) {
    if ((e.status & 0xF0u) != 0x90) continue;
    const bool strikes = e.data[1] > 0;
    if (strikes != sounding) continue;
    notes.push_back({e.data[0], e.tick, e.data[1], e.status & 0x0F});
  }
  return notes;
}

}  // namespace

MidiFile ParseMidi(std::span<const uint8_t> bytes) {
  MidiFile file;
  Cursor in(bytes, bytes.size());
  if (in.Tag() != "MThd") in.Fail("no MThd chunk");
  if (in.BigEndian(4) != 6) in.Fail("header chunk length is not 6");
  file.format = static_cast<uint16_t>(in.BigEndian(2));
  file.trackCount = static_cast<uint16_t>(in.BigEndian(2));
  file.division = static_cast<uint16_t>(in.BigEndian(2));
  if (file.format != 0) in.Fail("not format 0");
  if (file.trackCount != 1) in.Fail("format 0 needs exactly one track");
  if (file.division == 0 || (file.division & 0x8000u)) in.Fail("division is not ticks per quarter");
  if (in.Tag() != "MTrk") in.Fail("no MTrk chunk");
  file.trackLength = in.BigEndian(4);
  const std::size_t trackStart = in.offset();
  if (file.trackLength != bytes.size() - trackStart) {
    in.Fail("track length " + std::to_string(file.trackLength) + " but " +
            std::to_string(bytes.size() - trackStart) + " bytes follow");
  }
  Cursor track(bytes, bytes.size());
  track.Seek(trackStart);
  ReadTrack(track, file);
  return file;
}

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + fileName);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

MidiFile ReadMidiFile(const std::string& fileName) {
  return ParseMidi(ReadFileBytes(fileName));
}

std::vector<MidiNote> NoteOns(const MidiFile& file) {
  return NotesWith(file, true);
}
std::vector<MidiNote> Releases(const MidiFile& file) {
  return NotesWith(file, false);
}

std::vector<SoundingNote> SoundingNotes(const MidiFile& file) {
  std::vector<SoundingNote> notes;
  std::vector<std::size_t> open;  // notes not yet released
  for (const MidiEvent& e : file.events) {
    const uint8_t kind = e.status & 0xF0u;
    if (kind != 0x80 && kind != 0x90) continue;
    const int key = e.data[0], channel = e.status & 0x0F;
    if (kind == 0x90 && e.data[1] > 0) {
      open.push_back(notes.size());
      notes.push_back({key, e.tick, e.tick, e.data[1], channel});
      continue;
    }
    const auto it = std::find_if(open.begin(), open.end(), [&](std::size_t i) {
      return notes[i].key == key && notes[i].channel == channel;
    });
    if (it == open.end()) continue;  // a release of a key that is not sounding
    notes[*it].offTick = e.tick;
    open.erase(it);
  }
  if (!open.empty()) {
    throw MidiFormatError("key " + std::to_string(notes[open.front()].key) + " struck at tick " +
                          std::to_string(notes[open.front()].onTick) + " is never released");
  }
  return notes;
}

int ProgramOf(const MidiFile& file) {
  for (const MidiEvent& e : file.events) {
    if ((e.status & 0xF0u) == 0xC0) return e.data[0];
  }
  return -1;
}

double SecondsPerTick(const MidiFile& file) {
  return TempoOf(file) * 1e-6 / file.division;
}

uint32_t TempoOf(const MidiFile& file) {
  for (const MidiEvent& e : file.events) {
    if (e.status == kMetaEvent && e.metaType == kMetaTempo && e.data.size() == 3) {
      return uint32_t{e.data[0]} << 16 | uint32_t{e.data[1]} << 8 | e.data[2];
    }
  }
  return 500000;
}

}  // namespace tivenor::testing
