// The window as Windows shows it (run under Wine with a window manager): the designed
// captions and messages of the Windows build, and the same fit and no-overlap rules as
// on Linux.
#include "main/WindowFit.h"

#include "main/Form1.h"
#include "settings/FormPlacement.h"
#include "support/TestSupport.h"
#include "widgets/ToolEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QLabel>
#include <QWindow>
#include <gtest/gtest.h>

using namespace trackmill;

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

    EXPECT_EQ(form.DecoderLabel->text(), "Decoder options (Mppdec)");
    EXPECT_EQ(form.EncoderLabel->text(), "Encoder options (LAME)");
    EXPECT_EQ(form.FilesLabel->text(), "Files to transcode (drop MPC, MPP, MP+ files, drives or folders from Explorer)");
    EXPECT_EQ(form.OutputFolderEdit->Text(), "C:\\");
    EXPECT_EQ(form.DecoderOptionsEdit->text(), "");
    EXPECT_EQ(form.EncoderOptionsEdit->text(), "--alt-preset cbr 128");
    std::printf("face: %s\n", QFontInfo(form.font()).family().toStdString().c_str());
    tmtest::ExpectFits(form);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
