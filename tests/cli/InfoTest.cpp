// trackmill-cli info, run as a real process: standard output, standard error, exit code,
// and the JSON it prints checked by Python against mutagen's reading of the same files.
#include "support/HostileFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

using tmtest::Bytes;
using tmtest::RunResult;
using tmtest::TempDir;

namespace {

RunResult Cli(std::vector<std::string> args)
{
    args.insert(args.begin(), TRACKMILL_CLI);
    return tmtest::Run(args);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

// Runs Python over the JSON lines in `jsonFile`; the script prints "ok" or what differs.
RunResult Python(const std::string &script, const std::vector<std::string> &args)
{
    std::vector<std::string> argv{tmtest::SystemPython(), "-c", script};
    argv.insert(argv.end(), args.begin(), args.end());
    return tmtest::Run(argv);
}

bool HaveMutagen()
{
    return Python("import mutagen", {}).exitCode == 0;
}

}  // namespace

TEST(CliInfo, UsageHelpAndVersion)
{
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("info [--json] FILE..."), std::string::npos);
    EXPECT_NE(help.out.find("convert"), std::string::npos);

    const auto version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("trackmill-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;

    EXPECT_EQ(Cli({"info", "--help"}).exitCode, 0);
    // Nothing typed after the command: the help. A mistake: its line and where the help is.
    for (const auto &[args, pointer] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, "Usage"},
             {{"info"}, "Usage"},
             {{"frobnicate"}, "See trackmill-cli --help.\n"},
             {{"info", "--json"}, "See trackmill-cli info --help.\n"},
             {{"info", "--bogus", "x.mpc"}, "See trackmill-cli info --help.\n"}}) {
        const auto r = Cli(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args.back());
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(pointer), std::string::npos) << r.err;
    }
}

TEST(CliInfo, TextShowsThePanelThenTheTags)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto file = dir / "Café.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(file, 1.0,
                                {"--radio", "--title", "Über Song", "--artist", "Zoë", "--track", "4/9",
                                 "--genre", "Jazz", "--year", "1999"}));
    const auto r = Cli({"info", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_GE(lines.size(), 19u) << r.out;
    EXPECT_EQ(lines[0], "File: " + file.string());
    EXPECT_EQ(lines[1], "Streaminfo");
    EXPECT_EQ(lines[3], "   Café.mpc");
    EXPECT_EQ(lines[4], "   Streamversion: 8");
    EXPECT_EQ(lines[5], "   Profile: Radio");
    EXPECT_EQ(lines[6], "   Channelmode: Joint Stereo");
    EXPECT_EQ(lines[9], "   Duration: 1 secs");
    EXPECT_EQ(lines[17], "   APE 1/2 tag: Yes");
    EXPECT_NE(r.out.find("\nAPE 2.0 tag, "), std::string::npos);
    EXPECT_NE(r.out.find("\n   Title: Über Song\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n   Artist: Zoë\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n   Track: 4/9\n"), std::string::npos);  // the whole text
    EXPECT_EQ(r.out.find("ID3v1"), std::string::npos);
}

TEST(CliInfo, AStreamCutShortIsSaidBelowItsDuration)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto whole = dir / "whole.mpc", cut = dir / "cut.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(whole, 6.0, {"--title", "Cut"}));
    Bytes bytes = tmtest::ReadBytes(whole);
    bytes.resize(bytes.size() / 2);
    tmtest::WriteBytes(cut, bytes);
    const auto r = Cli({"info", whole.string(), cut.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("Truncated"), r.out.find("Truncated: ", r.out.find("File: " + cut.string()))) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\n   Duration: 6 secs\n   Truncated: the stream ends after about "
                                                    "[1-4]\\.[0-9] of 6\\.0 secs\n   Filesize: ")))
        << r.out;
}

