#include "midi_read/read_note_onsets.h"

#include <glib.h>
#include <smf.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace tivenor {
namespace {

constexpr unsigned char kNoteOn = 0x90;

// libsmf reports what it dislikes through glib's log; while it reads, the first such message is
// kept for the error text instead of reaching the terminal.
class LibraryMessages {
 public:
  LibraryMessages() : previous_(g_log_set_default_handler(&Keep, this)) {}
  ~LibraryMessages() { g_log_set_default_handler(previous_, nullptr); }
  LibraryMessages(const LibraryMessages&) = delete;
  LibraryMessages& operator=(const LibraryMessages&) = delete;

  const std::string& First() const { return first_; }

 private:
  static void Keep(const gchar*, GLogLevelFlags, const gchar* message, gpointer self) {
    auto* messages = static_cast<LibraryMessages*>(self);
    if (messages->first_.empty() && message != nullptr) messages->first_ = message;
  }

  GLogFunc previous_;
  std::string first_;
};

struct SmfDeleter {
  void operator()(smf_t* smf) const { smf_delete(smf); }
};

uint32_t BigEndian(const unsigned char* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

// libsmf reads a file cut short as far as it goes and calls that the tune; the chunk lengths and
// the header's track count tell a whole file from a part of one.
void CheckWhole(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) throw MidiReadError(std::strerror(errno));
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
  if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
    throw MidiReadError("not a MIDI file");
  }
  const uint32_t tracks = BigEndian(bytes.data() + 10, 2);
  uint32_t tracksFound = 0;
  std::size_t at = 0;
  while (at + 8 <= bytes.size()) {
    const uint32_t length = BigEndian(bytes.data() + at + 4, 4);
    if (length > bytes.size() - at - 8) {
      throw MidiReadError("damaged MIDI file: it ends inside a chunk (cut short?)");
    }
    if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0) ++tracksFound;
    at += 8 + length;
  }
  if (tracksFound < tracks) {
    throw MidiReadError("damaged MIDI file: " + std::to_string(tracksFound) + " of its " +
                        std::to_string(tracks) + " tracks are there (cut short?)");
  }
}

}  // namespace

std::vector<NoteOnset> ReadNoteOnsets(const std::string& fileName) {
  CheckWhole(fileName);
  std::unique_ptr<smf_t, SmfDeleter> smf;
  std::string complaint;
  {
    const LibraryMessages messages;
    smf.reset(smf_load(fileName.c_str()));
    complaint = messages.First();
  }
  if (!smf) {
    throw MidiReadError("damaged MIDI file" + (complaint.empty() ? "" : ": " + complaint));
  }
  std::vector<NoteOnset> onsets;
  smf_rewind(smf.get());
  while (const smf_event_t* event = smf_get_next_event(smf.get())) {
    if (event->midi_buffer_length < 3) continue;
    const unsigned char status = event->midi_buffer[0];
    if ((status & 0xF0) != kNoteOn || event->midi_buffer[2] == 0) continue;
    onsets.push_back({event->time_seconds, event->midi_buffer[1], status & 0x0F});
  }
  return onsets;
}

}  // namespace tivenor
