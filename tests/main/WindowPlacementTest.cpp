// Where the window comes back. These run on the offscreen platform with the rest, and
// again under Xvfb with a window manager (tests/support/with-window-manager.sh), where
// frames are real and are placed by someone else; TRACKMILL_TEST_WM says which.
#include "WindowFixture.h"

#include "e2e/ConvertSupport.h"
#include "widgets/ConsoleWindow.h"

#include <QPushButton>
#include <QScreen>
#include <QWindow>

using namespace trackmill;

namespace {

QString NormPos(const QRect &frame)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(frame.left())
        .arg(frame.top())
        .arg(frame.left() + frame.width())
        .arg(frame.top() + frame.height());
}

std::string Text(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

}  // namespace

class WindowPlacement : public tmtest::WindowTest {
protected:
    bool UnderWindowManager() const { return qEnvironmentVariableIsSet("TRACKMILL_TEST_WM"); }

    // Opens the window and waits until the window manager has framed and placed it.
    TForm1 &OpenFramed()
    {
        TForm1 &f = Open();
        if (UnderWindowManager()) {
            EXPECT_EQ(QGuiApplication::platformName(), "xcb");
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.windowHandle()->frameMargins().isNull(); }, 5000))
                << "no frame came";
        }
        Settle(f);
        return f;
    }
    // The frame once nothing moves it any more.
    static QRect Settle(TForm1 &f)
    {
        QRect last;
        for (int quiet = 0, round = 0; quiet < 3 && round < 50; ++round) {
            QTest::qWait(100);
            const QRect now = f.frameGeometry();
            quiet = now == last ? quiet + 1 : 0;
            last = now;
        }
        return last;
    }
    QString Stored(const char *key)
    {
        return QString::fromStdString(TIniFile(Ini().toStdString()).ReadString("Default", key, ""));
    }
};

TEST_F(WindowPlacement, FrameComesBackWhereItWasAndAsLarge)
{
    TForm1 &f = OpenFramed();
    const QRect area = f.screen()->availableGeometry();
    f.resize(f.size() + QSize(37, 23));
    f.move(area.topLeft() + QPoint(61, 89));
    const QRect placed = Settle(f);
    EXPECT_EQ(placed.topLeft(), area.topLeft() + QPoint(61, 89));
    CloseAndDelete();

    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(Stored("NormPos"), NormPos(placed));
        TForm1 &g = OpenFramed();
        EXPECT_EQ(g.frameGeometry(), placed) << Text(g.frameGeometry()) << " instead of " << Text(placed);
        CloseAndDelete();
    }
    EXPECT_EQ(Stored("NormPos"), NormPos(placed));
}

TEST_F(WindowPlacement, AFrameNotWhollyOnAScreenIsFittedOntoIt)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const int ppi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    const std::vector<QRect> stored = {
        QRect(area.right() - 100, area.top() + 50, 700, 450),     // partly off the right edge
        QRect(area.left() - 5000, area.top() + 9000, 700, 450),   // on a screen that is gone
        QRect(area.left() - 20, area.top() - 30, area.width() * 2, area.height() * 3),  // larger than the screen
    };
    for (const QRect &frame : stored) {
        SCOPED_TRACE(Text(frame));
        tmtest::WriteText(work / "trackmill.ini", "[Default]\nPixelsPerInch=" + std::to_string(ppi) +
                                                      "\nNormPos=" + NormPos(frame).toStdString() + "\n");
        TForm1 &f = OpenFramed();
        EXPECT_TRUE(area.contains(f.frameGeometry())) << Text(f.frameGeometry()) << " on " << Text(area);
        EXPECT_TRUE(f.isVisible());
        if (frame.width() <= area.width() && frame.height() <= area.height()) {
            EXPECT_EQ(f.frameGeometry().size(), frame.size());
        }
        CloseAndDelete();
    }
}

// Maximised, a frame loses its borders; the normal frame stored must not lose them too.
TEST_F(WindowPlacement, TheNormalFrameSurvivesMaximisedCloses)
{
    TForm1 &f = OpenFramed();
    const QRect normal = Settle(f);
    CloseAndDelete();
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        TForm1 &g = OpenFramed();
        EXPECT_EQ(g.frameGeometry(), normal) << Text(g.frameGeometry()) << " instead of " << Text(normal);
        g.showMaximized();
        EXPECT_TRUE(QTest::qWaitFor([&] { return g.isMaximized(); }, 5000));
        Settle(g);
        CloseAndDelete();
        EXPECT_EQ(Stored("NormPos"), NormPos(normal));
    }
}

// The console opens where it covers nothing of the window, and comes back where the user put it.
TEST_F(WindowPlacement, TheConsoleOpensBesideTheWindowDuringAJob)
{
    std::filesystem::create_directories(work / "bin");
    tmtest::WriteSlowLame(work / "bin" / "lame", 88200);
    PutFirstOnPath(work / "bin");
    ASSERT_TRUE(tmtest::MakeMpc(work / "a.mpc", 3.0));
    TForm1 &f = OpenFramed();
    DropFiles({work / "a.mpc"});
    f.TranscodeButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Console->isVisible(); }, 10000));
    if (UnderWindowManager()) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.Console->windowHandle()->frameMargins().isNull(); }, 5000));
    }
    // Until the window manager has placed both frames.
    QRect last;
    for (int quiet = 0, round = 0; quiet < 3 && round < 50; ++round) {
        QTest::qWait(100);
        const QRect now = f.Console->frameGeometry().united(f.frameGeometry());
        quiet = now == last ? quiet + 1 : 0;
        last = now;
    }
    const QRect main = f.frameGeometry(), console = f.Console->frameGeometry();
    EXPECT_FALSE(main.intersects(console)) << Text(main) << " and " << Text(console);
    EXPECT_TRUE(f.screen()->availableGeometry().contains(console)) << Text(console);
    EXPECT_GE(console.height(), 100);

    // Moved by the user, it is there again at the next start.
    const QRect moved = f.Console->geometry().translated(7, 5);
    f.Console->setGeometry(moved);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Console->geometry() == moved; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Job().Running(); }, 60000));
    CloseAndDelete();
    TForm1 &g = OpenFramed();
    EXPECT_EQ(g.Console->UserGeometry(), moved);
}
