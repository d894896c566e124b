#include "widgets/FocusFrame.h"

#include <QApplication>
#include <QPainter>

namespace trackmill {

TFocusFrame::TFocusFrame(QWidget *window) : QFocusFrame(window), window_(window)
{
    setObjectName(QStringLiteral("FocusFrame"));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { Follow(now); });
}

void TFocusFrame::Follow(QWidget *now)
{
    // An editable box's own line edit stands for the box.
    while (now && now->parentWidget() && now->parentWidget()->focusProxy() == now) now = now->parentWidget();
    const bool ours = now && now != window_ && now->window() == window_ && (now->focusPolicy() & Qt::TabFocus);
    setWidget(ours ? now : nullptr);
    if (ours) raise();
}

bool TFocusFrame::eventFilter(QObject *watched, QEvent *event)
{
    const bool handled = QFocusFrame::eventFilter(watched, event);
    if (widget() && watched == widget()) raise();
    return handled;
}

void TFocusFrame::paintEvent(QPaintEvent *)
{
    // The margins the style gives the frame, filled: the rest of it is masked away.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Highlight));
}

}  // namespace trackmill
