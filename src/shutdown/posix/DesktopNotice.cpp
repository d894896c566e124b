#include "shutdown/DesktopNotice.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace trackmill {

namespace {
constexpr const char *kService = "org.freedesktop.Notifications";
constexpr const char *kPath = "/org/freedesktop/Notifications";
constexpr int kShownMs = 10000;
}  // namespace

TDesktopNotice::TDesktopNotice() : TDesktopNotice(QDBusConnection::sessionBus(), QString::fromLatin1(kService)) {}

TDesktopNotice::TDesktopNotice(const QDBusConnection &bus, const QString &service) : bus_(bus), service_(service) {}

bool TDesktopNotice::Send(const QString &summary, const QString &body)
{
    if (!bus_.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service_, QString::fromLatin1(kPath), QString::fromLatin1(kService),
                                                       QStringLiteral("Notify"));
    call << QStringLiteral("Trackmill") << 0u << QStringLiteral("trackmill") << summary << body << QStringList()
         << QVariantMap() << kShownMs;
    // No answer is awaited: a desktop without the service must not hold up the window.
    return bus_.send(call);
}

}  // namespace trackmill
