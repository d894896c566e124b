#include "ui/Placement.h"

#include <algorithm>

namespace trackmill {

QRect PlaceBeside(const QRect &main, const QSize &wanted, const QRect &area, const QSize &smallest, int gap)
{
    const QSize want = wanted.boundedTo(area.size());
    const auto clampTo = [](int value, int low, int high) { return std::max(low, std::min(value, high)); };
    // The room on each side, and the frame placed there, as near the main window as it can.
    const int right = area.right() - (main.right() + gap);
    const int left = main.left() - gap - area.left();
    const int below = area.bottom() - (main.bottom() + gap);
    const int above = main.top() - gap - area.top();
    const int y = clampTo(main.top(), area.top(), area.bottom() + 1 - want.height());
    const int x = clampTo(main.left(), area.left(), area.right() + 1 - want.width());
    const QRect sides[] = {
        QRect(main.right() + gap + 1, y, std::min(want.width(), right), want.height()),
        QRect(0, y, std::min(want.width(), left), want.height()).translated(main.left() - gap - std::min(want.width(), left), 0),
        QRect(x, main.bottom() + gap + 1, want.width(), std::min(want.height(), below)),
        QRect(x, 0, want.width(), std::min(want.height(), above)).translated(0, main.top() - gap - std::min(want.height(), above)),
    };
    const QRect *best = nullptr;
    for (const QRect &side : sides) {
        if (side.size() == want) return side;
        if (side.width() < smallest.width() || side.height() < smallest.height()) continue;
        if (!best || side.width() * side.height() > best->width() * best->height()) best = &side;
    }
    if (best) return *best;
    // No side has room: over the top of the window (its option lines), never over the job's
    // buttons and status at its bottom.
    const QSize over(std::min(want.width(), main.width()), std::min(want.height(), std::max(1, main.height() / 2)));
    const int overX = clampTo(main.left(), area.left(), area.right() + 1 - over.width());
    const int overY = clampTo(main.top(), area.top(), area.bottom() + 1 - over.height());
    return QRect(overX, overY, over.width(), over.height());
}

}  // namespace trackmill
