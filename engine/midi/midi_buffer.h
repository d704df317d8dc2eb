#pragma once
// The MIDI file built in memory: fixed header and trailer, variable-length numbers, track length.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/files/output_check.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

inline constexpr int32_t MidiHeaderLength = 22;
// 500 notes of at most 8 bytes each, header and trailer.
inline constexpr int32_t MidiBufferCapacity = 42 + 8 * kMaxNotes + 8;

inline constexpr std::array<uint8_t, 42> MidiHeaderTemplate = {
    0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x60,
    0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x03, 0x18, 0x00, 0xFF, 0x51, 0x03, 0x09, 0x27,
    0xC0, 0x14, 0xC0, 0x0A, 0x14, 0xB0, 0x07, 0x64, 0x14, 0x0A, 0x40, 0x14, 0x0B, 0x7F};
// The header's set-up events stand 20 ticks apart; the last, at this tick, is where note times
// start counting.
inline constexpr int32_t MidiSetUpTicks = 80;
inline constexpr std::array<uint8_t, 7> MidiTrailer = {0xB0, 0x7B, 0x00, 0x14, 0xFF, 0x2F, 0x00};

struct MidiBuffer {
  std::array<uint8_t, MidiBufferCapacity> bytes{};
  int32_t MidiLength = 0;

  void AppendByte(uint8_t value);  // index-checked against the capacity
};

int32_t VarLenSize(int32_t value);
void AppendVarLen(MidiBuffer& buffer, int32_t value);
void StartMidi(MidiBuffer& buffer);
void FinishMidi(MidiBuffer& buffer);
void PatchTrackLength(MidiBuffer& buffer);

// The MIDI file name for a picture: its last three characters replaced by "mid". Throws RunError
// when that name would leave the picture's folder ("sub/ab" would give "submid").
std::string MidiFileNameFor(const std::string& sourceFileName);

// Whether `bytes` are a whole file as this program writes it: the header template's fixed
// bytes, the track length that matches, the trailer at the end.
bool IsOwnMidiFile(std::string_view bytes);
// A MIDI file replaces only a file of its own: anything else at its name is the user's.
// Readings of other disc formats have no fixed size: files up to this size are looked at.
inline constexpr std::size_t kLargestOwnMidiFile = std::size_t{16} << 20;
inline constexpr ReplaceRule kOwnMidiFiles{kLargestOwnMidiFile, IsOwnMidiFile};

// Throws RunError, before any work, when a file other than one of its own stands at `fileName`.
void RefuseForeignMidiFile(const std::string& fileName);

// Writes the buffer's bytes to `fileName` through the one safe way of saving (save_file.h),
// replacing only a file of its own. Throws RunError naming the file on failure.
void SaveMidiBytes(const std::string& fileName, const MidiBuffer& buffer);
void SaveMidiBytes(const std::string& fileName, std::span<const uint8_t> bytes);

// Sets MidiFileName from SourceFileName, then SaveMidiBytes to it.
void SaveMidiFile(ScanState& state, const MidiBuffer& buffer);
void SaveMidiFile(ScanState& state, std::span<const uint8_t> bytes);

}  // namespace tivenor
