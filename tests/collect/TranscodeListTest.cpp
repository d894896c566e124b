#include "collect/TranscodeList.h"

#include "CollectTestUtil.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

using namespace trackmill;
using namespace tmtest;

namespace {

// A list wired the way the window wires it, recording what the hooks see.
struct Harness {
    TTranscodeList list;
    QStringList mirror;    // what the window's list box would show
    QStringList examined;  // names handed to the header test
    QStringList cursor;    // "on" / "off"
    int pumps = 0;
    int infoClears = 0;

    Harness()
    {
        list.SetHeaderTest([this](const QString &p) {
            examined << p;
            return LooksLikeMpc(p);
        });
        list.SetOnItemAdded([this](int i, const QString &p) {
            EXPECT_EQ(i, mirror.size());
            mirror << p;
        });
        list.SetOnItemRemoved([this](int i) { mirror.removeAt(i); });
        list.SetOnCleared([this] { mirror.clear(); });
        list.SetOnWaitCursor([this](bool on) { cursor << (on ? "on" : "off"); });
        list.SetProcessMessages([this] { ++pumps; });
        list.SetOnClearInfo([this] { ++infoClears; });
    }
    void Drop(std::initializer_list<fs::path> paths)
    {
        QStringList names;
        for (const fs::path &p : paths) names << Q(p);
        list.HandleDrop(names);
        EXPECT_EQ(mirror, list.Items());
        EXPECT_TRUE(list.FoundFiles().isEmpty());
    }
};

}  // namespace

TEST(TranscodeList, DroppedFilesPassExtensionThenDuplicateThenHeaderTest)
{
    TempDir t;
    for (const char *n : {"a.mpc", "B.MPP", "c.Mp+", "d.mp3", "e.mpc.txt"}) MakeFakeMpc(t / n);
    MakeOther(t / "fake.mpc");  // Musepack extension, other content
    Harness h;
    h.Drop({t / "a.mpc", t / "B.MPP", t / "c.Mp+", t / "d.mp3", t / "e.mpc.txt", t / "fake.mpc"});
    EXPECT_EQ(h.list.Items(), QStringList({Q(t / "a.mpc"), Q(t / "B.MPP"), Q(t / "c.Mp+")}));
    // Only names that passed the cheap tests were opened, and each pumped events once.
    EXPECT_EQ(h.examined, QStringList({Q(t / "a.mpc"), Q(t / "B.MPP"), Q(t / "c.Mp+"), Q(t / "fake.mpc")}));
    EXPECT_EQ(h.pumps, 4);
    EXPECT_EQ(h.cursor, QStringList({"on", "off"}));

    // The same files again: nothing is added, and nothing is opened a second time. A name
    // that differs only in letter case is another file on Linux and is taken; on Windows it
    // is the same file, listed already.
    h.examined.clear();
#ifdef _WIN32
    const auto again = h.list.HandleDrop({Q(t / "A.MPC"), Q(t / "b.mpp"), Q(t / "c.Mp+")});
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.rejected, 0);
    EXPECT_EQ(h.list.Count(), 3);
    EXPECT_TRUE(h.examined.isEmpty());
    EXPECT_TRUE(h.list.Contains(Q(t / "A.MPC")) && h.list.Contains(Q(t / "C.MP+")));
#else
    MakeFakeMpc(t / "A.MPC");
    const auto again = h.list.HandleDrop({Q(t / "A.MPC"), Q(t / "B.MPP"), Q(t / "c.Mp+")});
    EXPECT_EQ(again.added, 1);
    EXPECT_EQ(again.rejected, 0);  // files listed already are not counted as refused
    EXPECT_EQ(h.list.Count(), 4);
    EXPECT_EQ(h.examined, QStringList{Q(t / "A.MPC")});
    EXPECT_TRUE(h.list.Contains(Q(t / "A.MPC")) && h.list.Contains(Q(t / "a.mpc")));
    EXPECT_FALSE(h.list.Contains(Q(t / "C.MP+")));
#endif
}

