#include "collect/TreeScan.h"

#include "CollectTestUtil.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdio>

#include <stdexcept>


using namespace trackmill;
using namespace tmtest;

namespace {

// Records every event as "D path", "F path size" or "E path" (E = done, with the path
// FileFound still holds).
struct Recorder {
    QStringList log;
    void Attach(TTreeScanner &s, bool dirs = true)
    {
        s.SetOnFileFound([this](TTreeScanner &t) {
            log << QStringLiteral("F %1 %2").arg(t.FileFound()).arg(t.FileSize());
        });
        if (!dirs) return;
        s.SetOnDirectoryFound([this](TTreeScanner &t) {
            EXPECT_EQ(t.FileSize(), 0);
            log << QStringLiteral("D %1").arg(t.FileFound());
        });
        s.SetOnDirectoryDone([this](TTreeScanner &t) { log << QStringLiteral("E %1").arg(t.FileFound()); });
    }
    QStringList Files() const
    {
        QStringList out;
        for (const QString &l : log)
            if (l.startsWith("F ")) out << l.mid(2).section(' ', 0, -2);
        return out;
    }
};

QStringList Scan(const fs::path &root, const QString &mask = "*.mp*")
{
    TTreeScanner s;
    Recorder r;
    r.Attach(s, false);
    s.SetInitialDirectory(Q(root));
    s.SetFileMask(mask);
    s.Execute();
    return r.Files();
}

}  // namespace

TEST(TreeScanner, PreOrderWithSortedFilesBeforeSortedSubfolders)
{
    TempDir t;
    const QString R = Q(t.path()) + "/";
    // Created in an order that differs from the expected one.
    MakeFakeMpc(t / "Y" / "y1.mpc", 10);
    MakeFakeMpc(t / "x" / "sub" / "deep.mpc", 11);
    MakeFakeMpc(t / "x" / "X2.MPP", 12);
    MakeFakeMpc(t / "x" / "x1.mp+", 13);
    MakeFakeMpc(t / "B.mpc", 20);
    MakeFakeMpc(t / "a.mpc", 30);
    MakeOther(t / "c.txt");
    MakeOther(t / "Y" / "song.mp3", "mp3");  // matches the mask: the list filters later

    TTreeScanner s;
    Recorder r;
    r.Attach(s);
    s.SetInitialDirectory(Q(t.path()));
    s.SetFileMask("*.mp*");
    s.Execute();

    const QStringList expected = {
        "D " + R,
        "F " + R + "a.mpc 30",
        "F " + R + "B.mpc 20",
        "D " + R + "x/",
        "F " + R + "x/x1.mp+ 13",
        "F " + R + "x/X2.MPP 12",
        "D " + R + "x/sub/",
        "F " + R + "x/sub/deep.mpc 11",
        "E " + R + "x/sub/deep.mpc",
        "E " + R + "x/sub/deep.mpc",
        "D " + R + "Y/",
        "F " + R + "Y/song.mp3 3",
        "F " + R + "Y/y1.mpc 10",
        "E " + R + "Y/y1.mpc",
        "E " + R + "Y/y1.mpc",
    };
    EXPECT_EQ(r.log, expected);
    EXPECT_EQ(s.InitialDirectory(), R);  // keeps the trailing separator
    EXPECT_FALSE(s.SearchInProgress());
}

// Subfolders are ordered by their full texts, which end in the separator: a blank or a
// point sorts before "/", so "Disc 2/" and "Disc.old/" come before "Disc/", while the
// files of one folder order by their plain names.
TEST(TreeScanner, SubfoldersOrderByTheirFullTextsWithTheSeparator)
{
    TempDir t;
    MakeFakeMpc(t / "Disc" / "d.mpc");
    MakeFakeMpc(t / "Disc 2" / "d2.mpc");
    MakeFakeMpc(t / "Disc.old" / "old.mpc");
    MakeFakeMpc(t / "Disc.mpc");
    MakeFakeMpc(t / "Disc 2.mpc");
    const QString R = Q(t.path()) + "/";
    EXPECT_EQ(Scan(t.path()), QStringList({R + "Disc 2.mpc", R + "Disc.mpc", R + "Disc 2/d2.mpc",
                                           R + "Disc.old/old.mpc", R + "Disc/d.mpc"}));
}

