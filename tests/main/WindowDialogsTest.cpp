// The window's other windows and messages: where the log opens, Esc on each of ours, and
// "Open output folder" where no program takes the folder.
#include "WindowFixture.h"

#include "e2e/ConvertSupport.h"
#include "main/LibraryDialog.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/LogWindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

using namespace trackmill;
namespace fs = std::filesystem;

class WindowDialogs : public tmtest::WindowTest {};

TEST_F(WindowDialogs, TheLogOpensBesideTheWindowAndEscClosesEachOfOurWindows)
{
    TForm1 &f = Open();
    f.StatusArea1ShowLog(&f);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.LogWindow1));
    EXPECT_FALSE(f.LogWindow1->frameGeometry().intersects(f.frameGeometry()));
    EXPECT_TRUE(f.screen()->availableGeometry().contains(f.LogWindow1->frameGeometry()));
    QTest::keyClick(f.LogWindow1->Files(), Qt::Key_Escape);
    EXPECT_FALSE(f.LogWindow1->isVisible());

    f.Console->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Console));
    QTest::keyClick(f.Console->View(), Qt::Key_Escape);
    EXPECT_FALSE(f.Console->isVisible());

    f.OutputNamesButton->click();
    auto *names = f.findChild<TLibraryDialog *>();
    ASSERT_TRUE(names && names->isVisible());
    QTest::keyClick(names->EditPattern, Qt::Key_Escape);
    EXPECT_FALSE(names->isVisible());
    EXPECT_TRUE(f.isVisible());
}

// Qt counts a started xdg-open as the folder opened; its exit status says whether it was.
TEST_F(WindowDialogs, AFolderNoProgramOpensIsNamedInAMessage)
{
    const fs::path bin = work / "bin", said = work / "xdg-open.args";
    fs::create_directories(bin);
    PutFirstOnPath(bin);
    const fs::path folder = work / "out folder";
    fs::create_directories(folder);
    TForm1 &f = Open();
    const auto processesGone = [] { return QCoreApplication::instance()->findChildren<QProcess *>().isEmpty(); };

    tmtest::WriteExecutable(bin / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >'" + said.string() + "'\n");
    f.OpenFolder(Q(folder));
    ASSERT_TRUE(QTest::qWaitFor(processesGone, 30000));
    EXPECT_EQ(tmtest::ReadText(said), folder.string() + "\n");
    EXPECT_TRUE(messages.empty());

    tmtest::WriteExecutable(bin / "xdg-open", "#!/bin/sh\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
    f.OpenFolder(Q(folder));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 30000));
    EXPECT_EQ(messages[0].kind, TMessageKind::Notice);
    EXPECT_TRUE(messages[0].text.contains(Q(folder))) << messages[0].text.toStdString();
    EXPECT_TRUE(QTest::qWaitFor(processesGone, 30000));
}
