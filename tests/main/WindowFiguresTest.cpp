// One job through the window and through trackmill-cli: both must tell the same counts,
// the same overall percent at the end, and the same paths left out with the same reasons.
#include "WindowFixture.h"

#include "e2e/ConvertSupport.h"
#include "engine/TranscodeJob.h"
#include "ui/WindowPresenter.h"
#include "widgets/StatusArea.h"

#include <QPushButton>

#include <sys/stat.h>

#include <regex>

using namespace trackmill;
namespace fs = std::filesystem;

namespace {

int Field(const std::string &line, const std::string &name)
{
    std::smatch m;
    const std::regex field("\"" + name + "\":(\\d+)");
    return std::regex_search(line, m, field) ? std::stoi(m[1]) : -1;
}

std::vector<std::string> Lines(const std::string &text, const std::string &containing)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find(containing) != std::string::npos) out.push_back(line);
    return out;
}

std::vector<std::string> Events(const char *kind, const std::vector<TLeftOutPath> &paths)
{
    std::vector<std::string> out;
    for (const TLeftOutPath &p : paths)
        out.push_back(std::string("{\"event\":\"") + kind + "\",\"source\":\"" + p.path + "\",\"reason\":\"" + p.reason + "\"}");
    return out;
}

}  // namespace

class WindowFigures : public tmtest::ConvertingWindowTest {};

TEST_F(WindowFigures, TheWindowAndTheTerminalTellTheSame)
{
    const fs::path music = work / "music";
    fs::create_directories(music / "album");
    ASSERT_TRUE(tmtest::MakeMpc(music / "album" / "one.mpc", 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(music / "album" / "two.mpc", 0.5));
    tmtest::WriteText(music / "album" / "two.mp3", "the user's own");  // skipped
    tmtest::WriteText(music / "album" / "empty.mpc", "");               // ignored
    ASSERT_EQ(::mkfifo((music / "album" / "pipe.mpc").c_str(), 0600), 0);  // refused

    const tmtest::IsolatedCli cli;
    const tmtest::RunResult r = cli.Run({"--json", "--jobs", "1", music.string()}, work.path());
    ASSERT_EQ(r.exitCode, 1) << r.err;  // a refused path fails the run
    const std::vector<std::string> ended = Lines(r.out, "\"event\":\"ended\"");
    ASSERT_EQ(ended.size(), 1u) << r.out;
    fs::remove(music / "album" / "one.mp3");

    Open();
    form->SetJobs(1);
    form->AddNamed({QString::fromStdString(music.string())});
    WaitForCollection();
    form->TranscodeButton->click();
    TM_TRY_VERIFY(!form->Job().Running(), 60000);
    ASSERT_TRUE(fs::exists(music / "album" / "one.mp3"));

    const TJobEnd &end = form->Presenter().LastEnd();
    for (const auto &[name, value] : {std::pair{"converted", end.converted}, std::pair{"skipped", end.skipped},
                                      std::pair{"failed", end.failed}, std::pair{"cancelled", end.cancelled},
                                      std::pair{"overall", end.overallPercent}})
        EXPECT_EQ(Field(ended[0], name), value) << name << "\n" << ended[0];
    EXPECT_EQ(Field(ended[0], "converted"), 1);
    EXPECT_EQ(form->StatusArea1->Progress(), Field(ended[0], "overall"));
    EXPECT_EQ(form->StatusArea1->Text(), "1 converted, 1 skipped, 0 failed");

    const TWorkQueue &queue = form->Job().Queue();
    EXPECT_EQ(Events("refused", queue.Refused()), Lines(r.out, "\"event\":\"refused\""));
    EXPECT_EQ(Events("ignored", queue.Ignored()), Lines(r.out, "\"event\":\"ignored\""));
    EXPECT_EQ(Field(ended[0], "refused"), 1) << r.out;
    EXPECT_EQ(Field(ended[0], "ignored"), 1);
}
