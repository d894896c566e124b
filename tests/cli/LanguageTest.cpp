// trackmill-cli in the user's language: its messages in German under a German LANG, the
// option names as typed, and --json (the events, the engine's reasons) the same in any
// language.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using tmtest::RunResult;
using tmtest::TempDir;

namespace {

RunResult Cli(const std::vector<std::string> &args, const std::string &lang, const std::string &dir = {})
{
    std::vector<std::string> argv{TRACKMILL_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    // Whatever the machine's own settings, LANG alone decides.
    return tmtest::Run(argv, dir, 120000, {{"LANG", lang}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANGUAGE", ""}});
}

}  // namespace

TEST(CliLanguage, GermanMessagesEnglishEvents)
{
    const RunResult help = Cli({"convert", "--help"}, "en_US.UTF-8"), hilfe = Cli({"convert", "--help"}, "de_DE.UTF-8");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(hilfe.exitCode, 0);
    EXPECT_NE(hilfe.out, help.out);
    for (const char *option : {"--existing", "--ape-to", "--layout", "--library-folder", "keep-both"})
        EXPECT_NE(hilfe.out.find(option), std::string::npos) << option;

    // As for every program: LC_ALL=C means the English texts, whatever LANG or LANGUAGE say.
    EXPECT_EQ(tmtest::Run({TRACKMILL_CLI, "convert", "--help"}, {}, 120000,
                          {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C"}, {"LANGUAGE", "de"}})
                  .out,
              help.out);
    EXPECT_EQ(tmtest::Run({TRACKMILL_CLI, "convert", "--help"}, {}, 120000,
                          {{"LANG", "C.UTF-8"}, {"LC_ALL", ""}, {"LANGUAGE", "de"}})
                  .out,
              help.out);
    // English first among the languages asked for: English, though German follows.
    EXPECT_EQ(tmtest::Run({TRACKMILL_CLI, "convert", "--help"}, {}, 120000,
                          {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", ""}, {"LANGUAGE", "en_GB:de"}})
                  .out,
              help.out);

    const RunResult typo = Cli({"convert", "--exisitng", "skip", "x.mpc"}, "de_DE.UTF-8");
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_NE(typo.err, Cli({"convert", "--exisitng", "skip", "x.mpc"}, "C.UTF-8").err);
    EXPECT_NE(typo.err.find("--existing?"), std::string::npos) << typo.err;

    // A plan with a reason in it: the MP3 is already there.
    TempDir work;
    ASSERT_TRUE(tmtest::MakeMpc(work / "Lied.mpc", 1.0));
    tmtest::WriteText(work / "Lied.mp3", "already here");
    const std::vector<std::string> plan{"convert", "--dry-run", "--json", "--decoder-options", "", "Lied.mpc"};
    const RunResult english = Cli(plan, "en_US.UTF-8", work.path().string()),
                    german = Cli(plan, "de_DE.UTF-8", work.path().string());
    EXPECT_EQ(german.exitCode, 0) << german.err;
    EXPECT_NE(german.out.find("\"reason\":\"exists: "), std::string::npos) << german.out;
    EXPECT_EQ(german.out, english.out);
    EXPECT_NE(german.err, english.err);
}

// A German locale's decimal comma stays out of the MP3's tags: the ReplayGain that mpcgain
// put in the header arrives as "-1.23 dB", as every player reads it. The locale is built
// for the test, as a German system has it.
TEST(CliLanguage, GermanNumbersStayOutOfTheTags)
{
    TempDir work;
    ASSERT_EQ(tmtest::Run({"localedef", "-i", "de_DE", "-f", "UTF-8", (work / "de_DE.UTF-8").string()}).exitCode, 0);
    ASSERT_TRUE(tmtest::MakeMpc(work / "Lied.mpc", 1.0));
    ASSERT_EQ(tmtest::Run({"mpcgain", (work / "Lied.mpc").string()}).exitCode, 0);
    const RunResult run =
        tmtest::Run({TRACKMILL_CLI, "convert", "--decoder-options", "", (work / "Lied.mpc").string()}, work.path().string(),
                    120000, {{"LOCPATH", work.path().string()}, {"LANG", "de_DE.UTF-8"}, {"LC_ALL", ""}, {"LANGUAGE", ""}});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const RunResult tags = tmtest::Run({tmtest::SystemPython(), "-c", R"PY(
import sys
from mutagen import id3
for frame in id3.ID3(sys.argv[1]).getall("TXXX"):
    if frame.desc.upper().startswith("REPLAYGAIN_"):
        print(frame.desc.upper(), frame.text[0])
)PY", (work / "Lied.mp3").string()});
    EXPECT_NE(tags.out.find("REPLAYGAIN_TRACK_GAIN "), std::string::npos) << tags.out << tags.err;
    EXPECT_EQ(tags.out.find(','), std::string::npos) << tags.out;
}

// The reasons of real failures, in German on the lines a person reads: a damaged source, a
// file that is not Musepack, a path that is not there, an MP3 already there. The events
// of the same run with --json are the English ones, byte for byte (less the progress
// events, which come by the clock, and the programs' own lines, which give their speed).
TEST(CliLanguage, GermanReasonsEnglishEvents)
{
    TempDir work;
    for (const char *name : {"Gut.mpc", "Kaputt.mpc", "Schon.mpc"}) ASSERT_TRUE(tmtest::MakeMpc(work / name, 0.5));
    const tmtest::Bytes whole = tmtest::ReadBytes(work / "Kaputt.mpc");
    tmtest::WriteBytes(work / "Kaputt.mpc", tmtest::Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
    tmtest::WriteText(work / "Schon.mp3", "the user's own");
    tmtest::WriteText(work / "Falsch.mpc", "hello\n");
    const std::vector<std::string> files{"Gut.mpc", "Kaputt.mpc", "Schon.mpc", "Falsch.mpc", "Fehlt.mpc"};
    auto convert = [&](const std::string &lang, std::vector<std::string> extra) {
        std::vector<std::string> args{"convert", "-j", "1", "--decoder-options", ""};
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), files.begin(), files.end());
        for (const char *mp3 : {"Gut.mp3", "Kaputt.mp3"}) std::filesystem::remove(work / mp3);
        return Cli(args, lang, work.path().string());
    };

    const RunResult plan = convert("de_DE.UTF-8", {"--dry-run"});
    EXPECT_NE(plan.out.find("vorhandene Dateien: überspringen;"), std::string::npos) << plan.out;
    EXPECT_NE(plan.out.find("Schon.mpc: übersprungen (vorhanden: " + (work / "Schon.mp3").string() + ")"),
              std::string::npos) << plan.out;

    const RunResult german = convert("de_DE.UTF-8", {});
    EXPECT_EQ(german.exitCode, 1);
    const std::string said = german.out + german.err;
    for (const std::string &line :
         {"übersprungen: " + (work / "Schon.mpc").string() + " (vorhanden: " + (work / "Schon.mp3").string() + ")",
          "FEHLGESCHLAGEN: " + (work / "Kaputt.mpc").string() + " (die Quelle ist beschädigt: das Dekodieren brach nach ",
          (work / "Kaputt.mpc").string() + ": die Quelle ist beschädigt: das Dekodieren brach nach ",
          (work / "Falsch.mpc").string() + " ignoriert: keine Musepack-Datei (kein gültiger Stream-Header)",
          (work / "Fehlt.mpc").string() + " abgelehnt: Datei oder Ordner nicht vorhanden"})
        EXPECT_NE(said.find(line), std::string::npos) << line << "\n" << said;
    for (const char *english : {"exists: ", "the source is damaged", "not a Musepack file", "no such file"})
        EXPECT_EQ(said.find(english), std::string::npos) << english << "\n" << said;

    auto events = [](const std::string &out) {
        std::string kept;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            if (line.find("\"event\":\"progress\"") == std::string::npos &&
                line.find("\"event\":\"output\"") == std::string::npos)
                kept += line + "\n";
        return kept;
    };
    const RunResult englishJson = convert("en_US.UTF-8", {"--json"}), germanJson = convert("de_DE.UTF-8", {"--json"});
    EXPECT_NE(englishJson.out.find("\"reason\":\"the source is damaged: decoding stopped after "), std::string::npos)
        << englishJson.out;
    EXPECT_EQ(events(germanJson.out), events(englishJson.out));
    EXPECT_NE(germanJson.err.find("die Quelle ist beschädigt"), std::string::npos) << germanJson.err;
}