TEST(TranscodeList, DropCountsWhatWasNotAcceptedAndKeepsTheBytesOfEveryName)
{
    TempDir t;
    MakeFakeMpc(t / "album" / "good.mpc");
    MakeFakeMpc(t / "album" / "bad\xFFname.mpc");
    MakeOther(t / "album" / "fake.mpc");
    MakeOther(t / "notes.txt");
    Harness h;
    QStringList refused;
    h.list.SetOnRefused([&](const QString &name, const QString &reason) { refused << name + ": " + reason; });
    h.list.SetOnIgnored([&](const QString &name, const QString &reason) { refused << name + ": " + reason; });
    const auto result = h.list.HandleDrop({Q(t / "album"), Q(t / "notes.txt")});
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.rejected, 2);  // the fake, the text file
    EXPECT_EQ(refused, (QStringList{Q(t / "notes.txt") + ": not a Musepack file",
                                    Q(t / "album" / "fake.mpc") + ": not a Musepack file (no valid stream header)"}));
    // A name that is not UTF-8 is listed with its bytes, as the programs must get it.
    EXPECT_TRUE(h.list.Queue().Contains(tmtest::U8(t / "album" / "bad\xFFname.mpc")));
    EXPECT_TRUE(h.list.Queue().Contains(tmtest::U8(t / "album" / "good.mpc")));
    // A file found in a dropped folder keeps the folder's parent as its base.
    EXPECT_EQ(h.list.Queue().At(0).base, tmtest::U8(t.path()));
}

TEST(TranscodeList, ExtensionRule)
{
    EXPECT_TRUE(HasMusepackExtension("/x/a.mpc"));
    EXPECT_TRUE(HasMusepackExtension("/x/a.MP+"));
    EXPECT_TRUE(HasMusepackExtension("/x/a.mPp"));
    EXPECT_TRUE(HasMusepackExtension("/x/.mpc"));  // a hidden file has that extension too
    EXPECT_FALSE(HasMusepackExtension("/x.mpc/a"));
    EXPECT_FALSE(HasMusepackExtension("/x.mpc/"));  // a folder's name given with its separator
    EXPECT_FALSE(HasMusepackExtension("/x/a.mpcx"));
    EXPECT_FALSE(HasMusepackExtension("/x/a"));
    EXPECT_FALSE(HasMusepackExtension("/x/a.mp"));
    EXPECT_TRUE(HasMusepackExtension("C:a.mpc"));  // ":" is an ordinary character here
}

TEST(TranscodeList, DroppedFilesComeFirstThenFoldersInDropAndScanOrder)
{
    TempDir t;
    MakeFakeMpc(t / "one" / "b.mpc");
    MakeFakeMpc(t / "one" / "A.mpc");
    MakeFakeMpc(t / "one" / "sub" / "c.mpc");
    MakeFakeMpc(t / "one" / "sub" / "junk.mp3");
    MakeOther(t / "one" / "sub" / "fake.mpp");
    MakeFakeMpc(t / "two" / "z.mpc");
    MakeFakeMpc(t / "single.mpc");
    Harness h;
    h.Drop({t / "two", t / "single.mpc", t / "one", t / "one" / "sub"});
    EXPECT_EQ(h.list.Items(), QStringList({Q(t / "single.mpc"), Q(t / "two" / "z.mpc"), Q(t / "one" / "A.mpc"),
                                           Q(t / "one" / "b.mpc"), Q(t / "one" / "sub" / "c.mpc")}));
    // Folders pump once each; examined files once each, fake.mpp twice since it was
    // found twice and never listed.
    EXPECT_EQ(h.pumps, 4 + 7);
}

