// One window a user and display: a second `trackmill FILE...` hands its files to the
// window already running, which takes them as a drop and comes to the front, and ends.
// The two meet through a local socket in a folder only the user can enter, named after the
// user and the display. (Not on Windows: the Qt built for it has no local sockets.)
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;

namespace trackmill {

class TOneWindow : public QObject {
    Q_OBJECT

public:
    explicit TOneWindow(QObject *parent = nullptr);
    ~TOneWindow() override;

    // This user's and display's meeting point; empty where there is no safe place for it.
    static QString ServerName();

    // Hands the paths (full ones) to the window that listens at `name`: true when it took
    // them, false when none is there.
    static bool HandOver(const QString &name, const QStringList &paths);

    // Listens at `name` from now on, taking the place of a socket a crashed run left.
    // `arrived` gets each second start's paths (none: it only wants the window). False
    // when another window listens there, or the place cannot be used.
    bool Listen(const QString &name, std::function<void(const QStringList &)> arrived);

private:
    void Serve();

    QLocalServer *server_ = nullptr;
    std::function<void(const QStringList &)> arrived_;
};

}  // namespace trackmill
