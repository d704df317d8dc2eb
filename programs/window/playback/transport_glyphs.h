#pragma once
// The coloured symbols of the transport bar's buttons.

#include <QRectF>

class QPainter;

namespace tivenor {

enum class TransportButton { Play, Pause, Stop, Next, Prev };

inline constexpr TransportButton kTransportButtons[] = {
    TransportButton::Play, TransportButton::Pause, TransportButton::Stop, TransportButton::Next,
    TransportButton::Prev};

const char* TransportButtonName(TransportButton button);

// Draws the symbol of `button` centred in `area`; a disabled button's symbol is grey.
void PaintTransportGlyph(QPainter& painter, TransportButton button, const QRectF& area,
                         bool enabled);

}  // namespace tivenor