// Pipes, devices, sockets, broken links and missing paths are never opened (that could
// block), and each one a person could have meant as music is named with the reason.
TEST(TranscodeList, WhatIsNoFileIsNeverOpenedAndNamedWithTheReason)
{
    TempDir t;
    MakeFakeMpc(t / "album.mpc" / "inside.mpc");  // a folder named like a Musepack file
    ASSERT_TRUE(MakeFifo(t / "pipe.mpc"));
    ASSERT_TRUE(MakeFifo(t / "pipe"));
    fs::create_symlink("/dev/null", t / "null.mpc");
    fs::create_symlink(t / "nowhere.mpc", t / "broken.mpc");
    fs::create_symlink(t / "nowhere", t / "broken");  // perhaps a folder once
    MakeFakeMpc(t / "vanishing.mpc");
    // In a folder only Musepack names are looked at.
    MakeFakeMpc(t / "d" / "good.mpc");
    ASSERT_TRUE(MakeFifo(t / "d" / "pipe.mpp"));
    ASSERT_TRUE(MakeFifo(t / "d" / "pipe.mp3"));
    fs::create_symlink("/dev/zero", t / "d" / "zero.MPC");
    fs::create_symlink(t / "nowhere", t / "d" / "broken.mp+");
    fs::create_symlink(t / "nowhere", t / "d" / "broken");
    ASSERT_TRUE(MakeSocket(t / "d" / "socket.mpc"));

    Harness h;
    QStringList told;
    h.list.SetOnRefused([&](const QString &name, const QString &reason) { told << "refused " + name + ": " + reason; });
    h.list.SetOnIgnored([&](const QString &name, const QString &reason) { told << "ignored " + name + ": " + reason; });
    h.list.SetHeaderTest([&](const QString &p) {
        h.examined << p;
        fs::remove(t / "vanishing.mpc");  // deleted after it was found, before it is read
        return LooksLikeMpc(p);
    });
    const auto result = h.list.HandleDrop({Q(t / "album.mpc"), Q(t / "does-not-exist.mpc"), Q(t / "no-such-folder"),
                                           Q(t / "pipe.mpc"), Q(t / "pipe"), Q(t / "null.mpc"), Q(t / "broken.mpc"),
                                           Q(t / "broken"), Q(t / "vanishing.mpc"), Q(t / "d")});
    EXPECT_EQ(h.list.Items(), QStringList({Q(t / "album.mpc" / "inside.mpc"), Q(t / "d" / "good.mpc")}));
    EXPECT_EQ(h.examined, QStringList({Q(t / "vanishing.mpc"), Q(t / "album.mpc" / "inside.mpc"), Q(t / "d" / "good.mpc")}));
    const QString notFile = ": not a regular file (a pipe, device or socket)";
    const QString broken = ": a broken symbolic link";
    EXPECT_EQ(told, (QStringList{
                        "refused " + Q(t / "d" / "broken.mp+") + broken,
                        "refused " + Q(t / "d" / "pipe.mpp") + notFile,
                        "refused " + Q(t / "d" / "socket.mpc") + notFile,
                        "refused " + Q(t / "d" / "zero.MPC") + notFile,
                        "refused " + Q(t / "does-not-exist.mpc") + ": no such file or folder",
                        "refused " + Q(t / "no-such-folder") + ": no such file or folder",
                        "refused " + Q(t / "pipe.mpc") + notFile,
                        "ignored " + Q(t / "pipe") + ": not a Musepack file",
                        "refused " + Q(t / "null.mpc") + notFile,
                        "refused " + Q(t / "broken.mpc") + broken,
                        "refused " + Q(t / "broken") + broken,
                        "ignored " + Q(t / "vanishing.mpc") + ": not a Musepack file (no valid stream header)",
                    }));
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.rejected, told.size());
    EXPECT_EQ(h.cursor, QStringList({"on", "off"}));
}

TEST(TranscodeList, OddNamesAndLinkLoopsInDroppedFolders)
{
    TempDir t;
    const fs::path odd = t / "it's \"odd\" $HOME `x`; ♫";
    MakeFakeMpc(odd / "two  spaces.mpc");
    MakeFakeMpc(odd / "Ünïcödé.MPC");
    fs::create_directory_symlink(odd, odd / "loop");
    Harness h;
    h.Drop({t.path()});
    EXPECT_EQ(h.list.Items(), QStringList({Q(odd / "two  spaces.mpc"), Q(odd / "Ünïcödé.MPC")}));
}

TEST(TranscodeList, FailureInTheHeaderTestStillRestoresCursorAndFoundFiles)
{
    TempDir t;
    MakeFakeMpc(t / "d" / "1.mpc");
    MakeFakeMpc(t / "d" / "2.mpc");
    Harness h;
    int calls = 0;
    h.list.SetHeaderTest([&](const QString &p) {
        if (++calls == 2) throw std::runtime_error("unreadable");
        return LooksLikeMpc(p);
    });
    EXPECT_THROW(h.list.HandleDrop({Q(t / "d")}), std::runtime_error);
    EXPECT_EQ(h.cursor, QStringList({"on", "off"}));
    EXPECT_TRUE(h.list.FoundFiles().isEmpty());
    EXPECT_EQ(h.list.Items(), QStringList({Q(t / "d" / "1.mpc")}));
    EXPECT_EQ(h.pumps, 1 + 2);  // the failing file still pumped

    // The list works normally afterwards.
    h.Drop({t / "d"});
    EXPECT_EQ(h.list.Count(), 2);

    // Without a header test nothing can be verified, so nothing is taken.
    TTranscodeList bare;
    bare.HandleDrop({Q(t / "d")});
    EXPECT_TRUE(bare.IsEmpty());
}

