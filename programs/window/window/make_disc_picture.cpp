#include "programs/window/window/make_disc_picture.h"

#include <stdexcept>

#include "adapters/paint/disc_file.h"
#include "engine/files/file_identity.h"
#include "engine/making/layout_warnings.h"
#include "engine/midi/midi_buffer.h"
#include "programs/making/make_disc_file.h"

namespace tivenor {

namespace {

[[noreturn]] void Fail(const std::string& file, const std::string& why) {
  throw std::runtime_error("\"" + file + "\": " + why);
}

}  // namespace

MadeDisc MakeDiscPicture(const std::string& midiFile, const std::string& pictureFile) {
  const std::optional<DiscFileKind> kind = DiscFileKindOf(pictureFile);
  if (kind != DiscFileKind::kBmp && kind != DiscFileKind::kPng) {
    Fail(pictureFile, "the disc's picture must be a .bmp or .png file");
  }
  if (SameFile(midiFile, pictureFile)) Fail(midiFile, "will not write over the tune itself");
  if (SameFile(midiFile, MidiFileNameFor(pictureFile))) {
    Fail(pictureFile, "START would write its MIDI file over the tune; choose another name");
  }

  const DiscLayout layout =
      MakeDiscFile({midiFile, pictureFile, *kind, LayoutOptions{}, DiscLook{}, kMadeDiscDpi});
  MadeDisc made;
  made.notesPunched = static_cast<int>(layout.notes.size());
  made.notesLeftOut = static_cast<int>(layout.leftOut.size());
  made.warnings = LayoutWarnings(layout);
  return made;
}

std::string MadeDiscText(const MadeDisc& disc) {
  std::string text = "Disc made: " + std::to_string(disc.notesPunched) + " notes punched, " +
                     std::to_string(disc.notesLeftOut) + " left out";
  for (const std::string& warning : disc.warnings) text += "; " + warning;
  return text;
}

}  // namespace tivenor
