// Adding files without a file manager and with one: the two dialogs, drops anywhere on
// the window, what the status line says about them, the keyboard, a huge drop, and the
// names given on the command line.
#include "WindowFixture.h"

#include "collect/FileNames.h"
#include "engine/TranscodeJob.h"
#include "widgets/FileChooser.h"
#include "widgets/StatusArea.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <sys/stat.h>

using namespace trackmill;
namespace fs = std::filesystem;

class WindowAdd : public tmtest::WindowTest {
protected:
    void SetUp() override
    {
        tmtest::WindowTest::SetUp();
        TM_REQUIRE_TOOL("mpcenc");
        static const tmtest::Bytes sample = [] {
            tmtest::TempDir tmp;
            if (!tmtest::MakeMpc(tmp / "s.mpc", 0.3)) return tmtest::Bytes{};
            return tmtest::ReadBytes(tmp / "s.mpc");
        }();
        ASSERT_FALSE(sample.empty());
        sample_ = &sample;
    }
    fs::path Put(const fs::path &file)
    {
        fs::create_directories(file.parent_path());
        tmtest::WriteBytes(file, *sample_);
        return file;
    }
    QString Status() const { return form->StatusArea1->Text(); }
    const tmtest::Bytes *sample_ = nullptr;
};

TEST_F(WindowAdd, AddFilesAndAddFolderThroughTheirDialogs)
{
    const fs::path a = Put(work / "one" / "a.mpc"), b = Put(work / "one" / "b.mpp");
    const fs::path c = Put(work / "albums" / "Album" / "c.mpc");
    fs::create_directories(work / "albums" / "Empty");
    tmtest::WriteText(work / "albums" / "Empty" / "notes.txt", "no music");
    Open();

    QStringList files;
    QString folder, opened;
    form->Chooser().SetFilesDialog([&](QWidget *, const QString &, const QString &start, const QString &) {
        opened = start;
        return files;
    });
    form->Chooser().SetFolderDialog([&](QWidget *, const QString &, const QString &start) {
        opened = start;
        return folder;
    });

    // Cancelled: nothing changes, nothing is said.
    form->AddFilesButton->click();
    WaitForCollection();
    EXPECT_EQ(opened, QDir::homePath());
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_TRUE(Status().isEmpty());

    files = {Q(a), Q(b)};
    form->AddFilesButton->click();
    WaitForCollection();
    EXPECT_EQ(ListEntries(), QStringList({Q(a), Q(b)}));
    EXPECT_EQ(Status(), "2 files added");
    files.clear();
    form->AddFilesButton->click();
    WaitForCollection();
    EXPECT_EQ(opened, Q(work / "one"));  // where the last files came from

    folder = Q(work / "albums" / "Album");
    form->AddFolderButton->click();
    WaitForCollection();
    EXPECT_EQ(ListEntries().last(), Q(c));
    folder = Q(work / "albums" / "Empty") + "/";
    form->AddFolderButton->click();
    WaitForCollection();
    EXPECT_EQ(opened, Q(work / "albums"));  // beside the folder chosen last
    EXPECT_EQ(Status(), "No Musepack files found");
    EXPECT_EQ(EntryCount(), 3);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowAdd, DropsAreTakenAnywhereAndTheRefusedOnesCounted)
{
    const fs::path a = Put(work / "a.mpc"), b = Put(work / "b.mpc"), c = Put(work / "c.mpc");
    const fs::path mp3 = Put(work / "song.mp3");
    tmtest::WriteBytes(work / "fake.mpc", tmtest::Bytes(64, 0));  // no Musepack header
    Open();

    DropFiles({a}, form->InfoPanel->viewport());
    EXPECT_EQ(ListEntries(), QStringList({Q(a)}));
    // On a line edit the file is taken, not pasted as text.
    const QString options = form->EncoderOptionsEdit->text();
    DropFiles({b}, form->EncoderOptionsEdit);
    EXPECT_EQ(form->EncoderOptionsEdit->text(), options);
    EXPECT_EQ(EntryCount(), 2);
    // A drag of plain text still reaches the line edit's own handling.
    Drop({}, "--preset", form->EncoderOptionsEdit);
    EXPECT_EQ(EntryCount(), 2);

    DropFiles({c, mp3, work / "fake.mpc", a});  // a is listed already
    EXPECT_EQ(EntryCount(), 3);
    EXPECT_EQ(Status(), "1 file added, 1 already in the list, 2 not accepted");
    DropFiles({mp3}, form.get());
    EXPECT_EQ(Status(), "0 files added, 1 not accepted");
}

TEST_F(WindowAdd, PipesDevicesBrokenLinksAndMissingPathsAreCountedNotAccepted)
{
    const fs::path a = Put(work / "a.mpc");
    fs::create_directories(work / "album");
    for (const fs::path &p : {work / "pipe.mpc", work / "pipe", work / "album" / "pipe.mpp"})
        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0) << p;
    fs::create_symlink("/dev/null", work / "null.mpc");
    fs::create_symlink(work / "nowhere.mpc", work / "broken.mpc");
    fs::create_symlink(work / "nowhere.mpc", work / "album" / "broken.mpc");
    Open();
    DropFiles({a, work / "pipe.mpc", work / "pipe", work / "null.mpc", work / "broken.mpc", work / "missing.mpc",
               work / "album"});
    EXPECT_EQ(ListEntries(), QStringList({Q(a)}));
    EXPECT_EQ(Status(), "1 file added, 7 not accepted");
}

