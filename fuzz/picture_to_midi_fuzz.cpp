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
#include <vector>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/reading/scan_state.h"
#include "engine/roads/read_disc.h"
#include "fuzz/fuzz_input_file.h"
#include "tests/support/memory_host.h"

namespace {

// Larger pictures are refused by the size tests elsewhere; here they would only slow the search.
constexpr int64_t kLargestFuzzedPicture = int64_t{128} * 128;

// The pixels a BMP header declares, top-down (negative height) included, which the codec's own
// size query does not always report; 0 for other files.
int64_t DeclaredBmpPixels(const uint8_t* data, size_t size) {
  const auto read32 = [data](size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(data[at]) | (uint32_t{data[at + 1]} << 8) |
                                (uint32_t{data[at + 2]} << 16) | (uint32_t{data[at + 3]} << 24));
  };
  if (size < 26 || data[0] != 'B' || data[1] != 'M') return 0;
  if (read32(14) == 12) return int64_t{data[18] | (data[19] << 8)} * (data[20] | (data[21] << 8));
  return std::abs(int64_t{read32(18)}) * std::abs(int64_t{read32(22)});
}

bool TooLargeToFuzz(const std::string& fileName, const uint8_t* data, size_t size) {
  if (DeclaredBmpPixels(data, size) > kLargestFuzzedPicture) return true;
  const QSize declared = QImageReader(QString::fromStdString(fileName)).size();
  return declared.isValid() &&
         int64_t{declared.width()} * declared.height() > kLargestFuzzedPicture;
}

// What every written MIDI file must satisfy, whatever the picture.
void CheckMidi(const std::vector<uint8_t>& bytes) {
  const auto length = static_cast<int32_t>(bytes.size());
  if (length < 50 || length > tivenor::MidiBufferCapacity) std::abort();
  const int32_t track = (bytes[18] << 24) | (bytes[19] << 16) | (bytes[20] << 8) | bytes[21];
  if (track != length - 22 || bytes[static_cast<size_t>(length) - 1] != 0x00 ||
      bytes[static_cast<size_t>(length) - 8] != 0x78) {
    std::abort();
  }
}

void RunRoad(const std::string& fileName) {
  const tivenor::Raster picture = tivenor::LoadPicture(fileName);
  tivenor::testing::MemoryHost host(picture);
  host.keepTexts = false;
  tivenor::ScanState state;
  state.SourceFileName = fileName;
  state.PictureLoaded = true;
  state.PictureClean = true;
  const tivenor::DiscReading reading = tivenor::ReadDisc(state, host, {});
  if (reading.noNotes) {
    if (tivenor::NoNotesText(*reading.noNotes, tivenor::SettingNaming::kCommandLine).empty())
      std::abort();
    return;
  }
  CheckMidi(reading.midi);
}

// The codecs' warnings about damaged files would only slow the search down.
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qInstallMessageHandler(DropMessage);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tivenor::fuzz::FuzzInputFile file(".bmp");
  const std::string& fileName = file.name();
  if (!file.Write(data, size)) std::abort();
  if (TooLargeToFuzz(fileName, data, size)) return 0;
  try {
    RunRoad(fileName);
  } catch (const tivenor::RunError&) {
    // The one kind of failure a damaged picture may cause.
  }
  return 0;
}
