// The list as the presenter keeps it, on real Musepack files made by mpcenc: what a drop
// adds and in which order, what a picked entry shows in the panel, and what deleting and
// clearing take away.
#include "PresenterFixture.h"

namespace trackmill::test {
namespace {

constexpr auto &Put = tmtest::PutSampleMpc;


QString Q(const fs::path &p)
{
    return QFile::decodeName(p.string().c_str());
}

class PresenterList : public Presenter {
protected:
    void SetUp() override
    {
        TM_REQUIRE_TOOL("mpcenc");
        ASSERT_FALSE(tmtest::SampleMpc().empty());
        realFiles = true;
        presenter->Start();
    }
    QStringList Texts() const
    {
        QStringList out;
        for (const TListRow &row : view.rows) out << row.text;
        return out;
    }
};

TEST_F(PresenterList, ADropTakesTheAcceptedFilesInOrderOnce)
{
    const fs::path d = dir / "drop";
    const fs::path a = Put(d / "a.mpc"), b = Put(d / "B.MPP"), c = Put(d / "c.Mp+"), mp3 = Put(d / "d.mp3");
    tmtest::WriteBytes(d / "fake.mpc", tmtest::Bytes(64, 0));
    const fs::path folder = d / "folder";
    const fs::path z = Put(folder / "z.mpc"), y = Put(folder / "y.mpc");
    const fs::path sub = Put(folder / "sub" / "x.mpc");
    Put(folder / ".hidden" / "h.mpc");
    fs::create_directories(d / "album.mpc");  // a folder with a Musepack-like name
    const fs::path inNamed = Put(d / "album.mpc" / "w.mpc");

    presenter->Collect({Q(folder), Q(a), Q(b), Q(c), Q(mp3), Q(d / "fake.mpc"), Q(d / "album.mpc")});
    EXPECT_EQ(Texts(), QStringList({Q(a), Q(b), Q(c), Q(y), Q(z), Q(sub), Q(inNamed)}));
    EXPECT_EQ(view.busy, 0);
    EXPECT_TRUE(view.info.isEmpty());  // a drop shows nothing by itself
    EXPECT_TRUE(view.errors.isEmpty());

    // The same files again, one spelled in another case: nothing new.
    presenter->Collect({Q(a), Q(folder), Q(d / "C.MP+")});
    EXPECT_EQ(view.rows.size(), 7u);
}

TEST_F(PresenterList, APickedEntryShowsWhatTheCliShowsAndNothingOnceItsFileIsGone)
{
    const fs::path a = Put(dir / "one.mpc"), b = Put(dir / "two.mpc");
    presenter->Collect({Q(a), Q(b)});
    presenter->RowPicked(1);
    const QStringList lines = view.info;
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

    // A file that vanished since it was added empties the panel.
    fs::remove(b);
    presenter->RowPicked(1);
    EXPECT_TRUE(view.info.isEmpty());

    // The entry shown, picked again, is read again: changed into something else, it shows nothing.
    presenter->RowPicked(0);
    ASSERT_EQ(view.info.value(2), "   one.mpc");
    tmtest::WriteBytes(a, tmtest::Bytes(4096, 0x20));
    presenter->RowPicked(0);
    EXPECT_TRUE(view.info.isEmpty());
    EXPECT_TRUE(view.errors.isEmpty());
}

TEST_F(PresenterList, DeletingAndClearingTakeTheShownFileFromThePanel)
{
    const fs::path a = Put(dir / "a.mpc"), b = Put(dir / "b.mpc"), c = Put(dir / "c.mpc");
    presenter->Collect({Q(a), Q(b), Q(c)});
    presenter->RowPicked(0);
    const qsizetype shown = view.info.size();
    ASSERT_GT(shown, 17);

    // Nothing selected: nothing happens.
    presenter->DeleteRows({});
    EXPECT_EQ(view.rows.size(), 3u);

    // Deleting others keeps the panel; deleting the one it shows empties it.
    presenter->DeleteRows({2});
    EXPECT_EQ(view.info.size(), shown);
    EXPECT_EQ(view.status, "2 files in the list");
    presenter->DeleteRows({0});
    EXPECT_EQ(Texts(), QStringList({Q(b)}));
    EXPECT_TRUE(view.info.isEmpty());
    presenter->RowPicked(0);
    ASSERT_EQ(view.info.size(), shown);

    // Deleting the last one empties the panel too.
    presenter->DeleteRows({0});
    EXPECT_TRUE(view.rows.empty());
    EXPECT_TRUE(view.info.isEmpty());
    EXPECT_EQ(view.status, "The list is empty");

    presenter->Collect({Q(a), Q(b)});
    presenter->RowPicked(1);
    presenter->ClearAll();
    EXPECT_TRUE(view.rows.empty());
    EXPECT_TRUE(view.info.isEmpty());
}

}  // namespace
}  // namespace trackmill::test
