// The window's layout against the face it gets. CTest runs this file's cases once
// with the designed face and again with only the regular DejaVu Sans, with no font at
// all, and at a scale of 1.5 on the offscreen platform's 800 x 600 screen (see
// tests/CMakeLists.txt); TRACKMILL_TEST_FACE names the family a case must get.
#include "WindowFit.h"
#include "WindowFixture.h"

#include <QFontInfo>
#include <QScreen>
#include <QStyle>

using namespace trackmill;
using tmtest::Controls;
using tmtest::Describe;
using tmtest::ExpectFits;
using tmtest::Name;

namespace {

QRect Available(const TForm1 &f) { return f.screen()->availableGeometry(); }

}  // namespace

class WindowLayout : public tmtest::WindowTest {
protected:
    // The case's face: the designed one unless the registration names another.
    void ExpectFace(const TForm1 &f)
    {
        const QString family = QFontInfo(f.font()).family();
        const QByteArray wanted = qgetenv("TRACKMILL_TEST_FACE");
        if (wanted.isEmpty()) {
            EXPECT_TRUE(family == "Tahoma" || family == "DejaVu Sans Condensed") << family.toStdString();
        } else if (wanted != "*") {
            EXPECT_EQ(family, QString::fromUtf8(wanted));
        }
    }
};

TEST_F(WindowLayout, FitsTheFaceAtEverySize)
{
    TForm1 &f = Open();
    ExpectFace(f);
    EXPECT_LT(f.minimumWidth(), f.maximumWidth());
    EXPECT_LT(f.minimumHeight(), f.maximumHeight());
    EXPECT_TRUE(Available(f).contains(f.frameGeometry())) << Describe(f);
    {
        SCOPED_TRACE("as opened");
        ExpectFits(f);
    }
    {
        SCOPED_TRACE("at its minimum");
        f.resize(1, 1);
        QCoreApplication::processEvents();
        ExpectFits(f);
    }
    {
        SCOPED_TRACE("much larger");
        f.resize(1500, 1100);
        QCoreApplication::processEvents();
        ExpectFits(f);
    }
}

// At its smallest, on any face and scale, the panel wraps a line between words and never
// cuts one: each word fits its width, each line has the height its wrapped text needs.
TEST_F(WindowLayout, ThePanelWrapsBetweenWordsAtItsSmallest)
{
    ASSERT_TRUE(tmtest::MakeMpc(work / "Morning Tone.mpc", 1.0, {"--artist", "An Artist"}));
    TForm1 &f = Open();
    DropFiles({work / "Morning Tone.mpc"});
    f.resize(1, 1);
    QCoreApplication::processEvents();
    f.FileList->setCurrentIndex(Entry(0));
    QCoreApplication::processEvents();
    QListWidget *panel = f.InfoPanel;
    ASSERT_GT(panel->count(), 17);
    const QFontMetrics fm(panel->font());
    const int width = panel->viewport()->width() - 2 * (panel->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (int i = 0; i < panel->count(); ++i) {
        const QString text = panel->item(i)->text();
        SCOPED_TRACE(text.toStdString());
        for (const QString &word : text.split(' ', Qt::SkipEmptyParts)) EXPECT_LE(fm.horizontalAdvance(word), width);
        const int needed = fm.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text).height();
        EXPECT_GE(panel->visualItemRect(panel->item(i)).height(), needed);
    }
}

TEST_F(WindowLayout, ListAndPanelTakeTheExtraRoom)
{
    TForm1 &f = Open();
    const QSize opened = f.size();
    std::map<QWidget *, QRect> before;
    for (QWidget *w : Controls(f)) before[w] = w->geometry();
    f.resize(opened + QSize(300, 200));
    QCoreApplication::processEvents();
    for (QWidget *w : {static_cast<QWidget *>(f.FileList), static_cast<QWidget *>(f.InfoPanel)}) {
        EXPECT_GT(w->width(), before[w].width()) << Name(w);
        EXPECT_EQ(w->height(), before[w].height() + 200) << Name(w);
    }
    for (QWidget *w : Controls(f))
        if (w != f.FileList && w != f.InfoPanel) {
            EXPECT_EQ(w->height(), before[w].height()) << Name(w);
        }
    EXPECT_EQ(f.FileList->width() + f.InfoPanel->width(), before[f.FileList].width() + before[f.InfoPanel].width() + 300);

    // Smaller again than it opened: the list and the panel give up their room first.
    f.resize(f.minimumSize());
    QCoreApplication::processEvents();
    for (QWidget *w : Controls(f))
        if (w != f.FileList && w != f.InfoPanel && w != f.FilesLabel) {
            EXPECT_EQ(w->height(), before[w].height()) << Name(w);
        }
    EXPECT_LT(f.FileList->height(), before[f.FileList].height());
}

TEST_F(WindowLayout, DesignedFaceGivesTheDesignedSizes)
{
    TForm1 &f = Open();
    ExpectFace(f);
    SCOPED_TRACE(Describe(f));
    const auto near = [](int value, int designed, double tolerance) {
        EXPECT_NEAR(value, designed, designed * tolerance);
    };
    near(f.width(), 636, 0.05);
    near(f.height(), 391, 0.05);
    near(f.FileList->width(), 441, 0.05);
    near(f.FileList->height(), 153, 0.15);
    near(f.InfoPanel->width(), 161, 0.1);
    near(f.InfoPanel->height(), 297, 0.1);
    near(f.DecoderOptionsEdit->width(), 441, 0.05);
    near(f.TranscodeButton->width(), 161, 0.1);
    near(f.FileList->x(), 8, 0.25);
    near(f.DecoderLabel->y(), 8, 0.25);
    EXPECT_FALSE(f.FilesLabel->wordWrap());
    EXPECT_EQ(f.cbShutdown->y(), f.cbID3v1->y());
    EXPECT_EQ(f.cbOutputdir->y(), f.ClearButton->y());
    ExpectFits(f);
}

TEST_F(WindowLayout, ALargerFaceGrowsTheWindow)
{
    TForm1 &f = Open();
    const QSize opened = f.size();
    QFont larger = f.font();
    larger.setPixelSize(larger.pixelSize() * 3 / 2);
    f.setFont(larger);
    QCoreApplication::processEvents();
    EXPECT_GT(f.width(), opened.width());
    EXPECT_GT(f.height(), opened.height());
    ExpectFits(f);
}
