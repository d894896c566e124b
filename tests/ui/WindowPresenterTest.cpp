// The window's decisions without a screen: what its list, controls, status line, panel and
// reports show through a job that fails a file, is cancelled, or ends in a shutdown, and
// what a drop, Cancel and a close do meanwhile. No QApplication exists in this binary.
#include "PresenterFixture.h"
#include "ui/Placement.h"

#include "engine/Library.h"
#include "formats/ID3v2.h"
#include "formats/ID3v2Frame.h"

#include <QCoreApplication>

namespace trackmill::test {
namespace {

TEST_F(Presenter, AJobFromTheDropToItsReport)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    Settings(false);
    presenter->Start();
    EXPECT_TRUE(view.controls.transcode);
    EXPECT_FALSE(view.controls.outputDirEdit);  // the folder is not used yet
    presenter->Collect(names);
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[1].text, names[1]);
    EXPECT_EQ(view.status, "3 files added");

    Transcode();
    EXPECT_FALSE(view.controls.transcode || view.controls.clearAll || view.controls.adding);
    EXPECT_TRUE(view.controls.cancel);
    EXPECT_EQ(view.rows[0].state, "converting 0 %");
    EXPECT_EQ(view.rows[1].state, "waiting");
    EXPECT_EQ(view.focused, std::vector<int>{0});  // the file that starts is brought into view
    EXPECT_TRUE(view.status.startsWith("File 1 of 3, 0:00 elapsed")) << view.status.toStdString();
    // Nothing is added while the job runs, and the list says why.
    presenter->Collect({QFile::decodeName((dir / "other.mpc").string().c_str())});
    EXPECT_EQ(view.status, kJobRefusedText);
    EXPECT_EQ(view.rows.size(), 3u);

    // The first file fails: its row says so and why.
    runner.EndFirst(255);
    ASSERT_EQ(view.rows[0].tone, TRowTone::Failed);
    EXPECT_EQ(view.rows[0].state, "failed");
    EXPECT_FALSE(view.rows[0].tip.isEmpty());
    EXPECT_EQ(view.progress, 33);
    job->TimerFired();
    presenter->Cancel();
    EXPECT_EQ(view.status, kStoppingText);
    runner.EndFirst(255);
    EXPECT_FALSE(job->Running());
    EXPECT_EQ(view.status, "0 converted, 0 skipped, 2 failed, 1 not converted");
    EXPECT_EQ(view.progress, 66);  // two of three files ended
    EXPECT_TRUE(view.controls.transcode && view.controls.adding && view.controls.outputDirEdit);
    EXPECT_EQ(view.rows[2].state, "");  // waiting only while a job runs
    EXPECT_TRUE(view.info.isEmpty());
    ASSERT_EQ(view.reports.size(), 1);
    EXPECT_TRUE(view.reports[0].startsWith("2 files could not be converted:")) << view.reports[0].toStdString();
    EXPECT_TRUE(view.reports[0].contains(names[0] + ": ")) << view.reports[0].toStdString();
    EXPECT_TRUE(view.errors.isEmpty());

    // Picking a row shows its file; a file that is no Musepack file shows nothing.
    presenter->RowPicked(0);
    EXPECT_TRUE(view.info.isEmpty());
    presenter->ClearAll();
    EXPECT_TRUE(view.rows.empty());
    Transcode();
    EXPECT_EQ(view.errors, QStringList{kListEmptyMessage});
}

