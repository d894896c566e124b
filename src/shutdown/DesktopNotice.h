// A notice on the desktop (the freedesktop notification service on the session bus), for
// the end of a job the user is not watching. Nothing waits for it; without the service it
// is simply not shown. Windows has no such service for a program without a tray icon:
// there the window gives the notice through a tray icon's message (widgets/TrayNotice).
#pragma once

#ifndef _WIN32
#include "shutdown/posix/Bus.h"
#endif
#include <QString>

namespace trackmill {

class TDesktopNotice {
public:
    // The session bus's notification service.
    TDesktopNotice();
#ifndef _WIN32
    // Another bus and service (a private bus in tests).
    TDesktopNotice(const QDBusConnection &bus, const QString &service);
#endif

    // Sends it without waiting for an answer; false when no bus could take it.
    bool Send(const QString &summary, const QString &body);

#ifndef _WIN32
private:
    QDBusConnection bus_;
    QString service_;
#endif
};

}  // namespace trackmill
