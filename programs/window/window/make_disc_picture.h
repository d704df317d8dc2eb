#pragma once
// The disc maker in the window: a tune's MIDI file made into a picture of its disc, as
// tivenor-punch makes it by default, ready to be opened and read.

#include <string>
#include <vector>

namespace tivenor {

// Resolution of the made picture: the one the window's hole-size settings suit.
inline constexpr double kMadeDiscDpi = 150.0;

struct MadeDisc {
  int notesPunched = 0;
  int notesLeftOut = 0;
  std::vector<std::string> warnings;
};

// Reads `midiFile`, lays the tune out on a disc and writes `pictureFile` (.bmp or .png),
// replacing an old file only by a complete new one. Refuses a picture whose MIDI file, written
// beside it by START, would replace the tune. Throws std::runtime_error with one line.
MadeDisc MakeDiscPicture(const std::string& midiFile, const std::string& pictureFile);

// The message line after a disc was made, e.g. "Disc made: 42 notes punched, 1 left out".
std::string MadeDiscText(const MadeDisc& disc);

}  // namespace tivenor
