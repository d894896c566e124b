// The console window: what a person reads in it while commands run and between files.
#include "widgets/ConsoleWindow.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include "support/QtWait.h"

using trackmill::TConsoleWindow;

TEST(ConsoleWindow, ShowsCommandAndOutputAndKeepsItBetweenFiles)
{
    TConsoleWindow console;
    console.BeginJob();
    EXPECT_FALSE(console.isVisible());
    console.BeginFile("mpcdec 'a.mpc' - | lame - 'a.mp3'");
    EXPECT_TRUE(console.isVisible());
    console.AppendOutput("decoding a\n");
    console.EndFile(0);
    console.BeginFile("mpcdec 'b.mpc' - | lame - 'b.mp3'");
    console.AppendOutput("decoding b");
    console.EndFile(1);

    EXPECT_EQ(console.Text(),
              "$ mpcdec 'a.mpc' - | lame - 'a.mp3'\ndecoding a\n[exit status 0]\n\n"
              "$ mpcdec 'b.mpc' - | lame - 'b.mp3'\ndecoding b\n[exit status 1]\n");
    EXPECT_TRUE(console.View()->isReadOnly());

    console.EndJob();
    EXPECT_FALSE(console.isVisible());
    // Output of the ended job is dropped when the next one begins.
    console.BeginJob();
    EXPECT_EQ(console.Text(), "");
}

TEST(ConsoleWindow, CarriageReturnRewritesTheLineAcrossChunkBoundaries)
{
    TConsoleWindow console;
    console.BeginJob();
    console.AppendOutput("  10%\r  20%\r");
    console.AppendOutput("  30%\nnext\r");
    console.AppendOutput("\nwindows line\r\n");
    // A UTF-8 character split between two reads.
    const QByteArray e = QStringLiteral("é").toUtf8();
    console.AppendOutput(QByteArray("caf") + e.left(1));
    console.AppendOutput(e.mid(1) + "\n");
    EXPECT_EQ(console.Text(), "  30%\nnext\nwindows line\ncafé\n");
}

TEST(ConsoleWindow, LiveOutputOfARealProcess)
{
    TConsoleWindow console;
    console.BeginJob();
    console.BeginFile("sh -c ...");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&process, &QProcess::readyRead, [&] { console.AppendOutput(process.readAll()); });
    process.start("/bin/sh", {"-c", "printf 'Frame 1/3\\rFrame 3/3\\n'; echo oops >&2; exit 3"});
    ASSERT_TRUE(process.waitForStarted());
    TM_TRY_COMPARE(process.state(), QProcess::NotRunning, 10000);
    console.AppendOutput(process.readAll());
    console.EndFile(process.exitCode());
    EXPECT_EQ(console.Text(), "$ sh -c ...\nFrame 3/3\noops\n[exit status 3]\n");
}
