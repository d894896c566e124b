// The list's own widget: drops that bring no file, what its clicks show, and the two list
// buttons acting on its selection, on real Musepack files made by mpcenc.
#include "WindowFixture.h"

#include "engine/FileInfo.h"

#include <QApplication>
#include <QPushButton>

using namespace trackmill;
namespace fs = std::filesystem;

namespace {
constexpr auto &Put = tmtest::PutSampleMpc;
}  // namespace

class WindowList : public tmtest::WindowTest {
protected:
    void SetUp() override
    {
        tmtest::WindowTest::SetUp();
        TM_REQUIRE_TOOL("mpcenc");
        ASSERT_FALSE(tmtest::SampleMpc().empty());
    }
};

TEST_F(WindowList, BadDropsChangeNothing)
{
    Open();
    Drop({QUrl("http://example.invalid/a.mpc"), QUrl("ftp://host/b.mpc")});
    Drop({}, "just some text /tmp/a.mpc");
    Drop({QUrl::fromLocalFile(Q(work / "missing.mpc")), QUrl::fromLocalFile(Q(work / "missing-folder"))});
    EXPECT_TRUE(ListEntries().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(messages.empty());
}

// What the list's clicks show; what the panel then says, and what deleting does to it, is
// the presenter's (tests/ui). A stream's end is looked for after the panel is shown.
TEST_F(WindowList, AClickShowsItsEntryEvenWhenItChangesNothing)
{
    const fs::path a = Put(work / "one.mpc");
    const fs::path b = Put(work / "two.mpc");
    const fs::path cut = Put(work / "cut.mpc");
    fs::resize_file(cut, fs::file_size(cut) / 2);
    Open();
    DropFiles({a, b, cut});
    ASSERT_EQ(EntryCount(), 3);
    QTest::mouseClick(form->FileList->viewport(), Qt::LeftButton, {}, EntryCentre(2));
    ASSERT_EQ(PanelLines().value(2), "   cut.mpc");
    // Its line about the cut comes too.
    const auto whole = qsizetype(PanelLinesOf(cut.string()).size());
    TM_TRY_VERIFY(PanelLines().size() == whole, 60000);
    EXPECT_EQ(PanelLines().value(2), "   cut.mpc");
    QWidget *viewport = form->FileList->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(1));
    EXPECT_EQ(PanelLines().value(2), "   two.mpc");

    // Ctrl-clicking the selected entry deselects it but still shows it.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(0));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, EntryCentre(0));
    EXPECT_FALSE(form->FileList->selectionModel()->isSelected(Entry(0)));
    EXPECT_EQ(PanelLines().value(2), "   one.mpc");

    // Clicking the entry already shown reads the file again: one changed into something
    // else since then empties the panel.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(0));
    ASSERT_EQ(PanelLines().value(2), "   one.mpc");
    tmtest::WriteBytes(a, tmtest::Bytes(4096, 0x20));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(0));
    EXPECT_TRUE(PanelLines().isEmpty());
    EXPECT_TRUE(messages.empty());
}

// The two list buttons: Delete items takes the entries selected in the view, however
// scattered, and Clear all takes every one.
TEST_F(WindowList, DeleteItemsTakesTheSelectedEntriesAndClearAllEveryOne)
{
    const fs::path a = Put(work / "a.mpc"), b = Put(work / "b.mpc"), c = Put(work / "c.mpc");
    Open();
    DropFiles({a, b, c});
    QItemSelectionModel *selection = form->FileList->selectionModel();
    selection->select(Entry(0), QItemSelectionModel::Select);
    selection->select(Entry(2), QItemSelectionModel::Select);
    form->DeleteButton->click();
    EXPECT_EQ(ListEntries(), QStringList({Q(b)}));
    form->ClearButton->click();
    EXPECT_TRUE(ListEntries().isEmpty());
}