TEST(CliInfo, TextPrintsWholeValuesAndEscapesControls)
{
    TM_REQUIRE_TOOL("mpcenc");
    if (!HaveMutagen()) GTEST_SKIP() << "mutagen unavailable";
    TempDir dir;
    const auto first = dir / "one\x1b]0;owned\x07.mpc";
    const auto second = dir / "two.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(first, 0.3));
    ASSERT_TRUE(tmtest::MakeMpc(second, 0.3, {"--title", "Second"}));
    const std::string comment(700, 'c');
    const auto tagged = Python("import sys\nfrom mutagen.apev2 import APEv2\nt = APEv2()\n"
                               "t['Artist'] = ['One', 'Two']\nt['Title'] = 'Clear\\x1b[2Jscreen'\n"
                               "t['Comment'] = sys.argv[2]\nt['MOOD'] = 'calm'\nt.save(sys.argv[1])\n",
                               {first.string(), comment});
    ASSERT_EQ(tagged.exitCode, 0) << tagged.err;

    const auto r = Cli({"info", first.string(), second.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.out.find('\x07'), std::string::npos);
    EXPECT_NE(r.out.find("File: " + (dir / "one\\x1B]0;owned\\x07.mpc").string() + "\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n   Artist: One/Two\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n   Title: Clear\\x1B[2Jscreen\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n   Comment: " + comment + "\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n   MOOD: calm\n"), std::string::npos);
    // The second file's block starts on its own, after an empty line.
    EXPECT_NE(r.out.find("\n\nFile: " + second.string() + "\nStreaminfo\n"), std::string::npos) << r.out;
}

TEST(CliInfo, JsonAgreesWithMutagen)
{
    TM_REQUIRE_TOOL("mpcenc");
    TM_REQUIRE_TOOL("lame");
    if (!HaveMutagen()) GTEST_SKIP() << "mutagen unavailable";
    TempDir dir;
    const auto mpc = dir / "a.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(mpc, 1.5,
                                {"--extreme", "--title", "Ни ASCII ✓", "--artist", "東京", "--album", "Alb",
                                 "--track", "7", "--genre", "Ambient", "--comment", "c \"quoted\" \\"},
                                48000, 2));
    // An MP3 from lame, tagged by mutagen with ID3v2.3 (UTF-16 texts) and ID3v1.1.
    const auto wav = dir / "s.wav";
    const auto mp3 = dir / "b.mp3";
    tmtest::MakeSineWav(wav, 0.5);
    ASSERT_EQ(tmtest::Run({"lame", "--quiet", wav.string(), mp3.string()}).exitCode, 0);
    const auto tag = Python("import sys\n"
                            "from mutagen.id3 import ID3, TIT2, TPE1, TALB, TRCK, TCON\n"
                            "t = ID3()\n"
                            "t.add(TIT2(encoding=1, text='Grüße'))\n"
                            "t.add(TPE1(encoding=0, text='Artist One'))\n"
                            "t.add(TALB(encoding=1, text='Album'))\n"
                            "t.add(TRCK(encoding=0, text='3/10'))\n"
                            "t.add(TCON(encoding=0, text='Rock'))\n"
                            "t.save(sys.argv[1], v1=2, v2_version=3)\n",
                            {mp3.string()});
    ASSERT_EQ(tag.exitCode, 0) << tag.err;

    const auto r = Cli({"info", "--json", mpc.string(), mp3.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto json = dir / "out.json";
    tmtest::WriteText(json, r.out);

    const char *check = R"PY(
import json, sys
from mutagen.apev2 import APEv2
from mutagen.musepack import Musepack
from mutagen.id3 import ID3
lines = open(sys.argv[1], encoding='utf-8').read().splitlines()
assert len(lines) == 2, lines
a, b = (json.loads(l) for l in lines)
errors = []
def eq(what, got, want):
    if got != want: errors.append(f"{what}: {got!r} != {want!r}")
mpc, mp3 = sys.argv[2], sys.argv[3]
info = Musepack(mpc).info
ape = APEv2(mpc)
eq('path', a['path'], mpc)
eq('readable', a['readable'], True)
eq('valid', a['valid'], True)
eq('version', a['streamVersion'], info.version)
eq('profile', a['profile'], 'Xtreme')
eq('channelMode', a['channelMode'], 'Joint Stereo')
if abs(a['duration'] - info.length) > 1e-9: errors.append(f"duration {a['duration']} {info.length}")
eq('duration type', type(a['duration']), float)
eq('sampleRate', a['sampleRate'], info.sample_rate)
eq('mp3 sampleRate', b['sampleRate'], 0)
eq('mpc mpeg', a['mpeg']['present'], False)
import os
eq('fileSize', a['fileSize'], os.path.getsize(mpc))
eq('frameCount', a['frameCount'], -(-72000 // 1152))
for key, field in (('Title', 'title'), ('Artist', 'artist'), ('Album', 'album'), ('Genre', 'genre'),
                   ('Comment', 'comment')):
    eq('ape ' + field, a['ape'][field], str(ape[key]))
eq('ape track', a['ape']['track'], int(str(ape['Track']).split('/')[0]))
eq('ape present', a['ape']['present'], True)
eq('mpc id3v1', a['id3v1']['present'], False)
eq('mpc id3v2', a['id3v2']['present'], False)

id3 = ID3(mp3)
eq('mp3 valid', b['valid'], False)
eq('mp3 readable', b['readable'], True)
v2 = b['id3v2']
eq('v2 present', v2['present'], True)
eq('v2 version', v2['version'], 3)
eq('v2 size', v2['size'], id3.size)
eq('v2 title', v2['title'], str(id3['TIT2']))
eq('v2 artist', v2['artist'], str(id3['TPE1']))
eq('v2 album', v2['album'], str(id3['TALB']))
eq('v2 track', v2['track'], 3)
eq('v2 genre', v2['genre'], 'Rock')
with open(mp3, 'rb') as f:
    f.seek(-128, 2); raw = f.read(128)
v1 = b['id3v1']
eq('v1 present', v1['present'], raw[:3] == b'TAG')
eq('v1 version', v1['version'], 2)
eq('v1 title', v1['title'], raw[3:33].rstrip(b'\0 ').decode('latin-1'))
eq('v1 artist', v1['artist'], 'Artist One')
eq('v1 track', v1['track'], raw[126])
eq('v1 genreIndex', v1['genreIndex'], raw[127])
eq('v1 genre', v1['genre'], 'Rock')
eq('mp3 ape', b['ape']['present'], False)
print('ok' if not errors else '\n'.join(errors))
)PY";
    const auto verdict = Python(check, {json.string(), mpc.string(), mp3.string()});
    EXPECT_EQ(verdict.exitCode, 0) << verdict.err << r.out;
    EXPECT_EQ(verdict.out, "ok\n") << r.out;
}

TEST(CliInfo, UnreadableFilesExitOneAndTheRestIsStillShown)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto good = dir / "good.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(good, 0.3));
    tmtest::WriteBytes(dir / "empty.mpc", {});
    Bytes noise(5000);
    std::uint32_t x = 12345;
    for (auto &byte : noise) {
        x = x * 1103515245u + 12345u;
        byte = std::uint8_t(x >> 24 | 0x80);  // never "TAG", "ID3", "MP+" or "APETAGEX"
    }
    noise[1] = 0x80;  // nor an old stream version
    tmtest::WriteBytes(dir / "noise.mpc", noise);
    std::filesystem::create_directory(dir / "folder.mpc");

    for (const char *bad : {"missing.mpc", "folder.mpc", "empty.mpc"}) {
        SCOPED_TRACE(bad);
        const auto path = (dir / bad).string();
        const auto text = Cli({"info", path});
        EXPECT_EQ(text.exitCode, 1);
        EXPECT_NE(text.err.find(path), std::string::npos) << text.err;
        const auto json = Cli({"info", "--json", good.string(), path});
        EXPECT_EQ(json.exitCode, 1);
        const auto lines = Lines(json.out);
        ASSERT_EQ(lines.size(), 2u) << json.out;
        EXPECT_NE(lines[0].find("\"valid\":true"), std::string::npos);
        EXPECT_NE(lines[1].find("\"valid\":false"), std::string::npos);
    }
    const auto both = Cli({"info", (dir / "missing.mpc").string(), good.string()});
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_NE(both.out.find("File: " + good.string()), std::string::npos);
    EXPECT_EQ(both.out.find("missing.mpc"), std::string::npos);

    // A file that could be read is no failure, even with no stream header and no tag in it:
    // it is named on standard error, shown, and the exit status stays 0.
    const auto noisePath = (dir / "noise.mpc").string();
    const auto text = Cli({"info", good.string(), noisePath});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.err.find(noisePath), std::string::npos) << text.err;
    EXPECT_NE(text.out.find("File: " + noisePath + "\n   No valid Musepack stream header\n"), std::string::npos)
        << text.out;
    const auto json = Cli({"info", "--json", noisePath});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find("\"readable\":true,\"valid\":false"), std::string::npos) << json.out;
}

