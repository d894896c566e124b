// Filling the list by drops, the information panel, and the two list buttons, on real
// Musepack files made by mpcenc.
#include "WindowFixture.h"
#include "widgets/StatusArea.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

using namespace trackmill;
namespace fs = std::filesystem;

namespace {

// One encoded file, copied under every name a test needs (encoding is the slow part).
const tmtest::Bytes &SampleMpc()
{
    static tmtest::Bytes bytes = [] {
        tmtest::TempDir tmp;
        if (!tmtest::MakeMpc(tmp / "s.mpc", 1.0, {"--artist", "Sample"})) return tmtest::Bytes{};
        return tmtest::ReadBytes(tmp / "s.mpc");
    }();
    return bytes;
}

fs::path Put(const fs::path &file)
{
    fs::create_directories(file.parent_path());
    tmtest::WriteBytes(file, SampleMpc());
    return file;
}

}  // namespace

class WindowList : public tmtest::WindowTest {
protected:
    void SetUp() override
    {
        tmtest::WindowTest::SetUp();
        TM_REQUIRE_TOOL("mpcenc");
        ASSERT_FALSE(SampleMpc().empty());
    }
};

TEST_F(WindowList, DropTakesTheAcceptedFilesInOrderOnce)
{
    const fs::path d = work / "drop";
    const fs::path a = Put(d / "a.mpc"), b = Put(d / "B.MPP"), c = Put(d / "c.Mp+"), mp3 = Put(d / "d.mp3");
    tmtest::WriteBytes(d / "fake.mpc", tmtest::Bytes(64, 0));
    const fs::path folder = d / "folder";
    const fs::path f2 = Put(folder / "z.mpc"), f1 = Put(folder / "y.mpc");
    const fs::path sub = Put(folder / "sub" / "x.mpc");
    Put(folder / ".hidden" / "h.mpc");
    fs::create_directories(d / "album.mpc");  // a folder with a Musepack-like name
    const fs::path inNamed = Put(d / "album.mpc" / "w.mpc");

    Open();
    DropFiles({folder, a, b, c, mp3, d / "fake.mpc", d / "album.mpc"});
    EXPECT_EQ(ListEntries(), QStringList({Q(a), Q(b), Q(c), Q(folder / "y.mpc"), Q(f2), Q(sub), Q(inNamed)}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(PanelLines().isEmpty());  // a drop shows nothing by itself
    EXPECT_TRUE(messages.empty());

    // The same files again, one spelled in another case: nothing new.
    const int before = EntryCount();
    DropFiles({a, folder, d / "C.MP+"});
    EXPECT_EQ(EntryCount(), before);
    (void)f1;
}

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

TEST_F(WindowList, ClickShowsTheSeventeenPanelLines)
{
    const fs::path a = Put(work / "one.mpc");
    const fs::path b = Put(work / "two.mpc");
    Open();
    DropFiles({a, b});
    ASSERT_EQ(EntryCount(), 2);

    QWidget *viewport = form->ListBox1->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(1));
    QStringList lines = PanelLines();
    ASSERT_GT(lines.size(), 17);
    EXPECT_EQ(lines[0], "Streaminfo");
    EXPECT_EQ(lines[2], "   two.mpc");
    EXPECT_EQ(lines[3], "   Streamversion: 8");
    EXPECT_EQ(lines[12], "Tags contained in file");
    EXPECT_EQ(lines[14], "   ID3V1.x tag: No");
    EXPECT_EQ(lines[16], "   APE 1/2 tag: Yes");
    // Below the designed lines, what the tag says.
    EXPECT_TRUE(lines.mid(17).contains("   Artist: Sample")) << lines.join('\n').toStdString();

    // The same facts as the command-line tool prints.
    const std::string cli = std::string(TRACKMILL_BINARY_DIR) + "/src/cli/trackmill-cli";
    if (fs::exists(cli)) {
        const tmtest::RunResult r = tmtest::Run({cli, "info", b.string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const QStringList out = QString::fromStdString(r.out).split('\n');
        ASSERT_GT(out.size(), lines.size());
        EXPECT_EQ(out.mid(1, lines.size()), lines);
    }

    // Ctrl-clicking the selected entry deselects it but still shows it.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(0));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier,
                      EntryCentre(0));
    EXPECT_FALSE(form->ListBox1->selectionModel()->isSelected(Entry(0)));
    EXPECT_EQ(PanelLines().value(2), "   one.mpc");

    // A file that vanished since it was added empties the panel.
    fs::remove(b);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(1));
    EXPECT_TRUE(PanelLines().isEmpty());
    EXPECT_TRUE(messages.empty());

    // Clicking the entry already shown reads the file again: one changed into something
    // else since then empties the panel too.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(0));
    ASSERT_EQ(PanelLines().value(2), "   one.mpc");
    tmtest::WriteBytes(a, tmtest::Bytes(4096, 0x20));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, EntryCentre(0));
    EXPECT_TRUE(PanelLines().isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowList, DeleteItemsAndClearAll)
{
    const fs::path a = Put(work / "a.mpc"), b = Put(work / "b.mpc"), c = Put(work / "c.mpc");
    Open();
    DropFiles({a, b, c});
    form->ListBox1->setCurrentIndex(Entry(0));  // shows a
    const qsizetype shown = PanelLines().size();
    ASSERT_GT(shown, 17);

    // Nothing selected: nothing happens.
    form->ListBox1->clearSelection();
    form->Button3->click();
    EXPECT_EQ(EntryCount(), 3);

    // Deleting others keeps the panel; deleting the one it shows empties it.
    form->ListBox1->selectionModel()->select(Entry(2), QItemSelectionModel::Select);
    form->Button3->click();
    EXPECT_EQ(PanelLines().size(), shown);
    EXPECT_EQ(form->StatusArea1->Text(), "2 files in the list");
    form->ListBox1->selectionModel()->select(Entry(0), QItemSelectionModel::Select);
    form->Button3->click();
    EXPECT_EQ(ListEntries(), QStringList({Q(b)}));
    EXPECT_TRUE(PanelLines().isEmpty());
    form->ListBox1->setCurrentIndex(Entry(0));
    ASSERT_EQ(PanelLines().size(), shown);

    // Deleting the last one empties the panel too.
    form->ListBox1->selectionModel()->select(Entry(0), QItemSelectionModel::Select);
    form->Button3->click();
    EXPECT_TRUE(ListEntries().isEmpty());
    EXPECT_TRUE(PanelLines().isEmpty());

    DropFiles({a, b});
    form->ListBox1->setCurrentIndex(Entry(1));  // shows b
    form->Button2->click();
    EXPECT_TRUE(ListEntries().isEmpty());
    EXPECT_TRUE(PanelLines().isEmpty());
}
