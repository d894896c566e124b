// A notice on the desktop (the freedesktop notification service on the session bus), for
// the end of a job the user is not watching. Nothing waits for it; without the service it
// is simply not shown.
#pragma once

#include <QDBusConnection>
#include <QString>

namespace trackmill {

class TDesktopNotice {
public:
    // The session bus's notification service.
    TDesktopNotice();
    // Another bus and service (a private bus in tests).
    TDesktopNotice(const QDBusConnection &bus, const QString &service);

    // Sends it without waiting for an answer; false when no bus could take it.
    bool Send(const QString &summary, const QString &body);

private:
    QDBusConnection bus_;
    QString service_;
};

}  // namespace trackmill