TEST(CliInfo, AnUntaggedMp3IsReadNotFailed)
{
    TM_REQUIRE_TOOL("lame");
    TempDir dir;
    const auto wav = dir / "s.wav";
    const auto mp3 = dir / "plain.mp3";
    tmtest::MakeSineWav(wav, 0.3);
    ASSERT_EQ(tmtest::Run({"lame", "--quiet", wav.string(), mp3.string()}).exitCode, 0);
    const auto r = Cli({"info", "--json", mp3.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"readable\":true,\"valid\":false"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"id3v2\":{\"present\":false"), std::string::npos) << r.out;
}

// What the frames of MP3s from lame hold, against mutagen's reading of the same files.
TEST(CliInfo, AnMp3ShowsItsPlayingTimeBitRateSampleRateAndChannelMode)
{
    TM_REQUIRE_TOOL("lame");
    if (!HaveMutagen()) GTEST_SKIP() << "mutagen unavailable";
    TempDir dir;
    struct Case {
        const char *name;
        double seconds;
        int rate, channels;
        std::vector<std::string> options;
    };
    const std::vector<Case> cases = {{"joint", 2.5, 44100, 2, {"-b", "128", "--tt", "Joint title"}},
                                     {"stereo", 1.0, 48000, 2, {"-m", "s", "-b", "192"}},
                                     {"vbr-mono", 3.0, 22050, 1, {"-V", "5", "-m", "m"}}};
    std::vector<std::string> files;
    for (const Case &c : cases) {
        const auto wav = dir / (std::string(c.name) + ".wav"), mp3 = dir / (std::string(c.name) + ".mp3");
        tmtest::MakeSineWav(wav, c.seconds, c.rate, c.channels);
        std::vector<std::string> argv{"lame", "--quiet"};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        argv.insert(argv.end(), {wav.string(), mp3.string()});
        ASSERT_EQ(tmtest::Run(argv).exitCode, 0);
        files.push_back(mp3.string());
    }

    const auto text = Cli({"info", files[0]});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_TRUE(text.err.empty()) << text.err;
    EXPECT_EQ(text.out.find("No valid Musepack"), std::string::npos) << text.out;
    EXPECT_TRUE(std::regex_search(text.out, std::regex("\n   Version: MPEG-1 Layer III\n   Channelmode: Joint Stereo\n"
                                                       "   Bitrate: 128 Kb/s\n   Samplerate: 44100 Hz\n"
                                                       "   Framecount: [0-9]+\n   Duration: 2\\.5 secs\n")))
        << text.out;
    EXPECT_NE(text.out.find("\n   Title: Joint title\n"), std::string::npos) << text.out;  // the tags as before

    std::vector<std::string> args{"info", "--json"};
    args.insert(args.end(), files.begin(), files.end());
    const auto r = Cli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto verdict = Python(R"PY(
import json, sys
from mutagen.mp3 import MP3
modes = {0: 'Stereo', 1: 'Joint Stereo', 2: 'Dual Channel', 3: 'Mono'}
errors = []
for line, path in zip(sys.argv[1].splitlines(), sys.argv[2:]):
    got, info = json.loads(line)['mpeg'], MP3(path).info
    if not got['present']: errors.append(path + ' not found')
    if abs(got['duration'] - info.length) > 0.06: errors.append(f"{path} duration {got['duration']} {info.length}")
    if abs(got['bitrate'] - info.bitrate / 1000) > max(1, info.bitrate / 1000 * 0.05):
        errors.append(f"{path} bitrate {got['bitrate']} {info.bitrate}")
    if got['sampleRate'] != info.sample_rate: errors.append(f"{path} rate {got['sampleRate']} {info.sample_rate}")
    if got['channelMode'] != modes[info.mode]: errors.append(f"{path} mode {got['channelMode']} {info.mode}")
    if got['variableBitrate'] != path.endswith('vbr-mono.mp3'): errors.append(path + ' variable')
print('ok' if not errors else '\n'.join(errors))
)PY",
                                {r.out, files[0], files[1], files[2]});
    EXPECT_EQ(verdict.out, "ok\n") << verdict.err << r.out;
}

