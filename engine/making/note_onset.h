#pragma once
// A note as a tune gives it to the disc maker: when it starts, how long it sounds and which key.

namespace tivenor {

inline constexpr int kDrumChannel = 9;  // channel 10 as musicians count

struct NoteOnset {
  double seconds = 0.0;        // from the start of the tune, through its tempo map
  int key = 0;                 // MIDI key in the source
  int channel = 0;             // 0-based
  double lengthSeconds = 0.0;  // until its release; sustained formats punch it
};

}  // namespace tivenor
