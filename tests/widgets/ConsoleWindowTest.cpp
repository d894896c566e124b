// The console window: what a person reads in it while commands run and between files.
#include "widgets/ConsoleWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include "support/QtWait.h"

using trackmill::TConsoleWindow;

// Two files at once: one file's output at a time, the other a choice away, never mixed.
TEST(ConsoleWindow, ShowsOneRunningFileAtATimeAndKeepsItsEnd)
{
    TConsoleWindow console;
    console.SetPlacement([] { return QRect(40, 30, 300, 200); });
    console.BeginJob();
    EXPECT_FALSE(console.isVisible());
    console.BeginFile(1, "a.mpc", "mpcdec 'a.mpc' - | lame - 'a.mp3'");
    EXPECT_TRUE(console.isVisible());
    EXPECT_EQ(console.geometry(), QRect(40, 30, 300, 200));
    console.AppendOutput(1, "decoding a\n");
    console.BeginFile(2, "b.mpc", "mpcdec 'b.mpc' - | lame - 'b.mp3'");
    console.AppendOutput(1, "more of a\n");
    console.AppendOutput(2, "decoding b");
    // The newest is followed until the user picks one.
    EXPECT_EQ(console.Text(), "$ mpcdec 'b.mpc' - | lame - 'b.mp3'\ndecoding b");
    ASSERT_EQ(console.Files()->count(), 2);
    console.Files()->setCurrentIndex(0);
    emit console.Files()->activated(0);
    EXPECT_EQ(console.Text(), "$ mpcdec 'a.mpc' - | lame - 'a.mp3'\ndecoding a\nmore of a\n");
    console.BeginFile(3, "c.mpc", "c");
    EXPECT_TRUE(console.Text().startsWith("$ mpcdec 'a.mpc'"));  // the user's choice holds

    // The chosen file ends: its end is shown, then the newest running one.
    console.EndFile(2, "converted");
    console.EndFile(1, "failed: the source is damaged");
    EXPECT_EQ(console.Text(), "$ c\n");
    EXPECT_EQ(console.Files()->count(), 1);
    console.EndFile(3, "converted");
    EXPECT_EQ(console.Text(), "$ c\n[converted]\n");  // the last file's end stays readable
    EXPECT_TRUE(console.View()->isReadOnly());

    console.EndJob();
    EXPECT_FALSE(console.isVisible());
    console.BeginJob();
    EXPECT_EQ(console.Text(), "");
    // Switched off, it keeps the output but opens no more.
    console.SetShowDuringJobs(false);
    EXPECT_FALSE(console.ShowConsoleBox()->isChecked());
    console.BeginFile(4, "d.mpc", "d");
    EXPECT_FALSE(console.isVisible());
    EXPECT_EQ(console.Text(), "$ d\n");
}

TEST(ConsoleWindow, CarriageReturnRewritesTheLineAcrossChunkBoundaries)
{
    TConsoleWindow console;
    console.BeginJob();
    console.BeginFile(1, "a", "a");
    console.AppendOutput(1, "  10%\r  20%\r");
    console.AppendOutput(1, "  30%\nnext\r");
    console.AppendOutput(1, "\nwindows line\r\n");
    // A UTF-8 character split between two reads.
    const QByteArray e = QStringLiteral("é").toUtf8();
    console.AppendOutput(1, QByteArray("caf") + e.left(1));
    console.AppendOutput(1, e.mid(1) + "\n");
    EXPECT_EQ(console.Text(), "$ a\n  30%\nnext\nwindows line\ncafé\n");
}

TEST(ConsoleWindow, LiveOutputOfARealProcess)
{
    TConsoleWindow console;
    console.BeginJob();
    console.BeginFile(7, "x", "sh -c ...");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&process, &QProcess::readyRead, [&] { console.AppendOutput(7, process.readAll()); });
    process.start("/bin/sh", {"-c", "printf 'Frame 1/3\\rFrame 3/3\\n'; echo oops >&2; exit 3"});
    ASSERT_TRUE(process.waitForStarted());
    TM_TRY_COMPARE(process.state(), QProcess::NotRunning, 10000);
    console.AppendOutput(7, process.readAll());
    console.EndFile(7, QStringLiteral("exit status %1").arg(process.exitCode()));
    EXPECT_EQ(console.Text(), "$ sh -c ...\nFrame 3/3\noops\n[exit status 3]\n");
}