TEST(CliInfo, JsonEscapesAnyFileName)
{
    TM_REQUIRE_TOOL("mpcenc");
    TempDir dir;
    const auto plain = dir / "p.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(plain, 0.3, {"--title", "tab\there"}));
    const std::string odd = (dir / "q\"uote\\back\nline\x01\xff.mpc").string();
    std::filesystem::copy_file(plain, odd);
    // The shell's glob hands over the raw bytes of the name, which need not be UTF-8.
    const auto r = tmtest::Run({"/bin/sh", "-c", "exec \"$0\" info --json -- \"$1\"/q*", TRACKMILL_CLI,
                                dir.path().string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto verdict = Python("import json, sys\n"
                                "o = json.loads(sys.argv[1])\n"
                                "print(o['path'].endswith('q\"uote\\\\back\\nline\\x01\\ufffd.mpc'),"
                                " o['ape']['title'] == 'tab\\there', o['valid'])",
                                {r.out});
    EXPECT_EQ(verdict.out, "True True True\n") << verdict.err << r.out;
}

// One JSON line per file of the folder, whatever the files hold.
void InfoOnEveryFile(const std::filesystem::path &folder)
{
    std::vector<std::string> args{"info", "--json"};
    for (const auto &e : std::filesystem::directory_iterator(folder)) args.push_back(e.path().string());
    const auto r = Cli(args);
    EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.exitCode << r.err;
    EXPECT_EQ(Lines(r.out).size(), args.size() - 2);
}

TEST(CliInfo, CorpusFilesNeverCrashIt)
{
    const auto corpus = tmtest::CorpusDir();
    ASSERT_FALSE(corpus.empty());
    InfoOnEveryFile(corpus);
    const auto text = Cli({"info", (corpus / "click.mpc").string()});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("   Streamversion: 7\n"), std::string::npos);
}

TEST(CliInfo, Sv7CorpusAsMpcdecDecodesIt)
{
    const auto corpus = tmtest::CorpusDir();
    ASSERT_FALSE(corpus.empty());
    const auto r = tmtest::Run({tmtest::SystemPython(), TRACKMILL_SOURCE_DIR "/tests/cli/sv7-corpus.py", TRACKMILL_CLI,
                                (corpus / "sv7").string()},
                               {}, 120000);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex("checked [1-9][0-9]*\n"))) << r.out;
}