TEST(TranscodeList, DropArrivingDuringADropIsHandledAfterIt)
{
    TempDir t;
    MakeFakeMpc(t / "first" / "1.mpc");
    MakeFakeMpc(t / "first" / "2.mpc");
    MakeFakeMpc(t / "second" / "3.mpc");
    MakeFakeMpc(t / "first" / "dup.mpc");
    Harness h;
    bool injected = false;
    // Stands for the drop target's Files, which the second drop overwrites.
    QStringList dropped{Q(t / "first")};
    h.list.SetProcessMessages([&] {
        ++h.pumps;
        if (injected) return;
        injected = true;  // as if the user dropped again while the first drop pumps events
        dropped = {Q(t / "second"), Q(t / "first" / "DUP.mpc")};
        h.list.HandleDrop(dropped);
        EXPECT_TRUE(h.list.IsEmpty());  // not handled in the middle of the first one
    });
    h.list.HandleDrop(dropped);
    // The first folder's files (in the order of the system's collation), then the second's;
    // "DUP.mpc" is no file on Linux and dup.mpc, listed already, on Windows.
    QStringList items = h.list.Items();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items.takeLast(), Q(t / "second" / "3.mpc"));
    items.sort();
    EXPECT_EQ(items, QStringList({Q(t / "first" / "1.mpc"), Q(t / "first" / "2.mpc"), Q(t / "first" / "dup.mpc")}));
    EXPECT_EQ(h.cursor, QStringList({"on", "off", "on", "off"}));
}

TEST(TranscodeList, StopEndsTheDropWhileScanningOrAddingAndKeepsWhatCame)
{
    TempDir t;
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 5; ++i) MakeFakeMpc(t / ("album" + std::to_string(f)) / (std::to_string(i) + ".mpc"));
    MakeFakeMpc(t / "single.mpc");
    Harness h;
    std::vector<TTranscodeList::TCollectProgress> seen;
    h.list.SetOnProgress([&](const TTranscodeList::TCollectProgress &p) { seen.push_back(p); });

    // Stopped while adding: the files added so far stay, the rest and the queued
    // drop are not.
    bool queued = false;
    h.list.SetProcessMessages([&] {
        if (seen.empty() || seen.back().added < 3) return;
        if (!queued) h.list.HandleDrop({Q(t / "single.mpc")});
        queued = true;
        h.list.StopCollecting();
    });
    auto result = h.list.HandleDrop({Q(t / "album0"), Q(t / "album1")});
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(h.list.Count(), 3);
    EXPECT_EQ(result.added, 3);
    EXPECT_FALSE(h.list.Contains(Q(t / "single.mpc")));
    EXPECT_EQ(seen.back().found, 10);  // both folders were scanned before adding began
    EXPECT_FALSE(h.list.Collecting());

    // Stopped while scanning: the second folder is never entered, nothing is added.
    seen.clear();
    h.list.ClearAll();
    int folders = 0;
    h.list.SetProcessMessages([&] {
        if (++folders == 2) h.list.StopCollecting();
    });
    result = h.list.HandleDrop({Q(t / "album1"), Q(t / "album2"), Q(t / "single.mpc")});
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(h.list.IsEmpty());
    EXPECT_LE(seen.back().found, 5);

    // The next drop is whole again.
    h.list.SetProcessMessages({});
    result = h.list.HandleDrop({Q(t / "album2")});
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.added, 5);
}

