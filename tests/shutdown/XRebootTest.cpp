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
        ASSERT_TRUE(bus_.Start());
        client_ = &bus_.Client();
    }

    tmtest::PrivateLogin1Bus bus_;
    tmtest::Login1Record &record_ = bus_.Record();
    QDBusConnection *client_ = nullptr;
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
