#pragma once
// The coloured symbols of the transport bar's buttons.

#include <QRectF>

class QPainter;

namespace tivenor {

enum class TransportButton { kPlay, kPause, kStop, kNext, kPrev };

inline constexpr TransportButton kTransportButtons[] = {
    TransportButton::kPlay, TransportButton::kPause, TransportButton::kStop, TransportButton::kNext,
    TransportButton::kPrev};

const char* TransportButtonName(TransportButton button);

// Draws the symbol of `button` centred in `area`; a disabled button's symbol is grey.
void PaintTransportGlyph(QPainter& painter, TransportButton button, const QRectF& area,
                         bool enabled);

}  // namespace tivenor
