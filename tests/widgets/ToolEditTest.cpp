// The folder field: which folder the dialog opens at, what a choice writes back,
// and that the field can only be changed through the button or Alt+Down.
#include "widgets/ToolEdit.h"
#include "support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using trackmill::TDirectoryEdit;

namespace {

struct FakeDialog {
    QString answer;
    QStringList starts;
    int calls = 0;
    TDirectoryEdit::FolderDialog Fn()
    {
        return [this](QWidget *, const QString &, const QString &start) {
            ++calls;
            starts << start;
            return answer;
        };
    }
};

QString Q(const std::filesystem::path &p) { return QString::fromStdString(p.string()); }

}  // namespace

TEST(DirectoryEdit, DialogStartsAtTheCurrentFolderOrTheRoot)
{
    tmtest::TempDir tmp;
    std::filesystem::create_directory(tmp / "music");
    TDirectoryEdit edit;
    FakeDialog dialog;
    edit.SetFolderDialog(dialog.Fn());

    edit.SetText(Q(tmp / "music"));
    edit.DoClick();
    edit.SetText(Q(tmp / "gone"));
    edit.DoClick();
    edit.SetText(QString());
    edit.DoClick();
    edit.SetInitialDir(Q(tmp.path()));
    edit.DoClick();
    edit.SetInitialDir(Q(tmp / "gone"));
    edit.DoClick();

    ASSERT_EQ(dialog.calls, 5);
    EXPECT_EQ(dialog.starts[0], Q(tmp / "music"));
    EXPECT_EQ(dialog.starts[1], "/");
    EXPECT_EQ(dialog.starts[2], "/");
    EXPECT_EQ(dialog.starts[3], Q(tmp.path()));
    EXPECT_EQ(dialog.starts[4], "/");
}

TEST(DirectoryEdit, AChoiceArrivesWithoutTrailingSeparatorAndIsRemembered)
{
    tmtest::TempDir tmp;
    std::filesystem::create_directory(tmp / "out");
    TDirectoryEdit edit;
    FakeDialog dialog;
    edit.SetFolderDialog(dialog.Fn());
    QSignalSpy changes(&edit, &TDirectoryEdit::Change);
    int handlerCalls = 0;
    edit.OnChange = [&](TDirectoryEdit *sender) {
        EXPECT_EQ(sender, &edit);
        ++handlerCalls;
    };

    dialog.answer = Q(tmp / "out") + "/";
    edit.DoClick();
    EXPECT_EQ(edit.Text(), Q(tmp / "out"));
    EXPECT_EQ(edit.InitialDir(), Q(tmp / "out"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(handlerCalls, 1);

    dialog.answer = "/";
    edit.DoClick();
    EXPECT_EQ(edit.Text(), "/");
    EXPECT_EQ(edit.InitialDir(), "/");

    // A folder that vanished before the answer came back is shown but not remembered.
    dialog.answer = Q(tmp / "vanished");
    edit.DoClick();
    EXPECT_EQ(edit.Text(), Q(tmp / "vanished"));
    EXPECT_EQ(edit.InitialDir(), "/");

    // Cancel: nothing changes, nothing is raised.
    const int before = handlerCalls;
    dialog.answer.clear();
    edit.DoClick();
    EXPECT_EQ(edit.Text(), Q(tmp / "vanished"));
    EXPECT_EQ(handlerCalls, before);

    // Setting the same text again raises nothing.
    edit.SetText(edit.Text());
    EXPECT_EQ(handlerCalls, before);
}

TEST(DirectoryEdit, StripTrailingSeparatorKeepsTheRoot)
{
    using trackmill::StripTrailingSeparator;
    EXPECT_EQ(StripTrailingSeparator("/"), "/");
    EXPECT_EQ(StripTrailingSeparator("//"), "/");
    EXPECT_EQ(StripTrailingSeparator("/a/b/"), "/a/b");
    EXPECT_EQ(StripTrailingSeparator("/a/b"), "/a/b");
    EXPECT_EQ(StripTrailingSeparator(""), "");
}

TEST(DirectoryEdit, BrowseOnlyFieldIgnoresTypingButOpensOnButtonAndAltDown)
{
    TDirectoryEdit edit;
    edit.SetDirectInput(false);
    edit.SetText("/tmp");
    FakeDialog dialog;
    edit.SetFolderDialog(dialog.Fn());
    edit.resize(201, 21);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));

    QTest::keyClicks(edit.Edit(), "abc");
    QTest::keyClick(edit.Edit(), Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), "/tmp");
    EXPECT_EQ(dialog.calls, 0);

    // Entering by Tab leaves the text unselected; cut, paste and delete change nothing.
    edit.activateWindow();
    edit.Edit()->clearFocus();
    edit.Edit()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit.Edit()->hasFocus());
    QCoreApplication::processEvents();
    EXPECT_FALSE(edit.Edit()->hasSelectedText());
    QGuiApplication::clipboard()->setText("/pasted");
    edit.Edit()->selectAll();
    QTest::keyClick(edit.Edit(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(edit.Edit(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit.Edit(), Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(edit.Edit(), Qt::Key_Delete);
    EXPECT_EQ(edit.Text(), "/tmp");
    EXPECT_EQ(dialog.calls, 0);

    QTest::keyClick(edit.Edit(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(dialog.calls, 1);
    QTest::keyClick(edit.Edit(), Qt::Key_Down);
    EXPECT_EQ(dialog.calls, 1);

    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    EXPECT_EQ(dialog.calls, 2);
    // The button sits inside the field at its right end.
    EXPECT_GE(edit.Button()->geometry().left(), edit.width() / 2);
    EXPECT_LE(edit.Button()->geometry().right(), edit.width());

    // Disabled with the field (the window does this during a job).
    edit.setEnabled(false);
    EXPECT_FALSE(edit.Button()->isEnabled());
    edit.DoClick();
    EXPECT_EQ(dialog.calls, 2);
}

TEST(DirectoryEdit, DirectInputAllowsTypingAndRaisesChange)
{
    TDirectoryEdit edit;
    QSignalSpy changes(&edit, &TDirectoryEdit::Change);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(edit.Edit(), "/x");
    EXPECT_EQ(edit.Text(), "/x");
    EXPECT_EQ(changes.count(), 2);
}
