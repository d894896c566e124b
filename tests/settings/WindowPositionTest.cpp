// Profile helpers, screen-size keys, the window position and the settings location.
#include "settings/WindowPosition.h"
#include "config/SettingsPath.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace trackmill;
using tmtest::ReadText;
using tmtest::TempDir;
using tmtest::WriteText;

class ScreenGuard {
public:
    explicit ScreenGuard(ScreenMetrics m) { Set(m); }
    ~ScreenGuard() { SetScreenMetricsProvider({}); }
    void Set(ScreenMetrics m)
    {
        SetScreenMetricsProvider([m] { return m; });
    }
};

TEST(ProfileHelpers, QuoteProtectionRoundTripsQuotedTexts)
{
    TempDir dir;
    TIniFile ini((dir / "q.ini").string());
    const QStringList values = {QStringLiteral("\"double quoted\""), QStringLiteral("'single quoted'"),
                                QStringLiteral("\"a\" and \"b\""), QStringLiteral("\"x'"), QStringLiteral("\"")};
    for (int i = 0; i < values.size(); ++i) {
        ProfileWriteString(&ini, "S", QStringLiteral("k%1").arg(i), values[i]);
        EXPECT_EQ(ProfileReadString(&ini, "S", QStringLiteral("k%1").arg(i), "d"), values[i]);
    }
    ProfileWriteString(&ini, "S", "blanks", QStringLiteral("  both ends  "));
    EXPECT_EQ(ProfileReadString(&ini, "S", "blanks", "d"), QStringLiteral("both ends"));
    EXPECT_NE(ReadText(dir / "q.ini").find("k0=\"\"double quoted\"\"\n"), std::string::npos);
    EXPECT_NE(ReadText(dir / "q.ini").find("k3=\"x'\n"), std::string::npos);  // not wrapped

    // Without an INI object reads give the default and writes do nothing.
    EXPECT_EQ(ProfileReadString(nullptr, "S", "k0", "d"), QStringLiteral("d"));
    EXPECT_EQ(ProfileReadInteger(nullptr, "S", "k0", 5), 5);
    ProfileWriteString(nullptr, "S", "k0", "x");
}

TEST(ProfileHelpers, ScreenValuesPairSuffixedAndPlainKeys)
{
    TempDir dir;
    const auto path = dir / "s.ini";
    TIniFile ini(path.string());
    ScreenGuard screen({1024, 768, 96});
    EXPECT_EQ(ScreenSizeSuffix(), QStringLiteral("(1024x768)"));
    WriteScreenValue(&ini, "S", "NormPos", "1,2,3,4");
    screen.Set({1280, 1024, 96});
    EXPECT_EQ(ReadScreenValue(&ini, "S", "NormPos"), QStringLiteral("1,2,3,4"));  // the plain key
    WriteScreenValue(&ini, "S", "NormPos", "5,6,7,8");
    EXPECT_EQ(ReadText(path), "[S]\nNormPos(1024x768)=1,2,3,4\nNormPos=5,6,7,8\nNormPos(1280x1024)=5,6,7,8\n");
    screen.Set({1024, 768, 96});
    EXPECT_EQ(ReadScreenValue(&ini, "S", "NormPos"), QStringLiteral("1,2,3,4"));  // the suffixed key wins
}

TEST(ProfileHelpers, ErrorTextGetsAPointByCodeOrder)
{
    EXPECT_EQ(ApplicationErrorText("Unable to write to /x/a.ini"), QStringLiteral("Unable to write to /x/a.ini."));
    EXPECT_EQ(ApplicationErrorText("Ends with a point."), QStringLiteral("Ends with a point."));
    EXPECT_EQ(ApplicationErrorText("Bang!"), QStringLiteral("Bang!"));  // "!" comes before "."
    EXPECT_EQ(ApplicationErrorText("dir/"), QStringLiteral("dir/."));
    EXPECT_EQ(ApplicationErrorText(""), QString());
    QString shown;
    SetApplicationErrorDisplay([&](const QString &t) { shown = t; });
    ShowApplicationError("Failed");
    SetApplicationErrorDisplay({});
    EXPECT_EQ(shown, QStringLiteral("Failed."));
}

class WindowPosition : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.setGeometry(100, 100, 300, 200);
        WriteText(path, "");
    }
    void Stored(const std::string &keys) { WriteText(path, "[W]\n" + keys); }
    void Read() { ReadWindowPosition(&window, &ini, "W", false, true); }

    ScreenGuard screen{{1024, 768, 96}};
    TempDir dir;
    std::filesystem::path path = dir / "w.ini";
    TIniFile ini{path.string()};
    QWidget window;
};

TEST_F(WindowPosition, WrittenKeysDescribeTheFrame)
{
    WriteWindowPosition(&window, &ini, "W");
    const QRect f = window.frameGeometry();
    const std::string norm = std::to_string(f.left()) + "," + std::to_string(f.top()) + "," +
                             std::to_string(f.left() + f.width()) + "," + std::to_string(f.top() + f.height());
    EXPECT_EQ(ReadText(path), "[W]\nFlags=0\nShowCmd=1\nPixelsPerInch=96\nMinMaxPos(1024x768)=-1,-1,-1,-1\n"
                              "MinMaxPos=-1,-1,-1,-1\nNormPos(1024x768)=" + norm + "\nNormPos=" + norm + "\n");
}

