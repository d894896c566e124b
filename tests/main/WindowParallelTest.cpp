// Two files at once from the window: a stand-in encoder that logs when each copy starts
// and ends shows how many ran together; the MP3s are still whole and tagged.
#include "WindowFixture.h"

#include "engine/TagReadback.h"
#include "engine/TranscodeJob.h"

#include <QPushButton>

#include <fstream>
#include <sstream>

using namespace trackmill;
namespace fs = std::filesystem;

class WindowParallel : public tmtest::WindowTest {
protected:
    void SetUp() override
    {
        tmtest::WindowTest::SetUp();
        fs::create_directories(work / "bin");
        const std::string lame = tmtest::Run({"sh", "-c", "command -v lame"}).out;
        // About 1.3 s a file, logged with the time of each start and end.
        tmtest::WriteText(work / "bin" / "lame",
                          "#!/bin/sh\necho \"start $(date +%s.%N)\" >>'" + (work / "log").string() + "'\n"
                          "/usr/bin/python3 -c 'import sys,time\nwhile True:\n b=sys.stdin.buffer.read(26460)\n if not b: break\n"
                          " sys.stdout.buffer.write(b); sys.stdout.flush(); time.sleep(0.1)' | " +
                              lame.substr(0, lame.find('\n')) + " \"$@\"\nstatus=$?\n"
                          "echo \"end $(date +%s.%N)\" >>'" + (work / "log").string() + "'\nexit $status\n");
        fs::permissions(work / "bin" / "lame", fs::perms::owner_all);
        PutFirstOnPath(work / "bin");
    }
    // The most copies of the encoder that ran at one moment, and how many ran in all.
    std::pair<int, int> Overlap() const
    {
        std::vector<std::pair<double, int>> marks;
        std::istringstream in(tmtest::ReadText(work / "log"));
        for (std::string what; in >> what;) {
            double t;
            in >> t;
            marks.push_back({t, what == "start" ? 1 : -1});
        }
        std::sort(marks.begin(), marks.end());
        int now = 0, most = 0, starts = 0;
        for (const auto &[t, d] : marks) {
            now += d;
            most = std::max(most, now);
            starts += d > 0;
        }
        return {most, starts};
    }
};

TEST_F(WindowParallel, TwoAtOnceNeverMoreAndCancelLetsThemFinish)
{
    std::vector<fs::path> sources;
    for (int i = 0; i < 6; ++i) {
        sources.push_back(work / ("s" + std::to_string(i) + ".mpc"));
        ASSERT_TRUE(tmtest::MakeMpc(sources.back(), 2.0, {"--tag", "Title=T" + std::to_string(i)}));
    }
    Open();
    form->SetJobs(2);
    form->ComboID3->setCurrentIndex(1);  // APE to ID3v2.3
    DropFiles(sources);
    form->TranscodeButton->click();
    TM_TRY_VERIFY(!form->Job().Running(), 120000);
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_EQ(Overlap(), std::make_pair(2, 7));  // the options check's run first, then the six files
    for (int i = 0; i < 6; ++i) {
        const fs::path mp3 = work / ("s" + std::to_string(i) + ".mp3");
        EXPECT_EQ(tmtest::ReadTags(mp3)["v2"].toObject()["title"].toString().toStdString(), "T" + std::to_string(i));
    }

    // Cancel while the first two run: they finish, nothing else starts.
    fs::remove(work / "log");
    for (int i = 0; i < 6; ++i) fs::remove(work / ("s" + std::to_string(i) + ".mp3"));
    DropFiles(sources);
    form->TranscodeButton->click();
    TM_TRY_VERIFY(form->Job().RunningCount() == 2, 10000);
    form->CancelButton->click();
    TM_TRY_VERIFY(!form->Job().Running(), 60000);
    EXPECT_EQ(Overlap().second, 3);  // the check's run and the two files'
    EXPECT_EQ(EntryCount(), 4);
    EXPECT_TRUE(fs::exists(work / "s0.mp3") && fs::exists(work / "s1.mp3"));
    EXPECT_FALSE(fs::exists(work / "s2.mp3"));
}
