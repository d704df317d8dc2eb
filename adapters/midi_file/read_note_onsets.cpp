#include "adapters/midi_file/read_note_onsets.h"

#include <fcntl.h>
#include <glib.h>
#include <poll.h>
#include <smf.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace tivenor {
namespace {

constexpr unsigned char kNoteOn = 0x90;
constexpr std::uintmax_t kLargestMidiFile = 64 << 20;
// Far longer than any real file takes: libsmf reads a large one in well under a second.
constexpr std::chrono::milliseconds kPatience{20000};

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
  std::error_code error;
  const auto status = std::filesystem::status(fileName, error);
  if (error) throw MidiReadError(error.message());
  // A device or a pipe could feed bytes for ever.
  if (!std::filesystem::is_regular_file(status)) throw MidiReadError("not a regular file");
  if (std::filesystem::file_size(fileName, error) > kLargestMidiFile) {
    throw MidiReadError("too large for a MIDI file");
  }
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

// What the reading child tells its parent: 'E' and a message, or 'N' and the onsets.
constexpr char kFailed = 'E';
constexpr char kNotes = 'N';

struct OnsetRecord {
  double seconds;
  int32_t key;
  int32_t channel;
};

std::string LoadAnswer(const std::string& fileName) {
  std::unique_ptr<smf_t, SmfDeleter> smf;
  std::string complaint;
  {
    const LibraryMessages messages;
    smf.reset(smf_load(fileName.c_str()));
    complaint = messages.First();
  }
  if (!smf) {
    // libsmf reads neither format 2 nor time in frames per second, and says so.
    const bool unsupported = complaint.find("no support") != std::string::npos;
    return kFailed + ((unsupported ? "unsupported MIDI file" : "damaged MIDI file") +
                      (complaint.empty() ? "" : ": " + complaint));
  }
  std::string answer(1, kNotes);
  smf_rewind(smf.get());
  while (const smf_event_t* event = smf_get_next_event(smf.get())) {
    if (event->midi_buffer_length < 3) continue;
    const unsigned char status = event->midi_buffer[0];
    if ((status & 0xF0) != kNoteOn || event->midi_buffer[2] == 0) continue;
    const OnsetRecord record{event->time_seconds, event->midi_buffer[1], status & 0x0F};
    answer.append(reinterpret_cast<const char*>(&record), sizeof record);
  }
  return answer;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Everything the child writes, or nothing when it has not finished within `patience`.
std::optional<std::string> ReadAll(int fd, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd waiting{fd, POLLIN, 0};
    const int ready = left.count() > 0 ? ::poll(&waiting, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return std::nullopt;
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

std::vector<NoteOnset> OnsetsOfAnswer(const std::string& answer) {
  if (answer.front() == kFailed) throw MidiReadError(answer.substr(1));
  std::vector<NoteOnset> onsets;
  onsets.reserve((answer.size() - 1) / sizeof(OnsetRecord));
  for (std::size_t at = 1; at + sizeof(OnsetRecord) <= answer.size(); at += sizeof(OnsetRecord)) {
    OnsetRecord record;
    std::memcpy(&record, answer.data() + at, sizeof record);
    onsets.push_back({record.seconds, record.key, record.channel});
  }
  return onsets;
}

}  // namespace

std::vector<NoteOnset> ReadNoteOnsets(const std::string& fileName) {
  CheckWhole(fileName);
  int channel[2];
  if (::pipe(channel) != 0) throw MidiReadError(std::strerror(errno));
  // libsmf ends the process with an assertion on some damaged files; it reads in a child
  // process of its own, so that such a file is an error like any other.
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(channel[0]);
    ::close(channel[1]);
    throw MidiReadError(std::strerror(error));
  }
  if (child == 0) {
    ::close(channel[0]);
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) ::dup2(quiet, STDERR_FILENO);
    const std::string answer = LoadAnswer(fileName);
    _exit(WriteAll(channel[1], answer) ? 0 : 1);
  }
  ::close(channel[1]);
  const std::optional<std::string> answer = ReadAll(channel[0], kPatience);
  ::close(channel[0]);
  if (!answer) ::kill(child, SIGKILL);  // a file that keeps the library busy is no tune either
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!answer) throw MidiReadError("damaged MIDI file: the MIDI library did not finish reading it");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || answer->empty()) {
    throw MidiReadError("damaged MIDI file: the MIDI library could not read it");
  }
  return OnsetsOfAnswer(*answer);
}

}  // namespace tivenor