TEST(CliInfo, OwnHostileFilesNeverCrashIt)
{
    TempDir dir;
    tmtest::WriteHostileFiles(dir / "files");
    InfoOnEveryFile(dir / "files");
    const auto text = Cli({"info", (dir / "files" / "sv7-stream.mpc").string()});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("   Streamversion: 7\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Own title"), std::string::npos) << text.out;
}

TEST(CliInfo, NumbersFollowTheUsersLocale)
{
    TempDir dir;
    // A version 7 header: 12345 frames in 1,000,000 bytes.
    Bytes b{'M', 'P', '+', 0x07, 0x39, 0x30, 0, 0, 0, 0, 0xA0, 0x40};
    b.resize(1000000, 0x33);
    const auto file = dir / "long.mpc";
    tmtest::WriteBytes(file, b);

    const char *saved = std::getenv("LC_ALL");
    const std::string restore = saved ? saved : "";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    const auto german = Cli({"info", file.string()});
    ::setenv("LC_ALL", "en_US.UTF-8", 1);
    const auto english = Cli({"info", file.string()});
    if (saved) ::setenv("LC_ALL", restore.c_str(), 1);
    else ::unsetenv("LC_ALL");
    EXPECT_NE(german.out.find("\n   Frames: 12.345\n"), std::string::npos) << german.out;
    EXPECT_NE(german.out.find("\n   Dauer: 322 s\n"), std::string::npos);
    EXPECT_NE(german.out.find("\n   Dateigröße: 977 KB\n"), std::string::npos);
    EXPECT_NE(english.out.find("\n   Framecount: 12,345\n"), std::string::npos) << english.out;
    // The bit rate is a plain number in every locale; the panel's words are German too.
    EXPECT_NE(german.out.find("\n   Bitrate: 25 Kb/s\n"), std::string::npos);
}
