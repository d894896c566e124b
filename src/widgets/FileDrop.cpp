#include "widgets/FileDrop.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace trackmill {

QStringList LocalPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    return paths;
}

TFileDrop::TFileDrop(QObject *owner) : QObject(owner) {}

TFileDrop::~TFileDrop()
{
    Unhook();
    // Acceptance is withdrawn from the control that was hooked last.
    enableDrop_ = false;
    ApplyAcceptDrops(false);
}

void TFileDrop::ApplyAcceptDrops(bool accept)
{
    if (!dropControl_) return;
    dropControl_->setAcceptDrops(accept);
    if (hooked_ && hooked_ != dropControl_) hooked_->setAcceptDrops(accept);
}

void TFileDrop::SetEnableDrop(bool enable)
{
    enableDrop_ = enable;
    ApplyAcceptDrops(enable);
}

void TFileDrop::SetDropControl(QWidget *control)
{
    if (control && control == dropControl_) return;
    if (hooked_) Unhook();
    if (!control) {
        SetEnableDrop(false);
        dropControl_ = nullptr;
        hooked_ = nullptr;
        return;
    }
    // Leaving the old control: it stops accepting drops before it is forgotten.
    if (dropControl_) SetEnableDrop(false);
    dropControl_ = control;
    Hook();
    SetEnableDrop(true);
}

void TFileDrop::Hook()
{
    if (!dropControl_) {
        enableDrop_ = false;
        return;
    }
    // A scroll area's drag events arrive at its viewport, not at the area itself.
    QWidget *target = dropControl_;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(dropControl_.data()); area && area->viewport())
        target = area->viewport();
    hooked_ = target;
    target->installEventFilter(this);
}

void TFileDrop::Unhook()
{
    if (hooked_) hooked_->removeEventFilter(this);
}

bool TFileDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != hooked_ || !enableDrop_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (LocalPaths(drag->mimeData()).isEmpty()) break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList paths = LocalPaths(drop->mimeData());
        if (paths.isEmpty()) break;
        files_ = std::move(paths);
        dropPoint_ = drop->position().toPoint();
        drop->acceptProposedAction();
        if (onDrop_) onDrop_(*this);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace trackmill
