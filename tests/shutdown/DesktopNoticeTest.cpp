// The end-of-job notice as the desktop's notification service receives it.
#include "shutdown/DesktopNotice.h"
#include "shutdown/Login1StandIn.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace {

class NotificationsStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList heard;

public slots:
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &, int timeout)
    {
        heard << QStringList{app, QString::number(replaces), icon, summary, body, actions.join(','),
                             QString::number(timeout)}
                     .join('|');
        return 1;
    }
};

TEST(DesktopNotice, TheServiceHearsTheSummary)
{
    ASSERT_TRUE(tmtest::HaveTool("dbus-daemon"));
    tmtest::PrivateLogin1Bus bus;
    ASSERT_TRUE(bus.Start());
    NotificationsStandIn service;
    ASSERT_TRUE(bus.Client().registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                            QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.Client().registerService(QStringLiteral("org.freedesktop.Notifications")));

    trackmill::TDesktopNotice notice(bus.Client(), QStringLiteral("org.freedesktop.Notifications"));
    ASSERT_TRUE(notice.Send("Transcoding finished", "12 converted, 1 skipped, 2 failed"));
    ASSERT_TRUE(tmtest::WaitUntil(
        [&] {
            QCoreApplication::processEvents();
            return !service.heard.isEmpty();
        },
        10000));
    EXPECT_EQ(service.heard,
              QStringList{"Trackmill|0|trackmill|Transcoding finished|12 converted, 1 skipped, 2 failed||10000"});

    // Without a bus nothing is sent, and nothing waits.
    trackmill::TDesktopNotice nowhere(QDBusConnection(QStringLiteral("tm-never-connected")),
                                      QStringLiteral("org.freedesktop.Notifications"));
    EXPECT_FALSE(nowhere.Send("x", "y"));
    bus.Client().unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
}

}  // namespace

#include "DesktopNoticeTest.moc"
