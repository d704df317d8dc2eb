#include "adapters/midi_file/read_tune_notes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>  // before mfmidi.h, which uses size_t without including it
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include <mfmidi.h>

#include "engine/making/tune_builder.h"

namespace tivenor {
namespace {

constexpr std::uintmax_t kLargestMidiFile = std::uintmax_t{64} << 20;
// portsmf grows the buffer of a system-exclusive or meta event 128 bytes at a time, copying it
// each time, which costs the square of its length: this much takes a few hundredths of a second
// at most, and no tune needs more.
constexpr std::size_t kLargestEvent = std::size_t{256} << 10;
// A delta time has at most four bytes of seven bits.
constexpr long kLongestDelta = (1L << 28) - 1;
constexpr int kLargestDataByte = 0x7F;
// A note-on under running status after a delta time of one byte: room for the most notes a file
// can hold is made at once (untouched memory costs nothing), so that they are never copied.
constexpr std::size_t kSmallestNoteBytes = 3;

[[noreturn]] void Fail(const std::string& why) {
  throw MidiReadError(why);
}

std::string Damaged(const std::string& why) {
  return "damaged MIDI file: " + why;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { ::close(fd_); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::vector<unsigned char> LoadBytes(const std::string& fileName) {
  // Opened without waiting, so that a named pipe is found out instead of waiting for a writer.
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) Fail(std::strerror(errno));
  const FileDescriptor file(fd);
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) Fail(std::strerror(errno));
  // A device or a pipe could feed bytes for ever.
  if (!S_ISREG(status.st_mode)) Fail("not a regular file");
  if (static_cast<std::uintmax_t>(status.st_size) > kLargestMidiFile) {
    Fail("too large for a MIDI file");
  }
  std::vector<unsigned char> bytes(static_cast<std::size_t>(status.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(std::strerror(errno));
    if (got == 0) break;  // it shrank meanwhile
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

uint32_t BigEndian(const unsigned char* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

struct ByteRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The header chunk and the track chunks, as the library is to read them; chunks of other kinds,
// which writers may add, are left out. The library would take a file cut short for the tune;
// the chunk lengths and the header's track count tell a whole file from a part of one.
std::vector<ByteRange> ChunksToRead(const std::vector<unsigned char>& bytes) {
  if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) Fail("not a MIDI file");
  if (BigEndian(bytes.data() + 4, 4) < 6) Fail(Damaged("its header chunk is too short"));
  const uint32_t tracks = BigEndian(bytes.data() + 10, 2);
  std::vector<ByteRange> chunks;
  std::size_t at = 0;
  while (at + 8 <= bytes.size()) {
    const uint32_t length = BigEndian(bytes.data() + at + 4, 4);
    if (length > bytes.size() - at - 8) {
      Fail(Damaged("it ends inside a chunk (cut short?)"));
    }
    const ByteRange chunk{at, at + 8 + length};
    const bool track = std::memcmp(bytes.data() + at, "MTrk", 4) == 0;
    if (at == 0 || (track && chunks.size() <= tracks)) chunks.push_back(chunk);
    at = chunk.end;
  }
  const std::size_t tracksFound = chunks.size() - 1;
  if (tracksFound < tracks) {
    Fail(Damaged(std::to_string(tracksFound) + " of its " + std::to_string(tracks) +
                 " tracks are there (cut short?)"));
  }
  return chunks;
}

// portsmf keeps the bytes of a meta event in a buffer it allocates on the first byte it keeps,
// and reads a tempo, time signature or other meta event through it even when the event has no
// bytes, which would go through a null pointer. This tiny file, read first, gives the buffer its
// first block.
constexpr unsigned char kPrimer[] = {'M', 'T',  'h', 'd', 0,   0,   0,    6,    0, 0, 0,
                                     1,   0,    96,  'M', 'T', 'r', 'k',  0,    0, 0, 9,
                                     0,   0xFF, 1,   1,   ' ', 0,   0xFF, 0x2F, 0};

// portsmf's streaming reader: it parses the chunks and events and calls back for each; this
// class hands the notes and tempo changes to a TuneBuilder and checks what the library does not.
class TuneFileReader final : public Midifile_reader {
 public:
  TuneFileReader() = default;
  ~TuneFileReader() { finalize(); }
  TuneFileReader(const TuneFileReader&) = delete;
  TuneFileReader& operator=(const TuneFileReader&) = delete;

  std::vector<TuneNote> Read(const std::vector<unsigned char>& bytes,
                             std::vector<ByteRange> chunks) {
    Serve(kPrimer, {{0, sizeof kPrimer}});
    midifile();
    Serve(bytes.data(), std::move(chunks));
    reading_ = true;
    expectedNotes_ = bytes.size() / kSmallestNoteBytes;
    midifile();
    if (failure_) Fail(*failure_);
    if (!tune_) Fail(Damaged("the MIDI library could not read it"));
    return tune_->Finish();
  }

 protected:
  void* Mf_malloc(size_t size) override {
    if (size > kLargestEvent) {
      Stop("unsupported MIDI file: " + Track() + " holds an event of more than 256 KB");
    }
    // The library reads up to five bytes of a meta event, also of one that has fewer: none of
    // them is ever left unset.
    void* block = ::operator new(size);
    std::memset(block, 0, std::min<std::size_t>(size, 8));
    return block;
  }
  void Mf_free(void* block, size_t) override { ::operator delete(block); }

  // Serves the chunks one after the other; a track's last event that runs past the end of its
  // chunk finds the end of the file.
  int Mf_getc() override {
    if (failure_) return EOF;
    while (at_ == end_) {
      if (trackOpen_) {
        Stop(Damaged(Track() + ": its last event runs past the end of the track"));
        return EOF;
      }
      if (range_ + 1 == ranges_.size()) return EOF;
      ++range_;
      at_ = ranges_[range_].begin;
      end_ = ranges_[range_].end;
    }
    return data_[at_++];
  }

  void Mf_error(char* message) override {
    if (reading_ && !failure_) {
      failure_ = Damaged((track_ > 0 ? Track() + ": " : std::string()) + message);
    }
  }

  void Mf_header(int format, int tracks, int division) override {
    if (!reading_) return;
    if (format == 2) return Stop("unsupported MIDI file: format 2 (independent patterns)");
    if (format > 2) {
      return Stop(
          Damaged("its header names format " + std::to_string(format) + ", which does not exist"));
    }
    if (tracks == 0) return Stop(Damaged("its header counts no tracks"));
    MidiTimeDivision time;
    if ((division & 0x8000) != 0) {
      // Frames a second as a negative byte, then pulses a frame.
      const int frames = 256 - (division >> 8);
      const int perFrame = division & 0xFF;
      if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) || perFrame == 0) {
        return Stop(Damaged("its header gives an unknown frame rate"));
      }
      time.pulsesPerSecond = (frames == 29 ? 30000.0 / 1001.0 : frames) * perFrame;
    } else if (division == 0) {
      return Stop(Damaged("its header gives 0 pulses per quarter note"));
    } else {
      time.pulsesPerQuarter = division;
    }
    tune_.emplace(time, expectedNotes_);
  }

  void Mf_starttrack() override {
    ++track_;
    trackOpen_ = true;
    trackEnded_ = false;
    lastPulse_ = 0;
    if (tune_) tune_->StartTrack();
  }

  void Mf_endtrack() override {
    trackOpen_ = false;
    if (tune_ && !failure_ && !trackEnded_) {
      Stop(Damaged(Track() + " ends without its end-of-track event"));
    }
  }

  void Mf_eot() override {
    if (!Timed()) return;
    trackEnded_ = true;
    tune_->EndTrack(Mf_currtime);
  }

  void Mf_on(int channel, int key, int velocity) override {
    if (ChannelEvent(key, velocity)) tune_->NoteOn(Mf_currtime, channel, key, velocity);
  }
  void Mf_off(int channel, int key, int velocity) override {
    if (ChannelEvent(key, velocity)) tune_->NoteOff(Mf_currtime, channel, key);
  }
  void Mf_pressure(int, int key, int pressure) override { ChannelEvent(key, pressure); }
  void Mf_controller(int, int control, int value) override { ChannelEvent(control, value); }
  void Mf_pitchbend(int, int low, int high) override { ChannelEvent(low, high); }
  void Mf_program(int, int program) override { ChannelEvent(program, 0); }
  void Mf_chanpressure(int, int pressure) override { ChannelEvent(pressure, 0); }

  void Mf_tempo(int microsecondsPerQuarter) override {
    if (Timed() && WholeTempoEvent(microsecondsPerQuarter)) {
      tune_->Tempo(Mf_currtime, microsecondsPerQuarter);
    }
  }

  // The events that say nothing about notes or time are read past.
  void Mf_chanprefix(int) override { Timed(); }
  void Mf_portprefix(int) override { Timed(); }
  void Mf_sysex(int, unsigned char*) override { Timed(); }
  void Mf_arbitrary(int, unsigned char*) override { Timed(); }
  void Mf_metamisc(int, int, unsigned char*) override { Timed(); }
  void Mf_seqnum(int) override { Timed(); }
  void Mf_smpte(int, int, int, int, int) override { Timed(); }
  void Mf_timesig(int, int, int, int) override { Timed(); }
  void Mf_keysig(int, int) override { Timed(); }
  void Mf_sqspecific(int, unsigned char*) override { Timed(); }
  void Mf_text(int, int, unsigned char*) override { Timed(); }

 private:
  void Serve(const unsigned char* data, std::vector<ByteRange> ranges) {
    data_ = data;
    ranges_ = std::move(ranges);
    range_ = 0;
    at_ = ranges_.front().begin;
    end_ = ranges_.front().end;
    track_ = 0;
  }

  // The first failure is the one told; the library stops at the next byte it asks for.
  void Stop(const std::string& why) {
    if (!failure_) failure_ = why;
  }

  std::string Track() const { return "track " + std::to_string(track_); }

  // Whether the event just read counts: the file is being read, the event comes before its
  // track's end, and its time is after the one before by a delta of four bytes at most.
  bool Timed() {
    if (!tune_ || failure_ || trackEnded_) return false;
    const long pulse = Mf_currtime;
    if (pulse < lastPulse_ || pulse - lastPulse_ > kLongestDelta) {
      Stop(Damaged(Track() + ": a delta time longer than four bytes"));
      return false;
    }
    lastPulse_ = pulse;
    return true;
  }

  // A channel event whose data bytes are bytes of seven bits, as the library does not check.
  bool ChannelEvent(int first, int second) {
    if (!Timed()) return false;
    if (first > kLargestDataByte || second > kLargestDataByte) {
      Stop(Damaged(Track() + ": a status byte where a data byte belongs"));
      return false;
    }
    return true;
  }

  // Whether the tempo the library read is the three bytes of a whole tempo event; the library
  // also reads one that is shorter, whose tempo is no tempo at all.
  bool WholeTempoEvent(int microsecondsPerQuarter) const {
    if (at_ < ranges_[range_].begin + 6) return false;
    const unsigned char* event = data_ + at_ - 6;
    return event[0] == 0xFF && event[1] == 0x51 && event[2] == 3 &&
           static_cast<int>(BigEndian(event + 3, 3)) == microsecondsPerQuarter;
  }

  const unsigned char* data_ = nullptr;
  std::vector<ByteRange> ranges_;
  std::size_t range_ = 0;
  std::size_t at_ = 0;
  std::size_t end_ = 0;   // of the range being read
  bool reading_ = false;  // false while the primer is read
  std::size_t expectedNotes_ = 0;
  int track_ = 0;
  bool trackOpen_ = false;
  bool trackEnded_ = false;
  long lastPulse_ = 0;
  std::optional<TuneBuilder> tune_;
  std::optional<std::string> failure_;
};

}  // namespace

std::vector<TuneNote> ReadTuneNotes(const std::string& fileName) {
  const std::vector<unsigned char> bytes = LoadBytes(fileName);
  std::vector<ByteRange> chunks = ChunksToRead(bytes);
  try {
    TuneFileReader reader;
    return reader.Read(bytes, std::move(chunks));
  } catch (const std::bad_alloc&) {
    Fail("not enough memory to read it");
  }
}

}  // namespace tivenor
