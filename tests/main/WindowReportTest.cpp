// What the window tells a person about a job: the entries' states, the status line, the
// message that names the failed files, the log, and the notice before a shutdown. Real
// mpcdec and lame; a slowed stand-in encoder where a file must take a while.
#include "WindowFixture.h"

#include "e2e/ConvertSupport.h"
#include "engine/TranscodeJob.h"
#include "shutdown/Login1StandIn.h"
#include "shutdown/XReboot.h"
#include "support/RunnerTestSupport.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/LogWindow.h"
#include "widgets/ShutdownNotice.h"
#include "widgets/StateItemDelegate.h"
#include "widgets/StatusArea.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include <set>

using namespace trackmill;
namespace fs = std::filesystem;

class WindowReport : public tmtest::ConvertingWindowTest {
protected:
    fs::path Source(const std::string &name, double seconds = 0.5)
    {
        const fs::path p = work / name;
        EXPECT_TRUE(tmtest::MakeMpc(p, seconds, {"--title", name}));
        return p;
    }
    QString StateOf(int row) const { return Entry(row).data(kStateTextRole).toString(); }
    QString TipOf(int row) const { return Entry(row).data(Qt::ToolTipRole).toString(); }
    std::vector<tmtest::Message> Reports() const
    {
        std::vector<tmtest::Message> out;
        for (const auto &m : messages)
            if (m.kind == TMessageKind::JobReport) out.push_back(m);
        return out;
    }
};

