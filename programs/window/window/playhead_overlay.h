#pragma once
// The playhead drawn over the disc picture: a line from the centre to the rim in the direction
// being played, and a ring round every note that has sounded. Only the screen shows it; the
// picture itself is never changed.

#include <QColor>

#include "engine/fitting/reading_copy.h"
#include "engine/midi/playhead.h"

class QPainter;

namespace tivenor {

inline const QColor kPlayheadColour(255, 0, 255);  // magenta: no mark of the analysis uses it

// The playhead of a transcription that read `reading` instead of the picture, on the picture:
// its centre, rim and note points where they lie on the picture as given.
PlayheadMap PlayheadOnPicture(PlayheadMap map, const ReadingCopy& reading);

// Paints in picture coordinates; `scale` is how many screen pixels a picture pixel takes, so
// that the line and the rings keep their width on screen.
void PaintPlayhead(QPainter& painter, const PlayheadMap& map, double discTicks, double scale);

}  // namespace tivenor