// What a person learns around the list: which files were left out and why, that a folder
// added again brought nothing new, a panel and a bar that never outlive what they show,
// the time a job takes, and where its MP3s went.
TEST_F(Presenter, TheListsStatusPanelAndBarTellWhatIsTrueNow)
{
    ASSERT_TRUE(tmtest::MakeMpc(dir / "real.mpc"));
    names << QFile::decodeName((dir / "real.mpc").string().c_str());
    tmtest::WriteText(dir / "notes.txt", "not music");
    presenter->Start();
    presenter->Collect(names + QStringList{QFile::decodeName((dir / "gone.mpc").string().c_str()),
                                           QFile::decodeName((dir / "notes.txt").string().c_str())});
    EXPECT_EQ(view.status, "4 files added, 2 not accepted");
    ASSERT_TRUE(view.details);
    presenter->ShowDetails();
    ASSERT_EQ(view.shownDetails.size(), 3);
    EXPECT_EQ(view.shownDetails[0], "2 files were not accepted:");
    EXPECT_TRUE(view.shownDetails[1].startsWith(QFile::decodeName((dir / "gone.mpc").string().c_str()) + ": "));
    EXPECT_EQ(view.shownDetails[2], QFile::decodeName((dir / "notes.txt").string().c_str()) + ": not a Musepack file");

    // The same files again: nothing new, and the status says why.
    presenter->Collect(names);
    EXPECT_EQ(view.status, "4 already in the list");
    EXPECT_FALSE(view.details);

    // The panel shows a file until that file leaves the list.
    presenter->RowPicked(3);
    ASSERT_FALSE(view.info.isEmpty());
    presenter->DeleteRows({0});
    EXPECT_FALSE(view.info.isEmpty());
    presenter->DeleteRows({2});
    EXPECT_TRUE(view.info.isEmpty());
    EXPECT_EQ(view.status, "2 files in the list");

    // b.mpc's MP3 is there already (a user's: skipped), c.mpc converts for a minute.
    tmtest::WriteText(dir / "b.mp3", "a user's MP3");
    TJobSettings s;
    s.existing = TExistingPolicy::Skip;
    presenter->SettingsChanged(s);
    Transcode();
    ASSERT_TRUE(job->Running());
    const TWorkItem &running = job->Queue().At(job->Queue().IndexOf(runner.running.front()));
    EXPECT_EQ(running.number, 2);
    TJobFigures figures = job->Figures();
    figures.started = TJobFigures::Clock::now() - std::chrono::seconds(64);
    figures.running[running.id] = 0;  // b skipped: half of the job done in 64 s
    presenter->FileProgress(running, figures);
    EXPECT_EQ(view.status, "File 2 of 2, 1:04 elapsed, about 1 min left");
    EXPECT_EQ(view.outputFolder, "");
    runner.EndFirst(255);
    EXPECT_EQ(view.status, "0 converted, 1 skipped, 1 failed");
    EXPECT_EQ(view.notices, QStringList{view.status});
    EXPECT_EQ(view.outputFolder, QFile::decodeName(dir.path().string().c_str()) + "/");
    presenter->OpenOutputFolder();
    EXPECT_EQ(view.opened, QStringList{view.outputFolder});

    // The bar of the finished job goes once the list changes.
    EXPECT_EQ(view.progress, 100);
    presenter->Collect(names.mid(0, 1));
    EXPECT_EQ(view.progress, 0);
}

// The programs refuse the option lines on the check before the first file: one message with
// their complaint, no file started or marked, and the window usable again at once.
TEST_F(Presenter, OptionsRefusedOnTheCheckGiveOneMessageAndStartNoFile)
{
    presenter->Start();
    presenter->Collect(names);
    presenter->Transcode();
    ASSERT_EQ(runner.running, std::vector<std::uint64_t>{kOptionsCheckId});
    EXPECT_TRUE(view.controls.cancel && !view.controls.transcode);
    runner.EndFirst(1);
    EXPECT_TRUE(runner.running.empty());
    EXPECT_FALSE(job->Running());
    EXPECT_EQ(view.errors, QStringList{QString(kOptionsRefusedText).arg("the encoder stopped with exit status 1")});
    EXPECT_TRUE(view.reports.isEmpty());
    EXPECT_TRUE(view.focused.empty());
    for (const TListRow &row : view.rows) EXPECT_TRUE(row.state.isEmpty() && row.tone == TRowTone::Plain);
    EXPECT_TRUE(view.controls.transcode && view.controls.adding && view.controls.clearAll);
}

TEST_F(Presenter, MissingProgramsAShutdownNoticeAndAClose)
{
    programs = false;
    presenter->Start();
    EXPECT_EQ(view.errors, (QStringList{"ENCODER missing", "DECODER missing"}));
    EXPECT_FALSE(view.controls.transcode);

    // Cancel during the notice gives up the shutdown, and the window is usable again.
    programs = true;
    presenter->Start();
    Settings(true);
    presenter->Collect(names.mid(0, 1));
    Transcode();
    runner.EndFirst(255);
    ASSERT_TRUE(view.notice);
    EXPECT_FALSE(view.controls.transcode);  // the controls stay while the notice runs
    presenter->Cancel();
    EXPECT_FALSE(view.notice);
    presenter->ShutdownNoticeEnded(false);
    EXPECT_EQ(view.status, kShutdownCancelledText);
    EXPECT_TRUE(view.controls.transcode);
    EXPECT_EQ(host.shutdowns, 0);

    // A window closed during a job finishes the file in progress and shuts nothing down.
    Transcode();
    presenter->Closing();
    EXPECT_TRUE(presenter->ClosingDuringJob());
    runner.EndFirst(255);
    EXPECT_FALSE(job->Running());
    EXPECT_EQ(view.noticesStarted, 1);
    EXPECT_EQ(host.shutdowns, 0);
}