TEST_F(WindowReport, AJobWithADamagedSourceAndAnExistingOutputEndsWithTheDamagedFileMarked)
{
    std::vector<fs::path> sources;
    for (int i = 0; i < 5; ++i) sources.push_back(Source("src" + std::to_string(i) + ".mpc"));
    // Cut to 60 %: the header still reads, mpcdec gives up part of the way.
    const tmtest::Bytes whole = tmtest::ReadBytes(sources[2]);
    tmtest::WriteBytes(sources[2], tmtest::Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
    tmtest::WriteText(work / "src3.mp3", "the user's own");

    Open();
    form->SetJobs(2);
    ASSERT_EQ(form->ExistingFiles(), TExistingPolicy::Skip);
    DropFiles(sources);
    form->TranscodeButton->click();
    TM_TRY_VERIFY(!form->Job().Running(), 120000);

    ASSERT_EQ(ListEntries(), QStringList({Q(sources[2])}));
    EXPECT_EQ(StateOf(0), "failed");
    EXPECT_TRUE(TipOf(0).contains("the source is damaged: decoding stopped after ")) << TipOf(0).toStdString();
    EXPECT_EQ(form->StatusArea1->Text(), "3 converted, 1 skipped, 1 failed");
    EXPECT_EQ(form->StatusArea1->Progress(), 100);
    EXPECT_EQ(tmtest::ReadText(work / "src3.mp3"), "the user's own");

    TM_TRY_COMPARE(int(Reports().size()), 1, 5000);
    EXPECT_TRUE(Reports()[0].text.contains(Q(sources[2]))) << Reports()[0].text.toStdString();
    EXPECT_FALSE(Reports()[0].text.contains(Q(sources[0])));

    // The console is gone; the log keeps every file, the failed one shown first.
    EXPECT_FALSE(form->Console->isVisible());
    QPushButton *showLog = form->StatusArea1->ShowLogButton();
    ASSERT_TRUE(showLog->isEnabled());
    showLog->click();
    EXPECT_TRUE(form->LogWindow1->isVisible());
    const QString failed = form->LogWindow1->ShownText();
    EXPECT_TRUE(failed.startsWith(Q(sources[2]))) << failed.toStdString();
    EXPECT_TRUE(failed.contains("An error occured while decoding")) << failed.toStdString();
    ASSERT_TRUE(form->LogWindow1->SelectFile(Q(sources[3])));
    EXPECT_TRUE(form->LogWindow1->ShownText().contains("skipped")) << form->LogWindow1->ShownText().toStdString();

    // Transcode tries the failed file again, and a new job starts a new log.
    form->TranscodeButton->click();
    TM_TRY_VERIFY(!form->Job().Running(), 60000);
    EXPECT_EQ(form->StatusArea1->Text(), "0 converted, 0 skipped, 1 failed");
    EXPECT_EQ(form->LogWindow1->Files()->count(), 1);
}

TEST_F(WindowReport, TheProgressBarMovesDuringAFileWhileTheListShowsItsPercentage)
{
    // About three seconds for the first file, whatever the machine's speed.
    fs::create_directories(work / "bin");
    tmtest::WriteSlowLame(work / "bin" / "lame", 176400);
    PutFirstOnPath(work / "bin");
    const fs::path slow = Source("slow.mpc", 3.0), second = Source("second.mpc", 0.3), third = Source("third.mpc", 0.3);
    const fs::path other = Source("other.mpc", 0.2);

    Open();
    form->SetJobs(1);
    DropFiles({slow, second, third});
    std::set<int> duringFirst;
    QStringList states, lines;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (EntryCount() > 0) states << StateOf(0);
        lines << form->StatusArea1->Text();
        const int p = form->StatusArea1->Progress();
        if (lines.back().startsWith("File 1 of 3,") && p > 0 && p < 100) duringFirst.insert(p);
    });
    watch.start(100);
    form->TranscodeButton->click();
    TM_TRY_VERIFY(form->Job().RunningCount() > 0, 30000);  // past the options check
    EXPECT_EQ(PanelLines().value(2), "   slow.mpc");

    // Nothing is added while the job runs: not by a drop, not through the buttons.
    DropFiles({other}, form->InfoPanel->viewport());
    EXPECT_EQ(EntryCount(), 3);
    EXPECT_FALSE(form->AddFilesButton->isEnabled());
    EXPECT_FALSE(form->AddFolderButton->isEnabled());
    EXPECT_FALSE(form->JobsSpin->isEnabled());
    EXPECT_FALSE(form->OutputNamesButton->isEnabled());

    // An entry the user clicks stays shown when the next file starts.
    QTest::mouseClick(form->FileList->viewport(), Qt::LeftButton, {}, EntryCentre(2));
    EXPECT_EQ(PanelLines().value(2), "   third.mpc");
    TM_TRY_VERIFY(!lines.filter(QRegularExpression("^File 2 of 3, \\d+:\\d\\d elapsed")).isEmpty(), 30000);
    EXPECT_EQ(PanelLines().value(2), "   third.mpc");

    TM_TRY_VERIFY(!form->Job().Running(), 60000);
    watch.stop();
    EXPECT_GE(duringFirst.size(), 3u) << "values seen during the first file: " << duringFirst.size();
    // The time the job has taken and, once its pace is known, what is left.
    EXPECT_FALSE(lines.filter(QRegularExpression("^File 1 of 3, 0:0\\d elapsed, under a minute left$")).isEmpty())
        << lines.join('|').toStdString();
    EXPECT_EQ(form->StatusArea1->Progress(), 100);
    EXPECT_TRUE(states.filter(QRegularExpression("^converting [1-9][0-9]? %$")).size() > 0)
        << states.join(", ").toStdString();
    EXPECT_EQ(form->StatusArea1->Text(), "3 converted, 0 skipped, 0 failed");
    EXPECT_TRUE(Reports().empty());
}

TEST_F(WindowReport, AFileDeletedAfterItWasAddedFailsWithItsReason)
{
    const fs::path source = Source("gone.mpc", 0.2);
    Open();
    DropFiles({source});
    fs::remove(source);
    form->TranscodeButton->click();
    TM_TRY_VERIFY(!form->Job().Running(), 30000);
    ASSERT_EQ(ListEntries(), QStringList({Q(source)}));
    EXPECT_EQ(StateOf(0), "failed");
    EXPECT_FALSE(TipOf(0).isEmpty());
    EXPECT_EQ(form->StatusArea1->Text(), "0 converted, 0 skipped, 1 failed");
    TM_TRY_COMPARE(int(Reports().size()), 1, 5000);
    EXPECT_TRUE(Reports()[0].text.contains(Q(source)));
    EXPECT_FALSE(fs::exists(work / "gone.mp3"));
}

