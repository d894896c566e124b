#include "shutdown/XReboot.h"

#include "support/TestSupport.h"
#include "shutdown/Login1StandIn.h"
#include "support/RunnerTestSupport.h"

#include <QDBusConnection>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

using trackmill::TXWinReboot;
using namespace trackmill;  // the operation names

TEST(XWinReboot, WindowsFlagValues)
{
    TXWinReboot fresh(QDBusConnection(QStringLiteral("unused")), QStringLiteral("x"));
    EXPECT_EQ(fresh.Operation(), roReboot);
    EXPECT_FALSE(fresh.PowerOff());
    EXPECT_FALSE(fresh.ForceTerminateProcesses());
    EXPECT_EQ(fresh.ExitWindowsFlags(), 2u);

    // The main window's configuration.
    TXWinReboot window(QDBusConnection(QStringLiteral("unused")), QStringLiteral("x"));
    window.SetOperation(roShutDown);
    window.SetPowerOff(true);
    window.SetForceTerminateProcesses(true);
    EXPECT_EQ(window.ExitWindowsFlags(), 13u);

    window.SetOperation(roLogOff);
    window.SetPowerOff(false);
    EXPECT_EQ(window.ExitWindowsFlags(), 4u);
    window.SetOperation(roReboot);
    window.SetPowerOff(true);
    window.SetForceTerminateProcesses(false);
    EXPECT_EQ(window.ExitWindowsFlags(), 10u);
    window.SetOperation(roSuspend);
    EXPECT_EQ(window.ExitWindowsFlags(), 0u);
    EXPECT_EQ(static_cast<int>(roHibernate), 4);
}

TEST(XWinReboot, DisconnectedBusIsAFailure)
{
    TXWinReboot reboot(QDBusConnection(QStringLiteral("tm-never-connected")),
                       QStringLiteral("org.freedesktop.login1"));
    reboot.SetOperation(roShutDown);
    EXPECT_FALSE(reboot.Execute());
    EXPECT_FALSE(reboot.LastError().empty());
}

// A private bus with the stand-in logind on it; nothing reaches the real system bus.
class XWinRebootOnPrivateBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tmtest::HaveTool("dbus-daemon")) GTEST_SKIP() << "dbus-daemon not installed";
        const std::string config = (dir_ / "bus.conf").string();
        tmtest::WriteText(dir_ / "bus.conf",
                          "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                          " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                          "<busconfig>\n"
                          "  <type>session</type>\n"
                          "  <listen>unix:dir=" + dir_.path().string() + "</listen>\n"
                          "  <auth>EXTERNAL</auth>\n"
                          "  <policy context=\"default\">\n"
                          "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                          "    <allow eavesdrop=\"true\"/>\n"
                          "    <allow own=\"*\"/>\n"
                          "  </policy>\n"
                          "</busconfig>\n");
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + QString::fromStdString(config),
                       QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon_.waitForStarted(10000));
        ASSERT_TRUE(tmtest::WaitUntil([&] { return daemon_.canReadLine(); }, 10000));
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        ASSERT_FALSE(address_.isEmpty());

        service_ = std::make_unique<tmtest::Login1Service>(address_, record_);
        service_->start();
        ASSERT_TRUE(tmtest::WaitUntil([&] { return service_->ready.load(); }, 10000));
        ASSERT_TRUE(service_->registered());
        client_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address_, QStringLiteral("tm-login1-client")));
        ASSERT_TRUE(client_->isConnected());
    }

    void TearDown() override
    {
        client_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("tm-login1-client"));
        if (service_) {
            service_->quit();
            service_->wait();
        }
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(5000)) daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }

    tmtest::TempDir dir_;
    QProcess daemon_;
    QString address_;
    tmtest::Login1Record record_;
    std::unique_ptr<tmtest::Login1Service> service_;
    std::unique_ptr<QDBusConnection> client_;
};

TEST_F(XWinRebootOnPrivateBus, EachOperationCallsLogindNonInteractively)
{
    TXWinReboot window(*client_, QStringLiteral("org.freedesktop.login1"));
    window.SetOperation(roShutDown);
    window.SetPowerOff(true);
    window.SetForceTerminateProcesses(true);
    EXPECT_TRUE(window.Execute()) << window.LastError();

    TXWinReboot fresh(*client_, QStringLiteral("org.freedesktop.login1"));
    EXPECT_TRUE(fresh.Execute()) << fresh.LastError();

    window.SetOperation(roSuspend);
    EXPECT_TRUE(window.Execute());
    window.SetOperation(roHibernate);
    window.SetForceTerminateProcesses(false);
    EXPECT_TRUE(window.Execute());

    EXPECT_EQ(record_.Calls(), (QStringList{"PowerOff(false)", "Reboot(false)", "Suspend(false)",
                                            "Hibernate(false)"}));
}

TEST_F(XWinRebootOnPrivateBus, LogOffTerminatesOurOwnSession)
{
    TXWinReboot reboot(*client_, QStringLiteral("org.freedesktop.login1"));
    reboot.SetOperation(roLogOff);
    EXPECT_TRUE(reboot.Execute()) << reboot.LastError();
    EXPECT_EQ(record_.Calls(),
              (QStringList{QStringLiteral("GetSessionByPID(%1)").arg(::getpid()), "Terminate"}));
}

TEST_F(XWinRebootOnPrivateBus, RefusedRequestsAreFailures)
{
    record_.refuse = true;
    TXWinReboot reboot(*client_, QStringLiteral("org.freedesktop.login1"));
    reboot.SetOperation(roShutDown);
    EXPECT_FALSE(reboot.Execute());
    EXPECT_NE(reboot.LastError().find("AccessDenied"), std::string::npos) << reboot.LastError();

    reboot.SetOperation(roLogOff);
    EXPECT_FALSE(reboot.Execute());
    EXPECT_NE(reboot.LastError().find("Terminate"), std::string::npos) << reboot.LastError();

    // A bus without the service at all.
    TXWinReboot nobody(*client_, QStringLiteral("org.example.NoSuchService"));
    EXPECT_FALSE(nobody.Execute());
    EXPECT_FALSE(nobody.LastError().empty());
}