TEST(TreeScanner, HiddenFoldersSkippedHiddenFilesReported)
{
    TempDir t;
    MakeFakeMpc(t / ".hidden" / "inside.mpc");
    MakeFakeMpc(t / "visible" / ".dot.mpc");
    MakeFakeMpc(t / "visible" / "plain.mpc");
    const QString R = Q(t.path()) + "/";
    EXPECT_EQ(Scan(t.path()), QStringList({R + "visible/.dot.mpc", R + "visible/plain.mpc"}));

    // A hidden start folder is scanned: only what lies below it is judged.
    EXPECT_EQ(Scan(t / ".hidden"), QStringList({R + ".hidden/inside.mpc"}));
}

TEST(TreeScanner, MaskIgnoresCaseAndEmptyMaskMatchesNothing)
{
    TempDir t;
    for (const char *n : {"A.MPC", "b.Mp+", "c.mpp", "d.mp", "e.mpcx", "f.txt", "mp3.txt", "g.m"})
        MakeOther(t / n);
    const QString R = Q(t.path()) + "/";
    EXPECT_EQ(Scan(t.path()),
              QStringList({R + "A.MPC", R + "b.Mp+", R + "c.mpp", R + "d.mp", R + "e.mpcx"}));
    EXPECT_TRUE(Scan(t.path(), "").isEmpty());
    EXPECT_EQ(Scan(t.path(), "*.*").size(), 8);
    EXPECT_EQ(Scan(t.path(), "?.TXT"), QStringList({R + "f.txt"}));

    EXPECT_TRUE(MatchesMask("x.MPC", "*.mp?"));
    EXPECT_TRUE(MatchesMask("ab.c.d", "*.*.*"));
    EXPECT_TRUE(MatchesMask("aXbXc", "a*b*c"));
    EXPECT_FALSE(MatchesMask("aXbXd", "a*b*c"));
    EXPECT_FALSE(MatchesMask("x.mpc", "?"));
    EXPECT_TRUE(MatchesMask("ÄÖ.mpc", "äö.*"));
}

TEST(TreeScanner, NotRecursiveReportsSubfoldersWithoutEnteringThem)
{
    TempDir t;
    MakeFakeMpc(t / "top.mpc", 5);
    MakeFakeMpc(t / "one" / "below.mpc");
    fs::create_directories(t / "Two");
    fs::create_directories(t / ".three");
    const QString R = Q(t.path()) + "/";

    TTreeScanner s;
    Recorder r;
    r.Attach(s);
    s.SetRecursive(false);
    s.SetFileMask("*.mpc");
    s.SetInitialDirectory(R);  // given with the separator: same result as without
    s.Execute();
    EXPECT_EQ(r.log, QStringList({"D " + R, "F " + R + "top.mpc 5", "D " + R + "one/", "D " + R + "Two/",
                                  "E " + R + "Two/"}));
}

TEST(TreeScanner, EmptyStartFolderMeansCurrentDirectory)
{
    TempDir t;
    MakeFakeMpc(t / "here.mpc");
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Q(t.path())));
    TTreeScanner s;
    Recorder r;
    r.Attach(s, false);
    s.SetFileMask("*.mpc");
    s.Execute();
    QDir::setCurrent(old);
    const QString cwd = QDir(Q(t.path())).canonicalPath();
    EXPECT_EQ(s.InitialDirectory(), cwd + "/");
    EXPECT_EQ(r.Files(), QStringList({cwd + "/here.mpc"}));
}

