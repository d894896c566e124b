// trackmill-cli convert with the real decoder and encoder: short files made by mpcenc,
// tags added by mutagen, the corpus click, every MP3 decoded by lame and its tags read
// back by independent readers.
#include "e2e/ConvertSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <tuple>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using tmtest::ReadTags;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

class ConvertTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(src / "sub");
        fs::create_directories(work);
    }
    // An SV8 file with APE tags from mpcenc.
    void MakeApeFile(const fs::path &file, const std::string &title, const std::string &genre = "Rock")
    {
        ASSERT_TRUE(tmtest::MakeMpc(file, 1.0,
                                    {"--tag", "Title=" + title, "--tag", "Artist=Ape Ärtist", "--tag",
                                     "Album=Ape Album", "--tag", "Year=2004", "--tag", "Track=9/10", "--tag",
                                     "Genre=" + genre, "--tag", "Comment=ape comment"}));
    }

    tmtest::IsolatedCli cli;
    tmtest::TempDir dir;
    fs::path src = dir / "src";
    fs::path work = dir / "work";
};

// The version 7 files people own, as the old encoder wrote them: every one converts and is
// verified to the sample; one that lost its last byte decodes short without a complaint
// from the decoder, and fails.
TEST_F(ConvertTest, Sv7CorpusConvertsAndAStreamMissingItsLastByteFails)
{
    const fs::path corpus = tmtest::CorpusDir() / "sv7";
    ASSERT_TRUE(fs::is_directory(corpus));
    int count = 0;
    for (const auto &e : fs::directory_iterator(corpus))
        if (e.path().extension() == ".mpc") count += fs::copy_file(e.path(), src / e.path().filename());
    tmtest::Bytes cut = tmtest::ReadBytes(corpus / "tone440_44k_st16_std.mpc");
    cut.pop_back();
    tmtest::WriteBytes(src / "sub" / "cut.mpc", cut);

    const auto r = cli.Run({"--encoder-options", "--quiet", src.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Converted " + std::to_string(count) + " of " + std::to_string(count + 1) +
                                    " files, 1 failed."))
        << r.out;
    EXPECT_TRUE(Contains(r.out, (src / "sub" / "cut.mpc").string() +
                                    ": the source is damaged: the MP3 holds 88,064 of the source's 88,200 samples"))
        << r.out;
    for (const auto &e : fs::directory_iterator(corpus)) {
        if (e.path().extension() != ".mpc") continue;
        const fs::path mp3 = fs::path(src / e.path().filename()).replace_extension(".mp3");
        EXPECT_TRUE(tmtest::DecodesWithLame(mp3, dir.path())) << mp3;
    }

    // To Opus, every file holds its source's samples at 48 kHz, whatever its rate.
    const auto opus = cli.Run({"--format", "opus", src.string()}, work);
    EXPECT_EQ(opus.exitCode, 1) << opus.out << opus.err;
    EXPECT_TRUE(Contains(opus.out, "Converted " + std::to_string(count) + " of " + std::to_string(count + 1) +
                                       " files, 1 failed."))
        << opus.out;
    EXPECT_TRUE(Contains(opus.out, (src / "sub" / "cut.mpc").string() +
                                       ": the source is damaged: the Opus file holds 95,852 samples; the source's "
                                       "88,200 at 44100 Hz make 96,000 at 48000 Hz"))
        << opus.out;
}

