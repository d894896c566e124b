#include "widgets/WindowDrop.h"

#include "widgets/FileDrop.h"

#include <QDragMoveEvent>
#include <QDropEvent>

namespace trackmill {

TWindowDrop::TWindowDrop(QWidget *window, const QList<QWidget *> &except) : QObject(window), window_(window)
{
    for (QWidget *w : except) except_.append(w);
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    // Windows of their own (a log, a console) are not part of this one.
    for (QWidget *child : window->findChildren<QWidget *>())
        if (!except.contains(child) && child->window() == window) child->installEventFilter(this);
}

void TWindowDrop::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (window_) window_->setAcceptDrops(enabled);
}

bool TWindowDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    for (const QPointer<QWidget> &w : except_)
        if (w == watched) return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    QStringList paths = LocalPaths(drop->mimeData());
    if (paths.isEmpty()) return QObject::eventFilter(watched, event);
    if (!enabled_) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop && onDrop_) onDrop_(paths);
    return true;
}

}  // namespace trackmill