TEST(TreeScanner, LinkLoopsEndAndEachFolderIsEnteredOnce)
{
    TempDir t;
    MakeFakeMpc(t / "a" / "one.mpc");
    MakeFakeMpc(t / "b" / "two.mpc");
    fs::create_directory_symlink("..", t / "a" / "up");          // loop to the start
    fs::create_directory_symlink(t / "b", t / "a" / "to-b");     // b reached twice
    fs::create_directory_symlink(t / "a" / "self", t / "a" / "self");  // link to itself
    fs::create_symlink(t / "b" / "two.mpc", t / "linked.mpc");   // a link to a file is a file
    fs::create_symlink(t / "gone.mpc", t / "dangling.mpc");      // nothing to read

    TTreeScanner s;
    Recorder r;
    r.Attach(s);
    s.SetInitialDirectory(Q(t.path()));
    s.SetFileMask("*.mpc");
    s.Execute();

    const QString R = Q(t.path()) + "/";
    EXPECT_EQ(r.Files(), QStringList({R + "linked.mpc", R + "a/one.mpc", R + "a/to-b/two.mpc"}));
    EXPECT_EQ(r.log.filter(QRegularExpression("^D ")).size(), 3);  // start, a, a/to-b
    EXPECT_EQ(r.log.filter(QRegularExpression("^E ")).size(), 3);
}

TEST(TreeScanner, UnreadableOrVanishedFoldersYieldNothingButStillRaiseEvents)
{
    TempDir t;
    MakeFakeMpc(t / "a" / "keep.mpc");
    MakeFakeMpc(t / "b" / "lost.mpc");
    const QString R = Q(t.path()) + "/";

    // Removed after its parent was listed, before it is scanned: works for root too.
    TTreeScanner s;
    Recorder r;
    r.Attach(s);
    s.SetOnDirectoryFound([&](TTreeScanner &sc) {
        r.log << "D " + sc.FileFound();
        if (sc.FileFound() == R + "a/") fs::remove_all(t / "b");
    });
    s.SetInitialDirectory(R);
    s.SetFileMask("*.mpc");
    s.Execute();
    EXPECT_EQ(r.log, QStringList({"D " + R, "D " + R + "a/", "F " + R + "a/keep.mpc 64", "E " + R + "a/keep.mpc",
                                  "D " + R + "b/", "E " + R + "b/", "E " + R + "b/"}));

    // A missing start folder is no error either.
    EXPECT_TRUE(Scan(t / "nothing-here").isEmpty());

}

TEST(TreeScanner, FolderWithoutReadPermissionIsSkippedSilently)
{
    TempDir t;
    MakeFakeMpc(t / "a" / "keep.mpc");
    const QString R = Q(t.path()) + "/";
    MakeFakeMpc(t / "c" / "locked.mpc");
    tmtest::ShareWithEveryone(t / "a");
    fs::permissions(t / "c", fs::perms::none);
    // Root reads any folder; the scan runs as a user whom the bits do stop.
    const int found = tmtest::AsUnprivilegedUser([&] {
        const QStringList files = Scan(t.path());
        if (files != QStringList({R + "a/keep.mpc"})) std::fprintf(stderr, "found %s\n", qPrintable(files.join(", ")));
        return files == QStringList({R + "a/keep.mpc"}) ? 0 : 1;
    });
    EXPECT_EQ(found, 0);
}

TEST(TreeScanner, FolderNamedLikeAMusepackFileIsEnteredNotReported)
{
    TempDir t;
    MakeFakeMpc(t / "album.mpc" / "track.mpc");
    const QString R = Q(t.path()) + "/";
    EXPECT_EQ(Scan(t.path()), QStringList({R + "album.mpc/track.mpc"}));
}

TEST(TreeScanner, OddNamesAreReportedExactly)
{
    TempDir t;
    const std::vector<std::string> names = {
        "two  spaces.mpc", "$HOME.mpc", "back`quote.mpc", "semi;colon.mpc", "quote'single.mpc",
        "quote\"double.mpc", "Ünïcödé ♫.mpc", "new\nline.mpc", "-dash.mpc", " lead.mpc"};
    QStringList expected;
    for (const std::string &n : names) {
        MakeFakeMpc(t / "odd dir $x" / n);
        expected << Q(t / "odd dir $x" / n);
    }
    const QStringList found = Scan(t.path());
    EXPECT_EQ(found.size(), expected.size());
    for (const QString &e : expected) EXPECT_TRUE(found.contains(e)) << e.toStdString();
    for (const QString &f : found) EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
}

