// Turns one widget into a target for files dragged from the desktop: collects the local
// paths and the point of each drop and raises OnDrop.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QMimeData;

namespace trackmill {

class TFileDrop : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TFileDrop &sender)>;

    explicit TFileDrop(QObject *owner = nullptr);
    ~TFileDrop() override;

    // Local paths of the last drop, in the order delivered; non-local URLs are left out.
    const QStringList &Files() const { return files_; }
    int FileCount() const { return int(files_.size()); }
    // Position of the last drop in the drop control's client (viewport) coordinates;
    // (0, 0) before the first drop.
    QPoint DropPoint() const { return dropPoint_; }

    // Whether the control accepts drops (acceptDrops). Switching it off keeps the
    // control attached.
    bool EnableDrop() const { return enableDrop_; }
    void SetEnableDrop(bool enable);

    // The widget that receives drops; not owned. Assigning the current control changes
    // nothing; another control detaches from the old one, attaches and enables drops;
    // nullptr detaches and disables drops. A destroyed control detaches by itself.
    QWidget *DropControl() const { return dropControl_; }
    void SetDropControl(QWidget *control);

    // Raised once per drop, after Files, FileCount and DropPoint hold the new drop.
    void SetOnDrop(TNotifyEvent handler) { onDrop_ = std::move(handler); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Hook();
    void Unhook();
    void ApplyAcceptDrops(bool accept);

    QStringList files_;
    QPoint dropPoint_;
    bool enableDrop_ = false;
    QPointer<QWidget> dropControl_;
    QPointer<QWidget> hooked_;  // the object carrying the filter: the viewport for scroll areas
    TNotifyEvent onDrop_;
};

// The local file paths among a drag's URLs, in order; empty for plain text or remote URLs.
QStringList LocalPaths(const QMimeData *mime);

}  // namespace trackmill
