#pragma once
// The scan state that all steps of one START hand to each other. The disc's built-in constants
// live in disc/geometry.h.
// The caller owns one ScanState and keeps it between runs: entries above NoteCount keep what an
// earlier run left in them.

#include <cstdint>
#include <string>

#include "engine/base/checked_table.h"
#include "engine/base/raster.h"
#include "engine/disc/geometry.h"

namespace tivenor {

inline constexpr int kMaxNotes = 500;
inline constexpr int kMaxHolePixels = 500;

struct ScanState {
  std::string SourceFileName;  // the picture chosen by the user
  std::string MidiFileName;    // the MIDI file last written

  double CenterX = 0.0;  // disc centre, pixels
  double CenterY = 0.0;
  double ScanRadius = 0.0;  // outer radius of the ring in which hole pixels are taken, pixels
  double MmPerPixel = 0.0;
  double PixelsPerMm = 0.0;
  // Direction of the start gap, a fraction of a revolution counter-clockwise from the positive x
  // axis; the transcription turns it to 0. Set by every transcription.
  double StartAngle = 0.0;

  int32_t NoteCount = 0;
  int32_t HolePixelCount = 0;
  CheckedTable<PixelPoint, 0, kMaxHolePixels> HolePixels;  // slot 0 is never written

  PixelPoint EdgeLeft;
  PixelPoint EdgeRight;
  PixelPoint EdgeTop;
  PixelPoint EdgeBottom;

  CheckedTable<double, 1, kMaxNotes> NoteX;  // mm from the centre, to the right
  CheckedTable<double, 1, kMaxNotes> NoteY;  // mm from the centre, upwards
  CheckedTable<uint16_t, 1, kMaxNotes> NoteTime;
  CheckedTable<uint16_t, 1, kMaxNotes> NoteRank;   // 0-based place in time order
  CheckedTable<uint16_t, 1, kMaxNotes> NoteOrder;  // note number at each place
  CheckedTable<uint8_t, 1, kMaxNotes> NotePitch;
  // Whether the note's radius gave a pin in this run; notes without one are left out of the MIDI.
  CheckedTable<bool, 1, kMaxNotes> NoteHasPin;

  // Light patches the size test turned away in the last scan, so that a scan without notes
  // can say why.
  struct RejectedPatches {
    int32_t tooSmall = 0;  // of at least one pixel
    int32_t tooLarge = 0;
    int32_t largest = 0;   // pixel count of the largest, counted up to 500
    int32_t overfull = 0;  // patches, accepted or not, of more pixels than a hole holds
  } Rejected;
  // Pixels beyond 500 in a hole in the last scan; only the first of them are logged.
  int64_t OversizePixels = 0;

  Raster WorkBitmap;  // lives only during ScanDisc

  bool PictureLoaded = false;
  bool PictureClean = true;  // the displayed picture carries no marks of an analysis
};

}  // namespace tivenor