// Without lame but with opusenc, Opus can be converted to; a format chosen during a job
// counts from the next one, as the job planned its outputs with its own.
TEST_F(Presenter, TranscodeFollowsTheFormatsEncoderAndAJobKeepsItsFormat)
{
    missing = {"enc"};
    presenter->Start();
    EXPECT_EQ(view.errors, QStringList{"ENCODER missing"});
    EXPECT_FALSE(view.controls.transcode);
    TJobSettings mp3, opus;
    opus.format = TOutputFormat::Opus;
    presenter->SettingsChanged(opus);
    EXPECT_TRUE(view.controls.transcode);
    presenter->SettingsChanged(mp3);
    EXPECT_FALSE(view.controls.transcode);

    presenter->SettingsChanged(opus);
    presenter->Collect(names.mid(0, 2));
    Transcode();
    ASSERT_TRUE(job->Running());
    presenter->SettingsChanged(mp3);
    EXPECT_EQ(job->Settings().format, TOutputFormat::Opus);
    EXPECT_FALSE(view.controls.transcode);
    presenter->Cancel();
    runner.EndFirst(255);
    ASSERT_FALSE(job->Running());
    EXPECT_EQ(job->Settings().format, TOutputFormat::Mp3);
    EXPECT_FALSE(view.controls.transcode);
    EXPECT_EQ(view.errors, QStringList{"ENCODER missing"});
}

// A source retagged since its conversion: counted apart as out of date under Skip, and under
// "Update tags" its MP3 is given the present tags, a count of its own too.
TEST_F(Presenter, OutOfDateFilesAndUpdatedTagsAreCountedApart)
{
    TM_REQUIRE_TOOL("mpcenc");
    TM_REQUIRE_TOOL("lame");
    const fs::path lib = dir / "lib", out = dir / "out";
    fs::create_directories(lib), fs::create_directories(out);
    ASSERT_TRUE(tmtest::MakeMpc(lib / "a.mpc", 0.3, {"--title", "Now"}));
    tmtest::MakeSineWav(dir / "a.wav", 0.3);
    ASSERT_EQ(tmtest::Run({"lame", "--quiet", tmtest::U8(dir / "a.wav"), tmtest::U8(out / "a.mp3")}).exitCode, 0);
    TID3v2 then;  // the mark of a.mpc as it was: another size and time
    then.SetFrames({id3v2::MakeUserText(kMarkerDescription, MarkText({"a.mpc", 1, 1})), id3v2::MakeText("TIT2", "Then")});
    ASSERT_TRUE(then.WriteToFile(tmtest::U8(out / "a.mp3")));
    const QStringList both{QFile::decodeName((lib / "a.mpc").string().c_str()), names[1]};

    TJobSettings s;
    s.useOutputDir = true;
    s.outputDir = tmtest::U8(out) + "/";
    s.libraryDir = tmtest::U8(lib) + "/";
    for (const TExistingPolicy policy : {TExistingPolicy::Skip, TExistingPolicy::UpdateTags}) {
        s.existing = policy;
        presenter->SettingsChanged(s);
        presenter->Collect(both);
        presenter->Transcode();
        runner.EndFirst(255);  // b.mpc fails
        ASSERT_FALSE(job->Running());
        ASSERT_EQ(view.rows.size(), 1u);  // a.mpc left the list either way
        TID3v2 now;
        ASSERT_TRUE(now.LoadFromFile(tmtest::U8(out / "a.mp3")));
        if (policy == TExistingPolicy::Skip) {
            EXPECT_EQ(view.status, "0 converted, 0 skipped, 1 failed, 1 out of date");
            EXPECT_EQ(now.Title(), "Then");
        } else {
            EXPECT_EQ(view.status, "0 converted, 0 skipped, 1 failed, 1 with tags updated");
            EXPECT_EQ(now.Title(), "Now");
        }
        presenter->ClearAll();
    }
}

}  // namespace
}  // namespace trackmill::test

namespace trackmill {
namespace {

// Where the console goes: beside the window when a side has room, else over its upper half,
// never over the job's buttons and status at its bottom (a maximised window, a small screen).
TEST(PlaceBeside, NeverOverTheWindowsBottomRows)
{
    const QRect area(0, 0, 1280, 776);
    EXPECT_EQ(PlaceBeside(QRect(100, 100, 640, 430), {640, 320}, area, {240, 100}, 4), QRect(744, 100, 536, 320));
    for (const QRect &main : {area, QRect(165, 68, 949, 663), QRect(0, 0, 1024, 768)}) {
        const QRect console = PlaceBeside(main, {650, 350}, area, {240, 100}, 4);
        EXPECT_TRUE(area.contains(console));
        EXPECT_LE(console.bottom(), main.top() + main.height() / 2) << console.y() << " " << console.height();
    }
}

}  // namespace
}  // namespace trackmill
