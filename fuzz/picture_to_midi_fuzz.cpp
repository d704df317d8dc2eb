// Arbitrary bytes through the converter's whole road: picture decoding, outline, column walk and
// fills, note points, transcription and the MIDI bytes. A damaged picture may only end in a
// RunError (the converter's one-line error); a crash, any other exception, a sanitizer report or
// a hang is a finding.

#include <QImageReader>
#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/hole_scan.h"
#include "analysis/run_error.h"
#include "analysis/scan_state.h"
#include "fuzz/quiet_host.h"
#include "midi/midi_buffer.h"
#include "midi/write_midi.h"
#include "picture/picture_file.h"

namespace {

// Larger pictures are refused by the size tests elsewhere; here they would only slow the search.
constexpr int64_t kLargestFuzzedPicture = 256 * 256;

// The product reads pictures from files, so the bytes go through one (in memory where possible),
// removed when the fuzzer ends.
class PictureFile {
 public:
  PictureFile()
      : name_(std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : P_tmpdir) +
              "/tivenor-fuzz-" + std::to_string(getpid()) + ".bmp") {}
  ~PictureFile() { std::remove(name_.c_str()); }
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

bool WriteBytes(const std::string& fileName, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

bool TooLargeToFuzz(const std::string& fileName) {
  const QSize size = QImageReader(QString::fromStdString(fileName)).size();
  return size.isValid() && int64_t{size.width()} * size.height() > kLargestFuzzedPicture;
}

// What every written MIDI file must satisfy, whatever the picture.
void CheckMidi(const tivenor::MidiBuffer& buffer) {
  const int32_t length = buffer.MidiLength;
  const int32_t track = (buffer.bytes[18] << 24) | (buffer.bytes[19] << 16) |
                        (buffer.bytes[20] << 8) | buffer.bytes[21];
  if (length < 50 || length > tivenor::MidiBufferCapacity || track != length - 22 ||
      buffer.bytes[static_cast<size_t>(length) - 1] != 0x00 ||
      buffer.bytes[static_cast<size_t>(length) - 8] != 0x78) {
    std::abort();
  }
}

void RunRoad(const std::string& fileName) {
  const tivenor::Raster picture = tivenor::LoadPicture(fileName);
  tivenor::fuzz::QuietHost host(picture);
  tivenor::ScanState state;
  state.SourceFileName = fileName;
  state.PictureLoaded = true;
  tivenor::ScanDisc(state, host);
  if (state.NoteCount == 0) return;
  tivenor::MidiBuffer buffer;
  tivenor::BuildMidi(state, host, buffer);
  CheckMidi(buffer);
}

// The codecs' warnings about damaged files would only slow the search down.
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qInstallMessageHandler(DropMessage);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const PictureFile file;
  const std::string& fileName = file.name();
  if (!WriteBytes(fileName, data, size)) std::abort();
  if (TooLargeToFuzz(fileName)) return 0;
  try {
    RunRoad(fileName);
  } catch (const tivenor::RunError&) {
    // The one kind of failure a damaged picture may cause.
  }
  return 0;
}
