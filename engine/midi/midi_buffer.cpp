#include "engine/midi/midi_buffer.h"

#include "engine/midi/standard_midi.h"

#include <algorithm>

#include "engine/base/checked_math.h"
#include "engine/files/save_file.h"

namespace tivenor {

namespace {

void StoreAt(MidiBuffer& buffer, int32_t offset, uint8_t value) {
  if (offset < 0 || offset >= MidiBufferCapacity) throw RunError(kRangeCheckError);
  buffer.bytes[static_cast<std::size_t>(offset)] = value;
}

bool SameBytes(std::string_view bytes, std::size_t from, std::size_t to, const uint8_t* expected) {
  return std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                    bytes.begin() + static_cast<std::ptrdiff_t>(to), expected,
                    [](char byte, uint8_t want) { return static_cast<uint8_t>(byte) == want; });
}

}  // namespace

void MidiBuffer::AppendByte(uint8_t value) {
  StoreAt(*this, MidiLength, value);
  MidiLength = CheckedAdd(MidiLength, 1);
}

int32_t VarLenSize(int32_t value) {
  if (value < 128) return 1;
  int32_t count = 1;
  uint32_t rest = static_cast<uint32_t>(value);
  do {
    rest >>= 7;
    ++count;
  } while (rest >= 128);
  return count;
}

void AppendVarLen(MidiBuffer& buffer, int32_t value) {
  const int32_t size = VarLenSize(value);
  buffer.MidiLength = CheckedAdd(buffer.MidiLength, size);
  uint32_t rest = static_cast<uint32_t>(value);
  StoreAt(buffer, buffer.MidiLength - 1, static_cast<uint8_t>(rest & 0x7F));
  for (int32_t k = 1; k <= size - 1; ++k) {
    rest >>= 7;
    StoreAt(buffer, buffer.MidiLength - 1 - k, static_cast<uint8_t>((rest & 0x7F) | 0x80));
  }
}

void StartMidi(MidiBuffer& buffer) {
  std::copy(MidiHeaderTemplate.begin(), MidiHeaderTemplate.end(), buffer.bytes.begin());
  buffer.MidiLength = static_cast<int32_t>(MidiHeaderTemplate.size());
}

void FinishMidi(MidiBuffer& buffer) {
  AppendVarLen(buffer, 120);
  for (const uint8_t byte : MidiTrailer) buffer.AppendByte(byte);
}

void PatchTrackLength(MidiBuffer& buffer) {
  uint32_t length = static_cast<uint32_t>(CheckedSub(buffer.MidiLength, MidiHeaderLength));
  for (int32_t k = 0; k <= 3; ++k) {
    StoreAt(buffer, MidiHeaderLength - 1 - k, static_cast<uint8_t>(length & 0xFF));
    length >>= 8;
  }
}

std::string MidiFileNameFor(const std::string& sourceFileName) {
  const std::size_t keep = sourceFileName.size() >= 3 ? sourceFileName.size() - 3 : 0;
  std::string midiFileName = sourceFileName.substr(0, keep) + "mid";
  // Dropping a folder's separator would put the file beside the folder, or in another one.
  if (sourceFileName.find('/', keep) != std::string::npos) {
    throw RunError("The MIDI file of \"" + sourceFileName + "\" would be \"" + midiFileName +
                   "\", outside the picture's folder: nothing written");
  }
  return midiFileName;
}

namespace {

// A file of the general writer: one track whose first event is its name, ended as a track ends.
bool IsOwnStandardMidiFile(std::string_view bytes) {
  static constexpr std::array<uint8_t, 12> kHeader = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
  static constexpr std::array<uint8_t, 4> kTrackEnd = {0x00, 0xFF, 0x2F, 0x00};
  constexpr std::size_t kNameAt = 22;
  const std::size_t size = bytes.size();
  return size >= kNameAt + kOwnTrackName.size() + kTrackEnd.size() &&
         SameBytes(bytes, 0, kHeader.size(), kHeader.data()) && bytes.substr(14, 4) == "MTrk" &&
         SameBytes(bytes, kNameAt, kNameAt + kOwnTrackName.size(), kOwnTrackName.data()) &&
         SameBytes(bytes, size - kTrackEnd.size(), size, kTrackEnd.data());
}

}  // namespace

bool IsOwnMidiFile(std::string_view bytes) {
  if (IsOwnStandardMidiFile(bytes)) return true;
  const std::size_t size = bytes.size();
  const std::size_t header = MidiHeaderTemplate.size();
  if (size < header + MidiTrailer.size() || size > MidiBufferCapacity) return false;
  const std::size_t lengthAt = MidiHeaderLength - 4;
  uint32_t trackLength = 0;
  for (std::size_t k = lengthAt; k < static_cast<std::size_t>(MidiHeaderLength); ++k) {
    trackLength = (trackLength << 8) | static_cast<uint8_t>(bytes[k]);
  }
  return SameBytes(bytes, 0, lengthAt, MidiHeaderTemplate.data()) &&
         SameBytes(bytes, MidiHeaderLength, header, MidiHeaderTemplate.data() + MidiHeaderLength) &&
         trackLength == size - MidiHeaderLength &&
         SameBytes(bytes, size - MidiTrailer.size(), size, MidiTrailer.data());
}

void RefuseForeignMidiFile(const std::string& fileName) {
  RefuseReplacingForeignFile({fileName, "MIDI file"}, kOwnMidiFiles);
}

void SaveMidiFile(ScanState& state, const MidiBuffer& buffer) {
  SaveMidiFile(state, std::span<const uint8_t>(buffer.bytes.data(),
                                               static_cast<std::size_t>(buffer.MidiLength)));
}

void SaveMidiFile(ScanState& state, std::span<const uint8_t> bytes) {
  state.MidiFileName = MidiFileNameFor(state.SourceFileName);
  SaveMidiBytes(state.MidiFileName, bytes);
}

void SaveMidiBytes(const std::string& target, const MidiBuffer& buffer) {
  SaveMidiBytes(target, std::span<const uint8_t>(buffer.bytes.data(),
                                                 static_cast<std::size_t>(buffer.MidiLength)));
}

void SaveMidiBytes(const std::string& target, std::span<const uint8_t> bytes) {
  SaveFile({target, "MIDI file"},
           std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
           kOwnMidiFiles);
}

}  // namespace tivenor
