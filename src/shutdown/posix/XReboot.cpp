// The shutdown through systemd-logind on the system bus.
#include "shutdown/XReboot.h"

#include <QDBusMessage>
#include <QDBusObjectPath>

#include <unistd.h>

namespace trackmill {

namespace {
const char *const kLogindService = "org.freedesktop.login1";
const char *const kManagerPath = "/org/freedesktop/login1";
const char *const kManagerInterface = "org.freedesktop.login1.Manager";
const char *const kSessionInterface = "org.freedesktop.login1.Session";
}  // namespace

TXWinReboot::TXWinReboot(QObject *Owner)
    : TXWinReboot(QDBusConnection::systemBus(), QString::fromLatin1(kLogindService), Owner)
{
}

TXWinReboot::TXWinReboot(const QDBusConnection &Bus, const QString &Service, QObject *Owner)
    : QObject(Owner), Bus_(Bus), Service_(Service)
{
}

bool TXWinReboot::Execute()
{
    LastError_.clear();
    if (!Bus_.isConnected()) {
        LastError_ = "no connection to the system bus";
        const QString why = Bus_.lastError().message();
        if (!why.isEmpty()) LastError_ += ": " + why.toStdString();
        return false;
    }
    // logind has no "force" and no halt-without-power-off; a user-level request is all
    // a desktop program may make, and it must never wait for a password prompt.
    switch (Operation_) {
    case roLogOff: return TerminateSession();
    case roReboot: return CallManager("Reboot");
    case roShutDown: return CallManager("PowerOff");
    case roSuspend: return CallManager("Suspend");
    case roHibernate: return CallManager("Hibernate");
    }
    return false;
}

bool TXWinReboot::CallManager(const char *Method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service_, QString::fromLatin1(kManagerPath),
                                                       QString::fromLatin1(kManagerInterface),
                                                       QString::fromLatin1(Method));
    call << false;  // interactive
    const QDBusMessage reply = Bus_.call(call, QDBus::Block);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    LastError_ = std::string(Method) + " refused: " + reply.errorName().toStdString();
    if (!reply.errorMessage().isEmpty()) LastError_ += " (" + reply.errorMessage().toStdString() + ")";
    return false;
}

bool TXWinReboot::TerminateSession()
{
    const QString managerPath = QString::fromLatin1(kManagerPath);
    const QString manager = QString::fromLatin1(kManagerInterface);
    QDBusMessage lookup = QDBusMessage::createMethodCall(Service_, managerPath, manager,
                                                         QStringLiteral("GetSessionByPID"));
    lookup << static_cast<uint>(::getpid());
    QDBusMessage found = Bus_.call(lookup, QDBus::Block);
    if (found.type() != QDBusMessage::ReplyMessage) {
        // Started outside a session (a service, a remote shell): take the user's own.
        QDBusMessage byName = QDBusMessage::createMethodCall(Service_, managerPath, manager,
                                                             QStringLiteral("GetSession"));
        byName << QStringLiteral("auto");
        found = Bus_.call(byName, QDBus::Block);
    }
    if (found.type() != QDBusMessage::ReplyMessage || found.arguments().isEmpty()) {
        LastError_ = "no login session found: " + found.errorName().toStdString();
        return false;
    }
    const QString sessionPath = qvariant_cast<QDBusObjectPath>(found.arguments().at(0)).path();
    if (sessionPath.isEmpty()) {
        LastError_ = "no login session found";
        return false;
    }
    QDBusMessage terminate = QDBusMessage::createMethodCall(
        Service_, sessionPath, QString::fromLatin1(kSessionInterface), QStringLiteral("Terminate"));
    const QDBusMessage reply = Bus_.call(terminate, QDBus::Block);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    LastError_ = "Terminate refused: " + reply.errorName().toStdString();
    if (!reply.errorMessage().isEmpty()) LastError_ += " (" + reply.errorMessage().toStdString() + ")";
    return false;
}

}  // namespace trackmill
