// The window as Windows shows it (run under Wine with a window manager): the designed
// captions and messages of the Windows build, and the same fit and no-overlap rules as
// on Linux; its size through jobs with the real programs beside it.
#include "main/WindowFit.h"

#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "settings/FormPlacement.h"
#include "support/TestSupport.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/LogWindow.h"
#include "widgets/ToolEdit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QSystemTrayIcon>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

using namespace trackmill;

// Readable failure output for sizes.
inline void PrintTo(const QSize &size, std::ostream *os) { *os << size.width() << "x" << size.height(); }

namespace {

bool WaitFor(const std::function<bool()> &condition, int ms = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

// What is posted (layout requests, the job's last steps) is done before a check.
void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Shown and framed by the window manager, with the files' message boxes recorded instead.
struct ShownWindow {
    explicit ShownWindow(const tmtest::TempDir &dir)
    {
        SetMessageBoxHandler([this](QWidget *, TMessageKind, const QString &, const QString &text) { boxes << text; });
        form.FormStorage1->SetIniFileName(QString::fromStdString((dir / "Trackmill.ini").string()));
        form.SetNoticeHandler([this](const QString &summary, const QString &body) { notices << summary + ": " + body; });
        form.show();
        EXPECT_TRUE(WaitFor([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 30000));
        Settle();
    }
    ~ShownWindow() { SetMessageBoxHandler({}); }

    // Adds the files and converts them with mpcdec.exe and lame.exe; false when either
    // step did not end.
    bool Convert(const QStringList &files)
    {
        form.Collect(files);
        if (!WaitFor([&] { return !form.List().Collecting(); }, 60000)) return false;
        Settle();
        added = form.size();
        form.TranscodeButton->click();
        if (!WaitFor([&] { return !form.Job().Running(); }, 120000)) return false;
        Settle();
        return true;
    }

    TForm1 form;
    QStringList boxes, notices;
    QSize added;  // the window's size once the files were listed
};

// Six copies of a real Musepack file, as Windows names them.
QStringList MakeSources(const tmtest::TempDir &dir)
{
    const tmtest::Bytes sample = tmtest::ReadBytes(TRACKMILL_SAMPLE_MPC);
    EXPECT_FALSE(sample.empty()) << TRACKMILL_SAMPLE_MPC;
    QStringList names;
    for (int i = 1; i <= 6; ++i) {
        const std::filesystem::path file = dir / "Album" / ("0" + std::to_string(i) + " Track " + std::to_string(i) + ".mpc");
        std::filesystem::create_directories(file.parent_path());
        tmtest::WriteBytes(file, sample);
        names << QString::fromStdWString(file.wstring());
    }
    return names;
}

// How well the selected entry's text reads on its background: the contrast of the row's
// most common colour (its background) and the colour farthest from it (the letters' cores).
double SelectionContrast(QListView *list, int row)
{
    const QImage shot = list->viewport()->grab().toImage();
    const qreal scale = shot.devicePixelRatio();
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    std::map<QRgb, int> counts;
    for (int y = int(rect.top() * scale); y <= int(rect.bottom() * scale); ++y)
        for (int x = int(rect.left() * scale); x <= int(rect.right() * scale); ++x) ++counts[shot.pixel(x, y)];
    if (counts.empty()) return 0;
    const QRgb background = std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
                                return a.second < b.second;
                            })->first;
    const auto luminance = [](QRgb rgb) {
        const auto channel = [](int v) {
            const double c = v / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
    };
    double best = 1;
    for (const auto &[rgb, count] : counts) {
        const double a = luminance(rgb), b = luminance(background);
        best = std::max(best, (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05));
    }
    std::printf("selected row: background #%06x, contrast %.2f\n", background & 0xffffff, best);
    return best;
}

}  // namespace

TEST(WindowUnderWine, DesignedTextsAndEveryControlFits)
{
    tmtest::TempDir dir;
    TForm1 form;
    form.FormStorage1->SetIniFileName(QString::fromStdString((dir / "Trackmill.ini").string()));
    form.show();
    // The first window of a Wine session waits for Wine's own desktop to start.
    ASSERT_TRUE(WaitFor([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 30000));
    WaitFor([] { return false; }, 300);  // the window manager's frame and the first layout

    // The decoder beside us is mpcdec.exe: the caption names it.
    EXPECT_EQ(form.DecoderLabel->text(), "Decoder options (mpcdec)");
    EXPECT_EQ(form.EncoderLabel->text(), "Encoder options (LAME)");
    EXPECT_EQ(form.FilesLabel->text(), "Files to transcode (drop MPC, MPP, MP+ files, drives or folders from Explorer)");
    EXPECT_EQ(form.OutputFolderEdit->Text(), "C:\\");
    EXPECT_EQ(form.DecoderOptionsEdit->text(), "");
    EXPECT_EQ(form.EncoderOptionsEdit->text(), "--alt-preset cbr 128");
    std::printf("face: %s\n", QFontInfo(form.font()).family().toStdString().c_str());
    tmtest::ExpectFits(form);
}

TEST(WindowUnderWine, KeepsItsSizeThroughAddingFilesAndJobs)
{
    tmtest::TempDir dir;
    const QStringList sources = MakeSources(dir);
    ShownWindow shown(dir);
    TForm1 &form = shown.form;
    const QSize size = form.size();
    // The Windows style's progress bar asks for a third of the window; the summary, the
    // buttons that come with it and the texts of a drop must not widen it either.
    ASSERT_TRUE(shown.Convert(sources));
    EXPECT_EQ(shown.added, size) << tmtest::Describe(form);
    EXPECT_EQ(form.StatusArea1->Text(), "6 converted, 0 skipped, 0 failed");
    EXPECT_EQ(form.size(), size) << tmtest::Describe(form);
    ASSERT_TRUE(shown.Convert(sources));
    EXPECT_EQ(form.StatusArea1->Text(), "0 converted, 6 skipped, 0 failed");
    EXPECT_EQ(form.size(), size) << tmtest::Describe(form);
    EXPECT_LE(form.minimumWidth(), size.width());
    EXPECT_TRUE(shown.boxes.isEmpty()) << shown.boxes.join('\n').toStdString();
    tmtest::ExpectFits(form);
}

// Paths as Windows writes them wherever a person reads one: the folder field, the hint of
// "Output names...", the console's commands and the log.
TEST(WindowUnderWine, EveryPathShownUsesBackslashes)
{
    tmtest::TempDir dir;
    const QStringList sources = MakeSources(dir);
    ShownWindow shown(dir);
    TForm1 &form = shown.form;
    form.OutputFolderEdit->SetText(QStringLiteral("C:/Musik-Ausgabe-äöü"));
    form.OutputFolderChange(form.OutputFolderEdit);
    EXPECT_EQ(form.OutputFolderEdit->Text(), QStringLiteral("C:\\Musik-Ausgabe-äöü\\"));
    TForm1::TLibrarySettings library = form.LibrarySettings();
    library.libraryFolder = "C:/Musik/";
    form.SetLibrarySettings(library);
    EXPECT_TRUE(form.OutputNamesButton->toolTip().contains(QStringLiteral("C:\\Musik\\")))
        << form.OutputNamesButton->toolTip().toStdString();

    form.SetShowConsole(true);
    ASSERT_TRUE(shown.Convert(sources.mid(0, 1)));
    form.LogWindow1->ShowLog();
    const QString folder = QDir::toNativeSeparators(QFileInfo(sources[0]).absolutePath());
    for (const QString &text : {form.Console->Text(), form.LogWindow1->ShownText(), form.LogWindow1->Files()->item(0)->text()}) {
        EXPECT_TRUE(text.contains(folder)) << text.toStdString();
        EXPECT_FALSE(text.contains(QDir::fromNativeSeparators(folder))) << text.toStdString();
    }
}

TEST(WindowUnderWine, TheSelectedEntryReadsWhetherTheWindowIsActiveOrNot)
{
    tmtest::TempDir dir;
    const QStringList sources = MakeSources(dir);
    ShownWindow shown(dir);
    TForm1 &form = shown.form;
    form.Collect(sources);
    ASSERT_TRUE(WaitFor([&] { return !form.List().Collecting(); }));
    form.FileList->setCurrentIndex(form.FileList->model()->index(1, 0));
    ASSERT_TRUE(form.FileList->selectionModel()->isRowSelected(1, {}));
    form.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return form.isActiveWindow(); }));
    EXPECT_GE(SelectionContrast(form.FileList, 1), 4.5) << "active";

    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow() && !form.isActiveWindow(); }));
    EXPECT_GE(SelectionContrast(form.FileList, 1), 4.5) << "inactive";
}

// At the end of a job the window is not watched, Windows gives the summary through a tray
// icon's message; the icon goes once the person is back at the window.
TEST(WindowUnderWine, TheEndOfAJobIsNoticedInTheTrayWhenTheWindowIsNotActive)
{
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    tmtest::TempDir dir;
    const QStringList sources = MakeSources(dir);
    ShownWindow shown(dir);
    TForm1 &form = shown.form;
    form.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return form.isActiveWindow(); }));
    ASSERT_TRUE(shown.Convert(sources));
    EXPECT_EQ(shown.notices, QStringList());

    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow() && !form.isActiveWindow(); }));
    ASSERT_TRUE(shown.Convert(sources));
    EXPECT_EQ(shown.notices, QStringList("Transcoding finished: 0 converted, 6 skipped, 0 failed"));

    form.SetNoticeHandler({});
    ASSERT_TRUE(shown.Convert(sources));
    const auto *tray = form.findChild<QSystemTrayIcon *>();
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), form.windowTitle());
    form.activateWindow();
    EXPECT_TRUE(WaitFor([&] { return !tray->isVisible(); }));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
