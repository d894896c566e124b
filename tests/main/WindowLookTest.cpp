// What a person sees of the controls themselves: every one stays where it is whatever the
// job's state, and the one with the focus shows it. Run on the offscreen platform with the
// rest, and under Xvfb with openbox and the Fusion style, as on a Linux desktop.
#include "WindowFixture.h"

#include "e2e/ConvertSupport.h"
#include "widgets/StatusArea.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <map>

using namespace trackmill;
namespace fs = std::filesystem;

namespace {

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
            if (w->isWindow() || !w->isVisibleTo(form.get()) || w->objectName().isEmpty() ||
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
