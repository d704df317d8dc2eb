#pragma once
// One painting of a disc layout, for every kind of output: the painter's units are millimetres
// of the page, origin at its top-left corner, y downwards.

class QPainter;

namespace tivenor {

struct DiscLayout;

struct DiscLook {
  // Outlines only (rim, centre hole, drive holes, slots) for a cutter or plotter; otherwise the
  // printable look: the disc dark on white, the centre hole, drive holes and every slot white,
  // a label's ring and a start line printed dark grey.
  bool cut = false;
  // Width of a cut line in mm; 0 draws one device pixel.
  double hairlineMm = 0.0;
};

void PaintDisc(QPainter& painter, const DiscLayout& layout, const DiscLook& look);

// The pen and brush of the disc's own outline: a hairline for cutting, else the card's black.
void UseDiscPen(QPainter& painter, const DiscLook& look);

}  // namespace tivenor