TEST_F(ConvertTest, FolderWithAllTagKindsBothApeTargets)
{
    TM_REQUIRE_CONVERT_TOOLS();
    MakeApeFile(src / "ape.mpc", "Ape only");
    MakeApeFile(src / "sub" / "all.MPC", "Ape of all", "jazz");
    ASSERT_TRUE(tmtest::AddId3v2(src / "sub" / "all.MPC", "Id3 title", "Id3 artist", "Id3 album", "Blues", "4"));
    tmtest::AppendId3v1(src / "sub" / "all.MPC", "V1 title", "V1 artist", 2, 0);
    if (const fs::path corpus = tmtest::CorpusDir(); !corpus.empty())
        fs::copy_file(corpus / "click.mpc", src / "click.mpc");
    tmtest::WriteText(src / "notmusepack.mpc", std::string(2000, 'z'));  // named, and left out

    // APE to ID3v1.1, output beside the sources.
    auto r = cli.Run({"--encoder-options", "--preset cbr 96", "--ape-to", "id3v1", src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Converted"));
    EXPECT_FALSE(fs::exists(work / "go.sh"));
    for (const fs::path &mp3 : {src / "ape.mp3", src / "sub" / "all.mp3"})
        EXPECT_TRUE(tmtest::DecodesWithLame(mp3, dir.path())) << mp3;
    if (fs::exists(src / "click.mpc")) {
        EXPECT_TRUE(tmtest::DecodesWithLame(src / "click.mp3", dir.path()));
    }
    EXPECT_FALSE(fs::exists(src / "notmusepack.mp3"));
    EXPECT_TRUE(Contains(r.err, "ignored " + (src / "notmusepack.mpc").string() + ": not a Musepack file")) << r.err;

    QJsonObject t = ReadTags(src / "ape.mp3");
    // The ID3v2 tag that carries the mark carries the ID3v1 tag's fields too.
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), "Ape only");
    QJsonObject v1 = t["v1"].toObject();
    EXPECT_EQ(v1["title"].toString(), "Ape only");
    EXPECT_EQ(v1["artist"].toString(), "Ape Ärtist");
    EXPECT_EQ(v1["track"].toInt(), 9);
    EXPECT_EQ(v1["genre"].toInt(), 17);

    t = ReadTags(src / "sub" / "all.mp3");
    EXPECT_EQ(t["v1"].toObject()["title"].toString(), "Ape of all");  // converted replaces copied
    EXPECT_EQ(t["v1"].toObject()["genre"].toInt(), 8);                // "Jazz"
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), "Id3 title");   // copied, as 2.3
    EXPECT_EQ(t["v2"].toObject()["version"].toInt(), 3);

    // APE to ID3v2.3 into an output folder, below it the named folder's structure; the
    // ID3v1 copy stays.
    r = cli.Run({"--ape-to", "id3v2", "--output-dir", (dir / "out").string(), src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    t = ReadTags(dir / "out" / "src" / "sub" / "all.mp3");
    EXPECT_EQ(t["v1"].toObject()["title"].toString(), "V1 title");
    EXPECT_EQ(t["v1"].toObject()["track"].toInt(), 2);
    QJsonObject v2 = t["v2"].toObject();
    EXPECT_EQ(v2["version"].toInt(), 3);
    EXPECT_EQ(v2["title"].toString(), "Ape of all");
    EXPECT_EQ(v2["genre"].toString(), "jazz");
    EXPECT_EQ(v2["track"].toString(), "9/10");  // with its total
    EXPECT_EQ(v2["year"].toString(), "2004");
    EXPECT_TRUE(ReadTags(dir / "out" / "src" / "ape.mp3")["v1"].isNull());
    EXPECT_TRUE(tmtest::DecodesWithLame(dir / "out" / "src" / "ape.mp3", dir.path()));

    // Only the ID3v1 copy: no ID3v2 tag, the source's own ID3v1 fields.
    fs::create_directory(dir / "out2");
    r = cli.Run({"--no-id3v2", "--no-ape", "--output-dir", (dir / "out2").string(), (src / "sub" / "all.MPC").string()},
                work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    t = ReadTags(dir / "out2" / "all.mp3");
    EXPECT_TRUE(t["v2"].isNull());
    EXPECT_EQ(t["v1"].toObject()["artist"].toString(), "V1 artist");
}

TEST_F(ConvertTest, NastyFileNameConvertsAndRunsNothingElse)
{
    TM_REQUIRE_CONVERT_TOOLS();
    const std::string name = "a  $HOME `touch pwned1` $(touch pwned2); 'q' \"d\" Ünïcødé.mpc";
    const fs::path out = dir / "out $USER `touch pwned3`";
    fs::create_directory(out);
    MakeApeFile(src / name, "Nasty");
    // No --ape-to and no settings file: the designed target is ID3V2.3.
    auto r = cli.Run({"--output-dir", out.string(), (src / name).string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const fs::path mp3 = out / "a  $HOME `touch pwned1` $(touch pwned2); 'q' \"d\" Ünïcødé.mp3";
    ASSERT_TRUE(fs::exists(mp3)) << r.out;
    EXPECT_TRUE(tmtest::DecodesWithLame(mp3, dir.path()));
    EXPECT_EQ(ReadTags(mp3)["v2"].toObject()["title"].toString(), "Nasty");
    for (const fs::path &d : {work, src, out, cli.Home()})
        for (const char *canary : {"pwned1", "pwned2", "pwned3"}) EXPECT_FALSE(fs::exists(d / canary)) << d / canary;
    // Nothing but the MP3 appeared in the output folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);

    // An output folder named in Latin-1 is that folder, byte for byte. The name is made by
    // the shell: a Qt process's arguments are UTF-8 text.
    const fs::path latin1 = dir / "out\xe9";
    fs::create_directory(latin1);
    r = tmtest::Run({"/bin/sh", "-c", "exec \"$0\" convert --output-dir \"$1$(printf 'out\\351')\" \"$2\"",
                     cli.Program().string(), (dir.path() / "").string(), (src / name).string()},
                    work.string(), 120000, cli.Environment());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(fs::exists(latin1 / mp3.filename())) << r.out;
    EXPECT_FALSE(fs::exists(dir / "out\xef\xbf\xbd"));
}

// Stand-ins beside the program are taken before the installed ones, as the window's
// own folder is.
TEST_F(ConvertTest, FailingDecoderOrEncoderIsReportedAndTheJobGoesOn)
{
    TM_REQUIRE_CONVERT_TOOLS();
    MakeApeFile(src / "1-good.mpc", "Good");
    MakeApeFile(src / "2-baddec.mpc", "Bad decoder");
    MakeApeFile(src / "3-nooutput.mpc", "Encoder writes nothing");
    MakeApeFile(src / "4-good.mpc", "Good too");
    tmtest::WriteExecutable(cli.Bin() / "mpcdec",
                            "#!/bin/sh\ncase \"$1\" in *baddec*) echo 'cannot decode' >&2; exit 1;;\n"
                            "*nooutput*) echo NOOUT; exit 0;; esac\nexec " + tmtest::Installed("mpcdec") + " \"$@\"\n");
    // An encoder that says it succeeded but writes nothing, when the decoder sent its marker.
    tmtest::WriteExecutable(cli.Bin() / "lame", "#!/bin/sh\ntmp=$(mktemp)\ncat >\"$tmp\"\n"
                                                "if grep -q NOOUT \"$tmp\"; then rm \"$tmp\"; exit 0; fi\n" +
                                                tmtest::Installed("lame") + " \"$@\" <\"$tmp\"\nstatus=$?\nrm \"$tmp\"\nexit $status\n");

    auto r = cli.Run({"--encoder-options", "--quiet", src.string()}, work);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(tmtest::DecodesWithLame(src / "1-good.mp3", dir.path()));
    EXPECT_TRUE(tmtest::DecodesWithLame(src / "4-good.mp3", dir.path()));
    const std::size_t at = r.out.find("Converted 2 of 4 files, 2 failed.");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string summary = r.out.substr(at);
    // The decoder's own words, not the encoder's that followed them.
    EXPECT_TRUE(Contains(summary, (src / "2-baddec.mpc").string() +
                                      ": the decoder stopped with exit status 1; mpcdec: cannot decode\n"))
        << summary;
    EXPECT_TRUE(Contains(summary, (src / "3-nooutput.mpc").string() + ": the MP3 is empty")) << summary;
    EXPECT_FALSE(Contains(summary.substr(summary.find("Failed:")), "1-good"));
    EXPECT_FALSE(fs::exists(src / "3-nooutput.mp3"));  // the tag writers made nothing up
    EXPECT_FALSE(fs::exists(src / "2-baddec.mp3"));
    EXPECT_TRUE(tmtest::Leftovers(src).empty());
}

// Options a program refuses are found on a short silence before any file starts: the run
// ends as a usage error with that program's complaint, once, and leaves nothing behind.
TEST_F(ConvertTest, OptionsAProgramRefusesStopTheRunBeforeAnyFile)
{
    TM_REQUIRE_CONVERT_TOOLS();
    for (const char *name : {"a.mpc", "b.mpc", "c.mpc"}) ASSERT_TRUE(tmtest::MakeMpc(src / name, 0.5));
    const fs::path runtime = dir / "runtime";  // where the private folder goes
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    std::map<std::string, std::string> env = cli.Environment();
    env["XDG_RUNTIME_DIR"] = runtime.string();
    auto run = [&](const std::vector<std::string> &options) {
        std::vector<std::string> argv{cli.Program().string(), "convert"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(src.string());
        return tmtest::Run(argv, work.string(), 120000, env);
    };
    auto mp3s = [&] {
        int n = 0;
        for (const auto &e : fs::recursive_directory_iterator(dir.path())) n += e.path().extension() == ".mp3";
        return n;
    };

    // mpcdec goes on after an option it does not know, and prints its usage for a word too many.
    for (const auto &[option, line, said] :
         {std::tuple<std::string, std::string, std::string>{
              "--encoder-options", "--bogus", "lame did not accept the encoder options: unrecognized option --bogus\n"},
          {"--decoder-options", "--bogus", "mpcdec did not accept the decoder options: invalid option -- '-'\n"},
          {"--decoder-options", "bogus", "mpcdec did not accept the decoder options: Usage: "}}) {
        SCOPED_TRACE(option + " " + line);
        const auto r = run({"--json", option, line});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");  // not even planned
        EXPECT_TRUE(r.err.starts_with("trackmill-cli: the options were tried on a short silence and refused; no file "
                                      "was started: " + said)) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(mp3s(), 0);
        EXPECT_TRUE(tmtest::Leftovers(src).empty());
        EXPECT_TRUE(fs::is_empty(runtime));
    }

    const auto r = run({"--encoder-options", "--quiet -b 96"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Converted 3 of 3 files.")) << r.out;
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"}) EXPECT_TRUE(tmtest::DecodesWithLame(src / name, dir.path()));
    EXPECT_EQ(mp3s(), 3);
    EXPECT_TRUE(fs::is_empty(runtime));
}

TEST_F(ConvertTest, UsageErrorsAndBadInput)
{
    TM_REQUIRE_CONVERT_TOOLS();
    EXPECT_EQ(cli.Run({}, work).exitCode, 2);
    EXPECT_EQ(cli.Run({"--ape-to", "id3v3", src.string()}, work).exitCode, 2);
    EXPECT_EQ(cli.Run({"--frobnicate", src.string()}, work).exitCode, 2);
    EXPECT_EQ(cli.Run({"--encoder-options"}, work).exitCode, 2);
    EXPECT_EQ(cli.Run({"--existing", "sometimes", src.string()}, work).exitCode, 2);
    // An absurd number of files at once is refused, or capped with a note.
    for (const char *jobs : {"0", "-1", "two", "", "1.5"}) {
        const auto r = cli.Run({"--jobs", jobs, src.string()}, work);
        EXPECT_EQ(r.exitCode, 2) << jobs;
        EXPECT_TRUE(Contains(r.err, "--jobs takes a whole number")) << r.err;
    }
    EXPECT_EQ(cli.Run({"-j0", src.string()}, work).exitCode, 2);
    MakeApeFile(src / "x.mpc", "x");
    auto r = cli.Run({"--dry-run", "-j", "100000", src.string()}, work);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "-j 100000 is more than 64; converting 64 files at once")) << r.err;
    EXPECT_TRUE(Contains(r.out, "64 at once")) << r.out;
    EXPECT_EQ(cli.Run({"--help"}, work).exitCode, 0);

    // Nothing to convert: failure status, and the missing name is named.
    fs::create_directory(dir / "empty");
    r = cli.Run({(dir / "empty").string(), (dir / "no-such.mpc").string()}, work);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "no Musepack files to convert"));
    EXPECT_TRUE(Contains(r.err, "no-such.mpc"));

    // A missing program: the start-up messages, in order, and nothing run.
    r = cli.Run({src.string()}, work, "/nonexistent");
    EXPECT_EQ(r.exitCode, 1);
    const auto lame = r.err.find("LAME not found"), mpcdec = r.err.find("MPCDEC not found");
    EXPECT_NE(lame, std::string::npos) << r.err;
    EXPECT_LT(lame, mpcdec);
    EXPECT_FALSE(fs::exists(src / "x.mp3"));

}

TEST_F(ConvertTest, StoredWindowSettingsAreTheDefaults)
{
    TM_REQUIRE_CONVERT_TOOLS();
    MakeApeFile(src / "a.mpc", "From ini");
    fs::create_directory(dir / "stored");
    tmtest::WriteText(cli.IniBesideProgram(),
                      "[default]\nNormPos=1,2,3,4\ncbApetag_Checked=true\ncbID3v1_Checked=False\n"
                      "Edit2_Text=  \"--preset cbr 112\"  \ncbOutputdir_Checked=True\n"
                      "DirectoryEdit1_Text=" + (dir / "stored").string() + "\nComboID3_Tag=7\n");
    // With -v the run first names the file its settings came from.
    auto r = cli.Run({"-v", src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(r.out.starts_with("Settings file: " + cli.IniBesideProgram().string() + "\n")) << r.out;
    // Tag 7 fits no entry: no selection, so APE becomes ID3v2.3; the folder text got its "/".
    const QJsonObject t = ReadTags(dir / "stored" / "src" / "a.mp3");
    EXPECT_EQ(t["v2"].toObject()["title"].toString(), "From ini");
    EXPECT_TRUE(t["v1"].isNull());
    // Options still win over the stored values.
    r = cli.Run({"--ape-to", "id3v1", "--flat", "--output-dir", src.string(), src.string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(ReadTags(src / "a.mp3")["v1"].toObject()["title"].toString(), "From ini");

    // The output folder switched on with an empty folder text: the bare file name, so the
    // MP3 lands in the working folder and is tagged there (APE to ID3v2.3 by default).
    tmtest::WriteText(cli.IniBesideProgram(), "[Default]\ncbOutputdir_Checked=True\nDirectoryEdit1_Text=\n");
    r = cli.Run({(src / "a.mpc").string()}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    // No stored target: the designed ID3V2.3.
    EXPECT_EQ(ReadTags(work / "a.mp3")["v2"].toObject()["title"].toString(), "From ini");

    // No settings file: -v says so, and where it would be (on standard error with --json).
    fs::remove(cli.IniBesideProgram());
    const std::string none = "Settings file: none (" + cli.IniBesideProgram().string() +
                             " does not exist); the default settings apply\n";
    r = cli.Run({"-v", "--dry-run", src.string()}, work);
    EXPECT_TRUE(r.out.starts_with(none)) << r.out;
    r = cli.Run({"-v", "--dry-run", "--json", src.string()}, work);
    EXPECT_TRUE(r.err.starts_with(none)) << r.err;
    EXPECT_TRUE(r.out.starts_with("{\"event\":\"planned\"")) << r.out;
}

}  // namespace

namespace {

// Ctrl-C is the window's Cancel: the current file is finished, the rest stay unconverted.
TEST(ConvertCancel, InterruptStopsAfterTheCurrentFile)
{
    TM_REQUIRE_CONVERT_TOOLS();
    tmtest::IsolatedCli cli;
    tmtest::TempDir dir;
    const fs::path src = dir / "src", work = dir / "work";
    fs::create_directories(src);
    fs::create_directories(work);
    for (const char *name : {"1.mpc", "2.mpc", "3.mpc", "4.mpc"}) ASSERT_TRUE(tmtest::MakeMpc(src / name, 0.3));
    // A slow encoder, so that the interrupt surely arrives while a file is running.
    tmtest::WriteExecutable(cli.Bin() / "lame", "#!/bin/sh\nsleep 1\nexec " + tmtest::Installed("lame") + " \"$@\"\n");

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(cli.Home().string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((cli.Home() / ".config").string()));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(work.string()));
    p.start(QString::fromStdString(cli.Program().string()), {"convert", "-v", "-j", "1", "--encoder-options", "--quiet",
                                                             QString::fromStdString(src.string())});
    ASSERT_TRUE(p.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("[1/4] ") && p.waitForReadyRead(30000)) out += p.readAllStandardOutput();
    ASSERT_TRUE(out.contains("[1/4] ")) << out.toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));
    out += p.readAllStandardOutput();
    const std::string text = out.toStdString();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1) << text;
    EXPECT_TRUE(tmtest::DecodesWithLame(src / "1.mp3", dir.path()));  // the current file was finished
    EXPECT_TRUE(text.find("Not converted (cancelled):") != std::string::npos) << text;
    EXPECT_TRUE(text.find("  " + (src / "4.mpc").string()) != std::string::npos) << text;
    EXPECT_FALSE(fs::exists(src / "4.mp3"));
    EXPECT_TRUE(tmtest::Leftovers(src).empty());
}

}  // namespace