TEST_F(WindowAdd, KeyboardAloneReachesTheListDeletesAndStartsTheJob)
{
    const fs::path a = Put(work / "a.mpc"), b = Put(work / "b.mpc");
    Open();
    DropFiles({a, b});
    form->activateWindow();
    form->DeleteButton->setFocus();
    QTest::keyClick(form->DeleteButton, Qt::Key_Tab);  // Cancel is disabled: the list is next
    ASSERT_EQ(QApplication::focusWidget(), form->FileList);
    QTest::keyClick(form->FileList, Qt::Key_Down);
    QTest::keyClick(form->FileList, Qt::Key_Delete);
    EXPECT_EQ(ListEntries(), QStringList({Q(a)}));

    QTest::keyClick(form->FileList, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->AddFilesButton);
    bool asked = false;
    form->Chooser().SetFilesDialog([&](QWidget *, const QString &, const QString &, const QString &) {
        asked = true;
        return QStringList();
    });
    QTest::keyClick(form->AddFilesButton, Qt::Key_Space);
    EXPECT_TRUE(asked);

    // Enter in the list still clicks Transcode.
    form->FileList->setFocus();
    QTest::keyClick(form->FileList, Qt::Key_Return);
    TM_TRY_VERIFY(form->Job().Running() || EntryCount() == 0, 5000);
    TM_TRY_VERIFY(!form->Job().Running(), 60000);
    EXPECT_TRUE(fs::exists(work / "a.mp3"));
}

TEST_F(WindowAdd, AHugeDropIsCountedWhileTheWindowRespondsAndEscStopsIt)
{
    // 100,000 names of two files (a file system caps the links of one): a drop as large
    // as a large library.
    const fs::path one = Put(work / "one.mpc"), two = Put(work / "two.mpc");
    fs::create_directories(work / "many");
    QList<QUrl> urls;
    for (int i = 0; i < 100000; ++i) {
        const fs::path p = work / "many" / (std::to_string(i) + ".mpc");
        fs::create_hard_link(i % 2 ? one : two, p);
        urls << QUrl::fromLocalFile(Q(p));
    }
    Open();
    QStringList seen;
    int ticks = 0;
    QTimer watch;
    int stillWhileCollecting = 0;  // ticks on which the list could be changed under the drop
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ++ticks;
        seen << Status();
        if (form->List().Collecting() &&
            (form->TranscodeButton->isEnabled() || form->ClearButton->isEnabled() || form->DeleteButton->isEnabled()))
            ++stillWhileCollecting;
        if (EntryCount() >= 2000) QTest::keyClick(form->FileList, Qt::Key_Escape);
    });
    watch.start(50);
    Drop(urls);
    watch.stop();

    const int count = EntryCount();
    EXPECT_GE(count, 2000);
    EXPECT_LT(count, 100000);
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(stillWhileCollecting, 0);
    EXPECT_TRUE(form->TranscodeButton->isEnabled() && form->ClearButton->isEnabled() && form->DeleteButton->isEnabled());
    EXPECT_FALSE(seen.filter("Collecting: ").isEmpty()) << seen.join(" | ").toStdString();
    EXPECT_TRUE(Status().startsWith("Stopped: ")) << Status().toStdString();
    EXPECT_TRUE(Status().contains(QLocale::system().toString(count))) << Status().toStdString();
}

TEST_F(WindowAdd, NamesOnTheCommandLineAreAddedAsADropWould)
{
    const fs::path a = Put(work / "a.mpc");
    const fs::path inFolder = Put(work / "Album" / "01.mpc");
    Open();
    form->AddNamed({"a.mpc", "Album", QUrl::fromLocalFile(Q(a)).toString(), "missing.mpc"});
    WaitForCollection();
    EXPECT_EQ(ListEntries(), QStringList({Q(a), Q(inFolder)}));
    EXPECT_EQ(Status(), "2 files added, 1 already in the list, 1 not accepted");
}

TEST_F(WindowAdd, NamesThatAreNotUtf8AreListedWithTheirBytesAndShownReplaced)
{
    const fs::path inFolder = Put(work / "lib" / "Caf\xE9" / "d\xE9j\xE0.mpc");
    const fs::path named = Put(work / "\xE9t\xE9.mpc");
    Open();
    DropFiles({work / "lib"});
    form->AddNamed({NameFromBytes(named.string())});
    WaitForCollection();
    // Shown with U+FFFD, as Qt decodes the bytes; listed with the bytes themselves.
    EXPECT_EQ(ListEntries(), QStringList({Q(work / "lib") + "/Caf\uFFFD/d\uFFFDj\uFFFD.mpc",
                                          Q(work.path()) + "/\uFFFDt\uFFFD.mpc"}));
    ASSERT_EQ(form->List().Count(), 2);
    EXPECT_EQ(form->List().Queue().At(0).source, inFolder.string());
    EXPECT_EQ(form->List().Queue().At(1).source, named.string());
}