TEST_F(WindowPosition, SizeableWindowTakesPositionAndSize)
{
    Stored("PixelsPerInch=96\nNormPos=40,50,440,350\n");
    Read();
    EXPECT_EQ(window.pos(), QPoint(40, 50));
    EXPECT_EQ(window.frameGeometry().size(), QSize(400, 300));
}

TEST_F(WindowPosition, FixedSizeWindowOnlyMoves)
{
    window.setFixedSize(300, 200);
    Stored("PixelsPerInch=96\nNormPos=40,50,900,700\n");
    Read();
    EXPECT_EQ(window.pos(), QPoint(40, 50));
    EXPECT_EQ(window.size(), QSize(300, 200));
}

TEST_F(WindowPosition, IgnoredAtAnotherDensityOrWhenEmptyOrInverted)
{
    const QRect before = window.geometry();
    for (const std::string keys : {"PixelsPerInch=120\nNormPos=40,50,440,350\n", "PixelsPerInch=96\n",
                                   "NormPos=500,50,40,350\n"}) {
        Stored(keys);
        Read();
        EXPECT_EQ(window.geometry(), before) << keys;
    }
    Stored("NormPos(1024x768)=\nNormPos=40,50,440,350\n");  // empty suffixed key falls back
    Read();
    EXPECT_EQ(window.pos(), QPoint(40, 50));
}

TEST_F(WindowPosition, BadWordsFallBackToTheCurrentFrame)
{
    const QRect f = window.frameGeometry();
    Stored("NormPos=abc,, 60 ,x\n");  // blanks and commas both separate; "x" is no number
    Read();
    EXPECT_EQ(window.pos(), QPoint(f.left(), 60));
    EXPECT_EQ(window.frameGeometry().size(), QSize(f.width(), f.top() + f.height() - 60));
}

TEST_F(WindowPosition, APositionOffEveryScreenIsBroughtBack)
{
    Stored("NormPos=2147483000,-2147483000,2147483600,-2147482000\n");
    Read();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(window.frameGeometry())) << window.frameGeometry().x();
}

TEST(WindowFit, AFrameGoesWhollyOntoTheScreenItCoversMostElseTheClosest)
{
    // A 1920 x 1080 screen with a 1280 x 1024 one to its right, its panel taking 40 rows.
    const QList<QRect> areas = {QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
    const QSize none;
    EXPECT_EQ(FitOnAreas(QRect(100, 100, 640, 400), none, areas), QRect(100, 100, 640, 400));
    EXPECT_EQ(FitOnAreas(QRect(2000, 500, 640, 400), none, areas), QRect(2000, 500, 640, 400));
    // Across the edge between the two: onto the one holding more of it, whole.
    EXPECT_EQ(FitOnAreas(QRect(1800, 100, 640, 400), none, areas), QRect(1920, 100, 640, 400));
    EXPECT_EQ(FitOnAreas(QRect(1500, 100, 640, 400), none, areas), QRect(1280, 100, 640, 400));
    // Below the taskbar, and on a screen that is gone: the closest, kept inside.
    EXPECT_EQ(FitOnAreas(QRect(100, 900, 640, 400), none, areas), QRect(100, 640, 640, 400));
    EXPECT_EQ(FitOnAreas(QRect(5000, 3000, 640, 400), none, areas), QRect(2560, 624, 640, 400));
    EXPECT_EQ(FitOnAreas(QRect(-4000, -50, 640, 400), none, areas), QRect(0, 0, 640, 400));
    // Larger than any screen: shrunk to the area, but not below the window's minimum.
    EXPECT_EQ(FitOnAreas(QRect(-10, -10, 4000, 3000), none, areas), QRect(0, 0, 1920, 1040));
    EXPECT_EQ(FitOnAreas(QRect(2000, 10, 1400, 1200), QSize(600, 1100), areas), QRect(1920, 0, 1280, 1100));
    EXPECT_EQ(FitOnAreas(QRect(1, 2, 3, 4), none, {}), QRect(1, 2, 3, 4));
}

TEST(SettingsPath, BesideTheExecutableElseTheConfigFolder)
{
    EXPECT_EQ(SettingsFilePathFor("/opt/tm/trackmill", true, "/xdg"), QStringLiteral("/opt/tm/trackmill.ini"));
    EXPECT_EQ(SettingsFilePathFor("/usr/bin/trackmill", false, "/xdg"), QStringLiteral("/xdg/trackmill/trackmill.ini"));
    // The designed name beside the program: the extension replaced, not extended.
    EXPECT_EQ(SettingsFilePathFor("C:/Programs/Trackmill/Trackmill.exe", true, "C:/AppData"),
              QStringLiteral("C:/Programs/Trackmill/Trackmill.ini"));

    TempDir dir;
    EXPECT_TRUE(IsWritableFolder(QString::fromStdString(dir.path().string())));
    EXPECT_FALSE(IsWritableFolder(QString::fromStdString((dir / "missing").string())));
    WriteText(dir / "file", "x");
    EXPECT_FALSE(IsWritableFolder(QString::fromStdString((dir / "file").string())));
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(IsWritableFolder(QString::fromStdString(dir.path().string())));
    }
    // Not even root leaves a file of its own among the system's programs.
    EXPECT_FALSE(SettingsBesideProgram(QStringLiteral("/usr/bin")));
    EXPECT_FALSE(SettingsBesideProgram(QStringLiteral("/usr/local/bin")));
    // The test binary's folder is writable, so the file sits beside it.
    EXPECT_EQ(SettingsFilePath(), QCoreApplication::applicationFilePath() + ".ini");
}

}  // namespace
