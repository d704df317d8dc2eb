#include "engine/midi/midi_buffer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "engine/base/checked_math.h"
#include "engine/files/temporary_file.h"

namespace tivenor {

namespace {

void StoreAt(MidiBuffer& buffer, int32_t offset, uint8_t value) {
  if (offset < 0 || offset >= MidiBufferCapacity) throw RunError(kRangeCheckError);
  buffer.bytes[static_cast<std::size_t>(offset)] = value;
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
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
  return sourceFileName.substr(0, keep) + "mid";
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
  // The old file is replaced only by a complete new one: write beside it, then rename over it.
  std::string temporary;
  const int fd = CreateTemporaryBeside(target, temporary);
  if (fd < 0) ThrowIoError(target, errno);
  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  const int writeError = errno;
  if (!written || fsync(fd) != 0) {
    const int error = written ? errno : writeError;
    close(fd);
    unlink(temporary.c_str());
    ThrowIoError(target, error);
  }
  if (close(fd) != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    ThrowIoError(target, error);
  }
}

}  // namespace tivenor
