#include "midi_read/read_note_onsets.h"

#include <glib.h>
#include <smf.h>

#include <cerrno>
#include <cstring>
#include <fstream>
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

void CheckReadable(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) throw MidiReadError(std::strerror(errno));
  char magic[4] = {};
  file.read(magic, sizeof magic);
  if (file.gcount() != 4 || std::memcmp(magic, "MThd", 4) != 0) {
    throw MidiReadError("not a MIDI file");
  }
}

}  // namespace

std::vector<NoteOnset> ReadNoteOnsets(const std::string& fileName) {
  CheckReadable(fileName);
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
