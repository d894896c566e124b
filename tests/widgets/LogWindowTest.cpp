// The log of a job: each file's output as a terminal showed it, kept apart from the
// others' even when files ran at once, and bounded for a job of many files.
#include "widgets/LogWindow.h"

#include <QListWidget>
#include <gtest/gtest.h>

using trackmill::TerminalText;
using trackmill::TLogWindow;

TEST(LogWindow, ACarriageReturnRewritesItsLineAsOnATerminal)
{
    EXPECT_EQ(TerminalText("10%\r20%\r30%\ndone\r\nnext"), "30%\ndone\nnext");
    EXPECT_EQ(TerminalText("caf\xc3\xa9\r"), QString::fromUtf8("caf\xc3\xa9"));  // a last CR waits for more
}

TEST(LogWindow, InterleavedOutputStaysWithItsFileAndTheFailedOneKeepsMore)
{
    TLogWindow log;
    log.BeginFile(1, "/m/a.mpc", "mpcdec 'a.mpc' - | lame - 'a.mp3'");
    log.BeginFile(2, "/m/b.mpc", "mpcdec 'b.mpc' - | lame - 'b.mp3'");
    const QByteArray line(99, 'x');
    for (int i = 0; i < 200; ++i) {  // about 20 KB each, in turns
        log.AppendOutput(1, "a " + line + "\n");
        log.AppendOutput(2, "b " + line + "\n");
    }
    log.AppendOutput(2, "An error occured while decoding\n");
    log.EndFile(1, "/m/a.mpc", "converted", "", false);
    log.EndFile(2, "/m/b.mpc", "failed", "the decoder stopped with exit status 255", true);
    log.EndFile(3, "/m/c.mpc", "skipped", "an MP3 of that name is there", false);  // never started

    log.ShowLog();  // the failed file first
    const QString failed = log.ShownText();
    EXPECT_TRUE(failed.startsWith("/m/b.mpc\n$ mpcdec 'b.mpc'"));
    EXPECT_FALSE(failed.contains("a x"));
    EXPECT_EQ(failed.count("b x"), 200);
    EXPECT_TRUE(failed.endsWith("An error occured while decoding\n[failed: the decoder stopped with exit status 255]\n"));

    ASSERT_TRUE(log.SelectFile("/m/a.mpc"));
    const QString converted = log.ShownText();
    EXPECT_TRUE(converted.contains("[earlier output left out]"));
    EXPECT_LT(converted.size(), 9000);
    EXPECT_TRUE(converted.endsWith("[converted]\n"));
    ASSERT_TRUE(log.SelectFile("/m/c.mpc"));
    EXPECT_EQ(log.ShownText(), "/m/c.mpc\n[skipped: an MP3 of that name is there]\n");
    EXPECT_EQ(log.Files()->count(), 3);

    log.BeginJob();
    EXPECT_TRUE(log.IsEmpty());
}

// An album's files share their folder: the list leads with what tells them apart, and the
// whole path, markup and all, is the entry's tooltip.
TEST(LogWindow, EachFileIsListedByItsNameThenItsFolder)
{
    TLogWindow log;
    const QString album = "/music/A very long artist name/An even longer album name (Deluxe Edition)/";
    log.BeginFile(1, album + "01 <h1>Intro.mpc", "mpcdec");
    log.EndFile(1, album + "01 <h1>Intro.mpc", "converted", "", false);
    log.EndFile(2, album + "02 Song.mpc", "failed", "the source is damaged", true);
    log.EndFile(3, "/top.mpc", "skipped", "", false);
    const QListWidget &files = *log.Files();
    ASSERT_EQ(files.count(), 3);
    EXPECT_EQ(files.item(0)->text(), "01 <h1>Intro.mpc  (converted)   " + album.chopped(1));
    EXPECT_EQ(files.item(1)->text(), "02 Song.mpc  (failed)   " + album.chopped(1));
    EXPECT_EQ(files.item(2)->text(), "top.mpc  (skipped)   /");
    EXPECT_TRUE(files.item(0)->toolTip().contains("&lt;h1&gt;Intro")) << files.item(0)->toolTip().toStdString();
    EXPECT_EQ(files.item(1)->toolTip(), album + "02 Song.mpc");
}