TEST(TranscodeList, DeleteItemsClearAllAndTheFrontEntry)
{
    TempDir t;
    for (const char *n : {"0.mpc", "1.mpc", "2.mpc", "3.mpc", "4.mpc"}) MakeFakeMpc(t / n);
    Harness h;
    h.Drop({t / "0.mpc", t / "1.mpc", t / "2.mpc", t / "3.mpc", t / "4.mpc"});
    ASSERT_EQ(h.list.Count(), 5);

    EXPECT_EQ(h.list.DeleteItems({}), 0);  // nothing selected
    EXPECT_EQ(h.list.DeleteItems({7, -1}), 0);
    EXPECT_EQ(h.list.Count(), 5);

    EXPECT_EQ(h.list.DeleteItems({1, 3, 3}), 2);  // any order, duplicates ignored
    EXPECT_EQ(h.list.Items(), QStringList({Q(t / "0.mpc"), Q(t / "2.mpc"), Q(t / "4.mpc")}));
    EXPECT_EQ(h.mirror, h.list.Items());
    EXPECT_EQ(h.infoClears, 0);  // some left: the panel stays

    // The job takes entry 0 away; the same file can then be dropped again.
    h.list.Delete(0);
    h.list.Delete(9);
    EXPECT_EQ(h.list.Items(), QStringList({Q(t / "2.mpc"), Q(t / "4.mpc")}));
    h.Drop({t / "0.mpc"});
    EXPECT_EQ(h.list.Items().last(), Q(t / "0.mpc"));
    h.Drop({t / "2.mpc"});
    EXPECT_EQ(h.list.Count(), 3);

    EXPECT_EQ(h.list.DeleteItems({0, 1, 2}), 3);
    EXPECT_TRUE(h.mirror.isEmpty());
    EXPECT_EQ(h.infoClears, 1);  // emptied: the panel too

    h.Drop({t / "1.mpc", t / "2.mpc"});
    h.list.ClearAll();
    EXPECT_TRUE(h.list.IsEmpty());
    EXPECT_TRUE(h.mirror.isEmpty());
    EXPECT_EQ(h.infoClears, 2);
    EXPECT_FALSE(h.list.Contains(Q(t / "1.mpc")));
    h.Drop({t / "1.mpc"});
    EXPECT_EQ(h.list.Count(), 1);
}

TEST(TranscodeList, RealMusepackFilesFromTheEncoder)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir t;
    fs::create_directories(t / "in");
    ASSERT_TRUE(MakeMpc(t / "in" / "tone.mpc", 0.2));
    // Same bytes under every extension the list takes, and one it doesn't.
    for (const char *n : {"copy.MPP", "copy.mp+", "copy.mp3"}) fs::copy_file(t / "in" / "tone.mpc", t / "in" / n);
    Harness h;
    h.Drop({t / "in"});
    EXPECT_EQ(h.list.Items(),
              QStringList({Q(t / "in" / "copy.mp+"), Q(t / "in" / "copy.MPP"), Q(t / "in" / "tone.mpc")}));
}

// On the worker the drop ends as it does on the calling thread: the same files in the same
// order, a drop that came meanwhile counted with it, the cursor back, and a list destroyed
// in the middle of one waits for its worker instead of crashing.
TEST(TranscodeList, ADropOnTheWorkerEndsAsOneOnTheCallingThread)
{
    TempDir t;
    for (int f = 0; f < 2; ++f)
        for (int i = 0; i < 4; ++i) MakeFakeMpc(t / ("album" + std::to_string(f)) / (std::to_string(i) + ".mpc"));
    MakeFakeMpc(t / "single.mpc");
    tmtest::WriteText(t / "album0" / "empty.mpc", "");
    Harness here, there;
    const auto sync = here.list.HandleDrop({Q(t / "album0")});
    const std::vector<TLeftOutPath> ignored = here.list.Queue().Ignored();
    ASSERT_EQ(ignored.size(), 1u);
    here.list.HandleDrop({Q(t / "single.mpc")});

    std::optional<TTranscodeList::TAddResult> ended;
    there.list.BeginDrop({Q(t / "album0")}, [&](const TTranscodeList::TAddResult &r) { ended = r; });
    there.list.BeginDrop({Q(t / "single.mpc")}, [](const TTranscodeList::TAddResult &) { ADD_FAILURE(); });
    EXPECT_TRUE(there.list.Collecting());
    ASSERT_TRUE(ServeEventsUntil([&] { return ended.has_value(); }, 10000));
    EXPECT_FALSE(there.list.Collecting());
    EXPECT_EQ(there.mirror, here.mirror);
    EXPECT_EQ(ended->added, sync.added + 1);
    EXPECT_EQ(ended->rejected, sync.rejected);
    EXPECT_EQ(there.list.Queue().Ignored(), ignored);
    EXPECT_EQ(there.cursor, QStringList({"on", "off"}));

    // Files already listed are not added twice; a list going away stops its worker.
    ended.reset();
    there.list.BeginDrop({Q(t / "album0"), Q(t / "album1")}, [&](const TTranscodeList::TAddResult &r) { ended = r; });
    ASSERT_TRUE(ServeEventsUntil([&] { return ended.has_value(); }, 10000));
    EXPECT_EQ(ended->added, 4);
    auto doomed = std::make_unique<TTranscodeList>([](const QString &) { return true; });
    doomed->BeginDrop({Q(t.path())}, [](const TTranscodeList::TAddResult &) { ADD_FAILURE(); });
    doomed.reset();
}
