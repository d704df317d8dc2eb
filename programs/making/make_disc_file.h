#pragma once
// The maker's one road, for tivenor-punch and the window alike: a tune's MIDI file read, laid out
// on a disc and the disc's file written, each failure named after the file at fault. What each
// program refuses beforehand (outputs that are no regular files, names that would clash) and
// what it says afterwards stays its own.

#include <functional>
#include <string>

#include "adapters/paint/disc_file.h"
#include "engine/making/layout_disc.h"

namespace tivenor {

struct DiscFileRequest {
  std::string midi;    // the tune
  std::string output;  // the disc's file
  DiscFileKind kind = DiscFileKind::kPng;
  LayoutOptions options;
  DiscLook look;
  double dpi = 150.0;  // for a picture
};

// Reads, lays out and writes, telling `step` before each of the three ("Reading tune.mid",
// "Laying out 42 notes", "Writing disc.png"). Throws std::runtime_error: "\"FILE\": why".
DiscLayout MakeDiscFile(const DiscFileRequest& request,
                        const std::function<void(const std::string&)>& step = {});

}  // namespace tivenor