TEST_F(WindowReport, WhatTheTagsCouldNotCarryIsNamedInTheLogAndAtTheEnd)
{
    const fs::path big = Source("big.mpc", 0.3), plain = Source("plain.mpc", 0.3);
    ASSERT_TRUE(tmtest::AddApeTitleAndCover(big, "Big", 16 * 1024 * 1024 + 2));
    const QString note = "the cover picture of 16.0 MiB exceeds the 16 MiB limit and was not carried";
    Open();
    DropFiles({big, plain});
    form->TranscodeButton->click();
    // QTRY_* only log outside a Qt Test run; these waits fail the test when they run out.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Job().Running(); }, 60000));
    EXPECT_EQ(form->StatusArea1->Text(), "2 converted, 0 skipped, 0 failed");
    EXPECT_TRUE(ListEntries().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Reports().empty(); }, 5000));
    EXPECT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(Reports()[0].text.contains(Q(big) + ": " + note)) << Reports()[0].text.toStdString();
    EXPECT_FALSE(Reports()[0].text.contains(Q(plain)));
    ASSERT_TRUE(form->LogWindow1->SelectFile(Q(big)));
    EXPECT_TRUE(form->LogWindow1->ShownText().contains("[converted: " + note + "]"))
        << form->LogWindow1->ShownText().toStdString();
}

TEST_F(WindowReport, TheShutdownFollowsANoticeThatCanBeCancelled)
{
    TM_REQUIRE_TOOL("dbus-daemon");
    tmtest::PrivateLogin1Bus bus;
    ASSERT_TRUE(bus.Start());
    const fs::path source = Source("last.mpc", 0.2);
    Open();
    delete form->XWinReboot1;
    form->XWinReboot1 = new TXWinReboot(bus.Client(), QStringLiteral("org.freedesktop.login1"), form.get());
    form->XWinReboot1->SetOperation(roShutDown);
    form->XWinReboot1->SetPowerOff(true);
    form->XWinReboot1->SetForceTerminateProcesses(true);
    form->cbShutdown->setChecked(true);

    // Cancelled: nothing reaches logind, and the window is ready for the next job.
    form->SetShutdownDelay(60000);
    DropFiles({source});
    form->TranscodeButton->click();
    TM_TRY_VERIFY(form->ShutdownNotice1->Running(), 30000);
    EXPECT_TRUE(form->ShutdownNotice1->isVisible());
    EXPECT_TRUE(form->ShutdownNotice1->Text().contains("60 s")) << form->ShutdownNotice1->Text().toStdString();
    EXPECT_FALSE(form->TranscodeButton->isEnabled());
    form->ShutdownNotice1->CancelButton()->click();
    EXPECT_EQ(form->Job().CurrentState(), TranscodeJob::State::Idle);
    EXPECT_TRUE(form->TranscodeButton->isEnabled());
    tmtest::KeepEventLoopRunning(300);
    EXPECT_TRUE(bus.Record().Calls().isEmpty());

    // Left to run out: the request is made, once.
    form->SetShutdownDelay(200);
    DropFiles({source});  // its MP3 is there: skipped, still a job that ends
    form->TranscodeButton->click();
    ASSERT_TRUE(tmtest::WaitUntil([&] { return !bus.Record().Calls().isEmpty(); }, 30000));
    tmtest::KeepEventLoopRunning(500);
    EXPECT_EQ(bus.Record().Calls(), QStringList({"PowerOff(false)"}));
    EXPECT_EQ(form->Job().CurrentState(), TranscodeJob::State::ShutdownRequested);
}
