#include "engine/midi/midi_buffer.h"

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

bool IsOwnMidiFile(std::string_view bytes) {
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
  state.MidiFileName = MidiFileNameFor(state.SourceFileName);
  SaveMidiBytes(state.MidiFileName, buffer);
}

void SaveMidiBytes(const std::string& target, const MidiBuffer& buffer) {
  const std::string_view bytes(reinterpret_cast<const char*>(buffer.bytes.data()),
                               static_cast<std::size_t>(buffer.MidiLength));
  SaveFile({target, "MIDI file"}, bytes, kOwnMidiFiles);
}

}  // namespace tivenor
