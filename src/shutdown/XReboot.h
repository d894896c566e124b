// TXWinReboot ends the user's work on the machine: log off, reboot, shut down, suspend
// or hibernate. On Linux the request goes to systemd-logind over D-Bus, never
// interactively; on Windows to ExitWindowsEx with the shutdown privilege, or
// SetSuspendState.
#pragma once

#ifndef _WIN32
#include "shutdown/posix/Bus.h"
#endif
#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

namespace trackmill {

enum TRebootOperation { roLogOff, roReboot, roShutDown, roSuspend, roHibernate };

class TXWinReboot : public QObject {
    Q_OBJECT
public:
    // Windows flag values of the first three operations and the two modifiers.
    static constexpr std::uint32_t EwxLogOff = 0;
    static constexpr std::uint32_t EwxShutdown = 1;
    static constexpr std::uint32_t EwxReboot = 2;
    static constexpr std::uint32_t EwxForce = 4;
    static constexpr std::uint32_t EwxPowerOff = 8;

    // Talks to logind on the system bus (on Windows: the system's own calls).
    explicit TXWinReboot(QObject *Owner = nullptr);
#ifndef _WIN32
    // Talks to the given bus and service instead (a private bus in tests).
    TXWinReboot(const QDBusConnection &Bus, const QString &Service, QObject *Owner = nullptr);
#endif

    TRebootOperation Operation() const { return Operation_; }
    void SetOperation(TRebootOperation Value) { Operation_ = Value; }
    bool PowerOff() const { return PowerOff_; }
    void SetPowerOff(bool Value) { PowerOff_ = Value; }
    bool ForceTerminateProcesses() const { return ForceTerminateProcesses_; }
    void SetForceTerminateProcesses(bool Value) { ForceTerminateProcesses_ = Value; }

    // The Windows shutdown flags for log off, reboot and shut down, with power off (8)
    // and force (4) added; 0 for suspend and hibernate, which take switches instead.
    std::uint32_t ExitWindowsFlags() const;

    // Sends the request; true when the platform accepted it. LastError() says why not.
    bool Execute();
    const std::string &LastError() const { return LastError_; }

private:
    TRebootOperation Operation_ = roReboot;
    bool PowerOff_ = false;
    bool ForceTerminateProcesses_ = false;
    std::string LastError_;
#ifndef _WIN32
    bool CallManager(const char *Method);
    bool TerminateSession();

    QDBusConnection Bus_;
    QString Service_;
#endif
};

}  // namespace trackmill
