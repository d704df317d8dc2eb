#include "engine/slots/slot_notes.h"

#include <algorithm>

#include "engine/slots/disc_frame.h"

namespace tivenor {

std::vector<SlotNote> NotesOfSlots(std::span<const SlotShape> shapes, const KeyedSlots& keyed,
                                   const DiscFormat& format, double startAngle,
                                   double turnSeconds) {
  std::vector<SlotNote> notes;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const int track = keyed.tracks[i];
    if (track < 0 || static_cast<std::size_t>(track) >= format.keys.size()) continue;
    const SlotShape& shape = shapes[i];
    double lead = WrapDegrees(shape.arc.lead - startAngle);
    double sweep = shape.arc.sweep;
    if (lead + sweep > 360.0) {
      sweep = lead + sweep - 360.0;
      lead = 0.0;
    }
    const double lag = shape.radius > 0.0 ? format.timeLead / shape.radius : 0.0;
    SlotNote note;
    note.key = format.keys[static_cast<std::size_t>(track)];
    note.onsetSeconds = (lead / 360.0 + lag) * turnSeconds;
    note.lengthSeconds =
        format.notes == NoteKind::kSustained ? sweep / 360.0 * turnSeconds : kPluckedNoteSeconds;
    note.shape = i;
    notes.push_back(note);
  }
  std::sort(notes.begin(), notes.end(), [](const SlotNote& a, const SlotNote& b) {
    return a.onsetSeconds != b.onsetSeconds ? a.onsetSeconds < b.onsetSeconds : a.key < b.key;
  });
  return notes;
}

}  // namespace tivenor
