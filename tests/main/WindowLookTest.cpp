// What a person sees of the controls themselves: every one stays where it is whatever the
// job's state, and the one with the focus shows it. Run on the offscreen platform with the
// rest, and under Xvfb with openbox and the Fusion style, as on a Linux desktop.
#include "WindowFixture.h"

#include "e2e/ConvertSupport.h"
#include "widgets/StatusArea.h"

#include <QCheckBox>
#include <QFocusFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <QImage>

#include <cstdlib>
#include <map>

using namespace trackmill;
namespace fs = std::filesystem;

namespace {

// How far the colours of two pixels are apart.
int Distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

std::string Text(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

}  // namespace

class WindowLook : public tmtest::ConvertingWindowTest {
protected:
    // Every control shown, by name, where it is in the window.
    std::map<QString, QRect> Places() const
    {
        // The layouts as they settle after what just changed.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        std::map<QString, QRect> out;
        for (QWidget *w : form->findChildren<QWidget *>()) {
            if (w->isWindow() || !w->isVisibleTo(form.get()) || w->objectName().isEmpty() || qobject_cast<QFocusFrame *>(w) ||
                w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            out[w->objectName()] = QRect(w->mapTo(form.get(), QPoint(0, 0)), w->size());
        }
        return out;
    }
    void ExpectSame(const std::map<QString, QRect> &before, const std::map<QString, QRect> &now, const char *state)
    {
        SCOPED_TRACE(state);
        EXPECT_GE(now.size(), 25u);
        for (const auto &[name, place] : now) {
            const auto was = before.find(name);
            if (was == before.end()) continue;
            EXPECT_EQ(Text(place), Text(was->second)) << name.toStdString() << " moved";
        }
    }
};

TEST_F(WindowLook, EveryControlStaysWhereItIsWhetherIdleRunningOrEnded)
{
    fs::create_directories(work / "bin");
    tmtest::WriteSlowLame(work / "bin" / "lame", 88200);
    PutFirstOnPath(work / "bin");
    ASSERT_TRUE(tmtest::MakeMpc(work / "with a rather long name that the status line has to show.mpc", 2.0));
    tmtest::WriteText(work / "notes.txt", "not Musepack");
    TForm1 &f = Open();
    f.SetShowConsole(false);
    DropFiles({work / "with a rather long name that the status line has to show.mpc", work / "notes.txt"});
    ASSERT_TRUE(f.StatusArea1->DetailsButton()->isVisible());
    const auto idle = Places();
    const QString idleText = f.StatusArea1->Text();

    f.TranscodeButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.StatusArea1->Text() != idleText; }, 30000));
    ASSERT_TRUE(f.Job().Running());
    ExpectSame(idle, Places(), "running");

    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Job().Running(); }, 60000));
    ASSERT_TRUE(f.StatusArea1->OpenFolderButton()->isVisible());
    ExpectSame(idle, Places(), "ended");
}

// Each control the Tab key reaches, taken before and after it gets the focus: all round it
// the pixels change clearly, a frame a person sees (the default button included).
TEST_F(WindowLook, TheControlWithTheFocusShowsAFrameAllRound)
{
    TForm1 &f = Open();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    int controls = 0;
    for (QWidget *w = f.DecoderOptionsEdit;; w = w->nextInFocusChain()) {
        if (controls > 0 && w == f.DecoderOptionsEdit) break;
        if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) || w->window() != &f) continue;
        // The line edit of a spin box or an editable box takes its focus for the box, and a
        // box that hands its focus to its line edit is framed whole.
        if (w->focusProxy()) continue;
        QWidget *framed = w;
        while (framed->parentWidget() && framed->parentWidget()->focusProxy() == framed) framed = framed->parentWidget();
        SCOPED_TRACE(framed->objectName().toStdString());
        // The control and what lies round it, at the screen's pixels.
        const int room = 4;
        const QRect around(framed->mapTo(&f, QPoint(-room, -room)), framed->size() + QSize(2 * room, 2 * room));
        f.setFocus();
        QCoreApplication::processEvents();
        const QImage before = f.grab(around).toImage();
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w->hasFocus());
        const QImage after = f.grab(around).toImage();
        ASSERT_EQ(before.size(), after.size());
        const double scale = double(after.width()) / around.width();
        const int band = qRound(room * scale);
        // Along each side, the share of places where a pixel just outside the control changed.
        const auto changed = [&](int x, int y) { return Distance(before.pixel(x, y), after.pixel(x, y)) >= 120; };
        const int width = after.width(), height = after.height();
        int top = 0, bottom = 0, left = 0, right = 0;
        for (int x = band; x < width - band; ++x) {
            bool t = false, b = false;
            for (int d = 0; d < band; ++d) {
                t = t || changed(x, d);
                b = b || changed(x, height - 1 - d);
            }
            top += t;
            bottom += b;
        }
        for (int y = band; y < height - band; ++y) {
            bool l = false, r = false;
            for (int d = 0; d < band; ++d) {
                l = l || changed(d, y);
                r = r || changed(width - 1 - d, y);
            }
            left += l;
            right += r;
        }
        const int across = width - 2 * band, down = height - 2 * band;
        EXPECT_GE(top, across * 9 / 10);
        EXPECT_GE(bottom, across * 9 / 10);
        EXPECT_GE(left, down * 9 / 10);
        EXPECT_GE(right, down * 9 / 10);
        ++controls;
    }
    EXPECT_GE(controls, 15);
}