TEST(TreeScanner, NamesEqualIgnoringCaseAreBothKeptAndPipesAreSkipped)
{
    TempDir t;
    MakeFakeMpc(t / "song.mpc");
    MakeFakeMpc(t / "SONG.mpc");
    ASSERT_TRUE(MakeFifo(t / "pipe.mpc"));
    const QStringList found = Scan(t.path());
    const QString R = Q(t.path()) + "/";
    EXPECT_EQ(found.size(), 2);
    EXPECT_TRUE(found.contains(R + "song.mpc"));
    EXPECT_TRUE(found.contains(R + "SONG.mpc"));
}

TEST(TreeScanner, SizeAboveFourGigabytesIsReportedWhole)
{
    TempDir t;
    MakeFakeMpc(t / "big.mpc");
    const std::uintmax_t size = 5ull << 30;  // sparse: no disk space used
    std::error_code ec;
    fs::resize_file(t / "big.mpc", size, ec);
    if (ec) GTEST_SKIP() << "file system refuses a sparse file: " << ec.message();
    TTreeScanner s;
    qint64 seen = -1;
    s.SetOnFileFound([&](TTreeScanner &sc) { seen = sc.FileSize(); });
    s.SetInitialDirectory(Q(t.path()));
    s.SetFileMask("*");
    s.Execute();
    EXPECT_EQ(seen, qint64(size));
}

TEST(TreeScanner, HooksAndEventsOnlyWhenSetAndOncePerFolder)
{
    TempDir t;
    MakeFakeMpc(t / "a" / "1.mpc");
    MakeFakeMpc(t / "a" / "2.mpc");
    MakeFakeMpc(t / "b" / "c" / "3.mpc");
    TTreeScanner s;
    s.SetInitialDirectory(Q(t.path()));
    s.SetFileMask("*.mpc");
    s.Execute();  // no handler set: nothing to call, nothing breaks

    int pumps = 0;
    s.SetProcessMessages([&] { ++pumps; });
    s.Execute();
    EXPECT_EQ(pumps, 4);  // start, a, b, b/c
}

TEST(TreeScanner, HandlerExceptionEndsTheScanAndReachesTheCaller)
{
    TempDir t;
    MakeFakeMpc(t / "1.mpc");
    MakeFakeMpc(t / "2.mpc");
    TTreeScanner s;
    int calls = 0;
    s.SetOnFileFound([&](TTreeScanner &sc) {
        ++calls;
        EXPECT_TRUE(sc.SearchInProgress());
        throw std::runtime_error("stop");
    });
    s.SetInitialDirectory(Q(t.path()));
    s.SetFileMask("*.mpc");
    EXPECT_THROW(s.Execute(), std::runtime_error);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(s.SearchInProgress());

    // A scan started from inside a running one is refused rather than interleaved.
    int inner = 0;
    s.SetOnFileFound([&](TTreeScanner &sc) {
        ++inner;
        sc.Execute();
    });
    s.Execute();
    EXPECT_EQ(inner, 2);
}

TEST(TreeScanner, FileSystemRootIsScannedLikeAnyFolder)
{
    TTreeScanner s;
    Recorder r;
    r.Attach(s);
    s.SetRecursive(false);
    s.SetInitialDirectory("/");
    s.SetFileMask("");
    s.Execute();
    ASSERT_FALSE(r.log.isEmpty());
    EXPECT_EQ(r.log.first(), "D /");
    EXPECT_TRUE(r.log.contains("D /tmp/")) << r.log.join('|').toStdString();
    for (const QString &l : r.log) EXPECT_FALSE(l.contains("//")) << l.toStdString();
}
