#pragma once
// The painting of a disc of a format other than the built-in one, in millimetres of its page
// (origin at the top-left corner, y downwards).

class QPainter;

namespace tivenor {

struct DiscLayout;
struct DiscLook;

void PaintFormatDisc(QPainter& painter, const DiscLayout& layout, const DiscLook& look);

}  // namespace tivenor
