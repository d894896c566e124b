// Where a second window goes so that it hides nothing of the main one.
#pragma once

#include <QRect>
#include <QSize>

namespace trackmill {

// The frame for a window of frame size `wanted` beside `main` within `area`: to its right,
// left, below or above, the first side with room for it whole; else on the side with the
// most room, made smaller (never below `smallest` where the side allows it). Only when no
// side has room even for `smallest` does it cover part of `main`: its upper half, never
// the buttons and status at its bottom.
QRect PlaceBeside(const QRect &main, const QSize &wanted, const QRect &area, const QSize &smallest, int gap);

}  // namespace trackmill
