// Takes files dropped anywhere on a window: on the window itself, on controls that take
// no drops of their own (the drag then reaches the window), and on those that would take
// the drag as text (a line edit would paste the path). Drags without local files pass by.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace trackmill {

class TWindowDrop : public QObject {
    Q_OBJECT
public:
    // Watches the window and every widget in it now, except those given, which have a
    // drop target of their own, and windows of its own such as dialogs.
    TWindowDrop(QWidget *window, const QList<QWidget *> &except);

    // Switched off, a drag of files is refused everywhere it is watched.
    void SetEnabled(bool enabled);

    // The local paths of each drop taken.
    void SetOnDrop(std::function<void(const QStringList &paths)> handler) { onDrop_ = std::move(handler); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> except_;
    bool enabled_ = true;
    std::function<void(const QStringList &)> onDrop_;
};

}  // namespace trackmill
