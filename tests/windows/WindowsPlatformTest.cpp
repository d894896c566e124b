// The Windows platform layer against the system itself (run under Wine): command lines
// as CommandLineToArgvW reads them, wide names, moves that never replace, and a file's two
// programs through the pipe helper with both statuses, in a job that Cancel can end.
#include "engine/Library.h"
#include "engine/WorkQueue.h"
#include "system/JobPlatform.h"
#include "system/Pipeline.h"
#include "system/Platform.h"
#include "os/Files.h"
#include "os/Path.h"
#include "os/windows/Wide.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <io.h>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace tk = trackmill;

namespace {

std::string gSelf;  // this test program, also the stand-in for the decoder and the encoder

std::string Folder() { return tk::os::FolderOf(gSelf); }

// Texts no quoting may change: blanks, quotes, backslashes (also at the end), the command
// processor's special characters and letters outside any ANSI code page.
const std::vector<std::string> kHostile = {
    "plain", "with blank", "", "a\"b", "\"", "ends\\", "two\\\\", "C:\\Music\\A & B\\", "back\\\"slash",
    "%PATH% ^& | < > ( )", "日本語 Ünïcode", "\t tab", "a\\\\\"b\\",
};

std::vector<std::string> ArgvOf(const std::string &line)
{
    int count = 0;
    LPWSTR *words = ::CommandLineToArgvW(tk::os::Wide(line).c_str(), &count);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(tk::os::Narrow(words[i], std::wcslen(words[i])));
    ::LocalFree(words);
    return out;
}

struct TScratch {
    std::string path;
    TScratch()
    {
        wchar_t buffer[MAX_PATH + 1];
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
        path = tk::os::Join(tk::os::Portable(tk::os::Narrow(buffer, n)), "trackmill-wintest-" + std::to_string(::GetCurrentProcessId()) + " ü &%");
        tk::os::CreateFolders(path);
    }
    ~TScratch()
    {
        tk::os::TFolderReader reader(path);
        std::vector<std::string> names;
        for (tk::os::TFolderEntry e; reader.Next(e);) names.push_back(e.name);
        for (const auto &n : names) tk::os::RemoveFile(tk::os::Join(path, n));
        tk::os::RemoveEmptyFolder(path);
    }
    std::string operator/(const std::string &name) const { return tk::os::Join(path, name); }
};

std::string ReadAll(const std::string &path)
{
    tk::os::TFile f;
    if (!f.Open(path)) return "<missing>";
    std::string text(static_cast<std::size_t>(f.Size()), '\0');
    f.ReadAt(0, text.data(), text.size());
    return text;
}

void WriteAll(const std::string &path, const std::string &text)
{
    tk::os::RemoveFile(path);
    tk::os::TFile f;
    ASSERT_TRUE(f.Create(path)) << path;
    ASSERT_TRUE(f.WriteAt(0, text.data(), text.size()));
}

// Polls until the condition holds, at most `timeoutMs`.
bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 30000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Runs a pipeline to its end; its exit status and everything it printed.
std::pair<int, std::string> RunToEnd(tk::platform::TPipeline &p, int timeoutMs = 30000)
{
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        auto progress = p.Collect();
        output += progress.output;
        if (progress.ended) return {progress.exitStatus, output};
        p.WaitForOutput(50);
    }
    return {-1, output};
}

// The stand-ins: "decode STATUS" writes its input to its output, after seeking in it as
// a decoder does (-1 when it could not), and a complaint to its errors; "encode STATUS FILE" copies its input into FILE; "flood" writes until nobody
// reads; "refuse STATUS" quits at once without reading; "sleep FILE" makes FILE, then
// waits for a minute.
int StandIn(int argc, wchar_t **argv)
{
    const std::wstring role = argv[2];
    if (role == L"decode") {
        _setmode(_fileno(stdin), _O_BINARY);
        if (_fseeki64(stdin, 0, SEEK_END) != 0 || _ftelli64(stdin) <= 0 || _fseeki64(stdin, 0, SEEK_SET) != 0) return -1;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) std::fwrite(buffer, 1, n, stdout);
        std::fputs("decoder: could not read the frame\n", stderr);
        return _wtoi(argv[3]);
    }
    if (role == L"encode" && argc >= 5) {
        _setmode(_fileno(stdin), _O_BINARY);
        std::string in;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) in.append(buffer, n);
        const std::string out = tk::os::Narrow(argv[4], std::wcslen(argv[4]));
        tk::os::TFile f;
        if (!f.Create(out) || !f.WriteAt(0, in.data(), in.size())) return 99;
        std::printf("encoder wrote %zu bytes\n", in.size());
        return _wtoi(argv[3]);
    }
    if (role == L"flood") {
        // Writes until its reader has gone, then fails as a decoder does.
        _setmode(_fileno(stdout), _O_BINARY);
        const std::string block(65536, 'x');
        while (std::fwrite(block.data(), 1, block.size(), stdout) == block.size() && std::fflush(stdout) == 0) {
        }
        return 7;
    }
    if (role == L"refuse") {
        std::puts("encoder: unknown option --bogus");
        return _wtoi(argv[3]);
    }
    if (role == L"sleep" && argc >= 4) {
        tk::os::TFile f;
        if (!f.Create(tk::os::Narrow(argv[3], std::wcslen(argv[3]))) || f.Close() != 0) return 99;
        ::Sleep(60000);
        return 0;
    }
    return 98;
}

std::string Line(const std::vector<std::string> &words)
{
    std::string line;
    for (const auto &w : words) line += (line.empty() ? "" : " ") + tk::platform::ShellQuote(w);
    return line;
}

}  // namespace

TEST(WindowsCommandLine, EveryTextComesBackAsTheProgramReadsIt)
{
    for (const std::string &text : kHostile) {
        const std::string line = "program.exe " + tk::platform::ShellQuote(text) + " next";
        const std::vector<std::string> argv = ArgvOf(line);
        ASSERT_EQ(argv.size(), 3u) << line;
        EXPECT_EQ(argv[1], text) << line;
        EXPECT_EQ(argv[2], "next") << line;
        // Our own reading of a line agrees with the system's.
        const auto ours = tk::platform::SplitCommandLine(line);
        ASSERT_TRUE(ours.has_value()) << line;
        EXPECT_EQ(*ours, argv) << line;
    }
    EXPECT_FALSE(tk::platform::SplitCommandLine("a \"open").has_value());
    EXPECT_EQ(tk::platform::WindowsWordsProblem("--tt \"A title"), "a quote that is not closed");
    EXPECT_EQ(tk::platform::WindowsWordsProblem("--tt \"A\\\" title\""), "");
    EXPECT_EQ(tk::platform::WindowsWordsProblem("--tt A & B %PATH% | x"), "");
    EXPECT_EQ(tk::platform::WindowsWordsProblem("-V 2\r\n--quiet"), "a line break");
    // Read as one quote by some Windows versions and as the quotes' end by others.
    EXPECT_EQ(tk::platform::WindowsWordsProblem("--tt \"a\"\"b\""), "\"\" inside quotes");
    EXPECT_EQ(tk::platform::WindowsWordsProblem("--tt \"\" --ta x"), "");
}

TEST(WindowsFiles, WideNamesMovesThatNeverReplaceAndListings)
{
    TScratch dir;
    const std::string name = "日本 Ünïcode %x% ^&.mp3";
    WriteAll(dir / name, "first");
    EXPECT_EQ(tk::os::Stat(dir / name).kind, tk::os::TKind::File);
    EXPECT_EQ(tk::os::Stat(dir / name).size, 5u);
    EXPECT_TRUE(tk::os::IsWritableFolder(dir.path));

    // Exclusive creation, and a move onto a name that is taken changes nothing.
    tk::os::TFile again;
    EXPECT_FALSE(again.Create(dir / name));
    EXPECT_EQ(again.Error(), EEXIST);
    WriteAll(dir / "other.mp3", "second");
    EXPECT_EQ(tk::os::RenameNoReplace(dir / "other.mp3", dir / name), EEXIST);
    EXPECT_EQ(ReadAll(dir / name), "first");
    EXPECT_EQ(ReadAll(dir / "other.mp3"), "second");
    EXPECT_EQ(tk::os::RenameNoReplace(dir / "other.mp3", dir / "moved ü.mp3"), 0);
    EXPECT_EQ(ReadAll(dir / "moved ü.mp3"), "second");

    std::string unique;
    tk::os::TFile temp;
    ASSERT_TRUE(temp.CreateUnique(dir.path, ".tm-", ".mp3", &unique));
    temp.Close();
    EXPECT_EQ(tk::os::FolderOf(unique), dir.path);

    std::vector<std::string> names;
    tk::os::TFolderReader reader(dir.path);
    for (tk::os::TFolderEntry e; reader.Next(e);) names.push_back(e.name);
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
    EXPECT_EQ(names.size(), 3u);

    // A read-only file is not writable, and its mark is only looked at.
    ::SetFileAttributesW(tk::os::Wide(dir / name).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(tk::os::CheckWritable(dir / name), EACCES);
    EXPECT_TRUE(tk::os::Stat(dir / name).readOnly);
    ::SetFileAttributesW(tk::os::Wide(dir / name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsPrograms, FoundBesideUsOrOnThePathNeverInTheWorkingFolder)
{
    TScratch dir;
    WriteAll(dir / "Lame.exe", "not really");
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(tk::os::Wide(dir.path).c_str());
    EXPECT_EQ(tk::platform::FindProgram("Lame.exe", ""), "");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(tk::platform::FindProgram("Lame.exe", dir.path), dir / "Lame.exe");
    // The designed decoder name first, today's name as well.
    WriteAll(dir / "mpcdec.exe", "not really");
    WriteAll(dir / "opusenc.exe", "not really");
    const tk::TJobPlatform job = tk::platform::JobPlatform(dir.path, 0);
    EXPECT_EQ(job.findProgram("Mppdec.exe"), dir / "mpcdec.exe");
    EXPECT_EQ(job.findProgram(job.opusEncoder.name), dir / "opusenc.exe");
    EXPECT_EQ(job.shell, dir / "trackmill-pipe.exe");
    // What is shown names the programs found, the designed name only when there is none.
    EXPECT_EQ(job.commandTemplate, "mpcdec.exe %OPTIONSDEC %INFILE - | Lame.exe %OPTIONSENC - %OUTFILE");
    EXPECT_EQ(job.opusCommandTemplate, "mpcdec.exe %OPTIONSDEC %INFILE - | opusenc.exe %OPTIONSENC - %OUTFILE");
    // With nothing beside us, the PATH's folders in turn, written as Windows writes them.
    const std::string path = tk::os::Environment(L"PATH");
    ::SetEnvironmentVariableW(L"PATH", tk::os::Wide("C:\\nothing here;\"" + tk::os::Native(dir.path) + "\"").c_str());
    EXPECT_EQ(tk::platform::FindProgram(job.opusEncoder.name, ""), dir / "opusenc.exe");
    ::SetEnvironmentVariableW(L"PATH", tk::os::Wide(path).c_str());
    EXPECT_EQ(tk::platform::DecoderName(dir.path), "mpcdec");
    // The decoder line's hint is the found decoder's own help (ours is beside us).
    EXPECT_NE(tk::platform::DecoderUsage(Folder()).find("stdin"), std::string::npos);
    tk::os::RemoveFile(dir / "mpcdec.exe");
    EXPECT_EQ(tk::platform::DecoderName(dir.path), "Mppdec");
    // Their words in the code page they print in, whatever it is.
    const wchar_t *said = L"Bj\u00f6rk S\u00f8ndergaard";
    char printed[64] = {};
    ::WideCharToMultiByte(CP_ACP, 0, said, -1, printed, sizeof printed - 1, nullptr, nullptr);
    EXPECT_EQ(job.programText(printed), tk::os::Narrow(said, std::wcslen(said)));
    EXPECT_EQ(job.programText("Bj\xc3\xb6rk"), "Bj\xc3\xb6rk");
}

TEST(WindowsPaths, OneFileWhateverTheCaseOfItsName)
{
    tk::TWorkQueue list;
    EXPECT_TRUE(list.Add("C:/Musik/Ärzte/Song.mpc", "C:/Musik"));
    EXPECT_FALSE(list.Add("c:/MUSIK/ärzte/SONG.MPC", "C:/Musik"));
    EXPECT_TRUE(list.Contains("C:/musik/ÄRZTE/song.mpc"));
    list.Remove(0);
    EXPECT_TRUE(list.Add("c:/MUSIK/ärzte/SONG.MPC", "C:/Musik"));
    // A library folder typed in another case still holds its files.
    EXPECT_EQ(tk::LibraryRelativePath(list.At(0), "C:/Musik/ÄRZTE/"), "SONG.MPC");
}

TEST(WindowsPipeline, BothStatusesComeBackAndNoCharacterOfAPathIsCode)
{
    TScratch dir;
    const std::string helper = tk::os::Join(Folder(), "trackmill-pipe.exe");
    ASSERT_EQ(tk::os::Stat(helper).kind, tk::os::TKind::File) << helper;
    const std::string out = dir / "A & B %PATH% ^x 日本.mp3";
    // A name no ANSI code page holds reaches the decoder as its input, never as a word.
    const std::string source = dir / "Ночь Νύχτα 雨 😀.mpc";
    WriteAll(source, "decoded audio");
    for (const auto &[decoderStatus, encoderStatus] : {std::pair{0, 0}, std::pair{3, 0}, std::pair{0, 5}}) {
        tk::os::RemoveFile(out);
        const std::string script = Line({gSelf, "--stand-in", "decode", std::to_string(decoderStatus)}) + "\n" +
                                   Line({gSelf, "--stand-in", "encode", std::to_string(encoderStatus), out}) + "\n" +
                                   tk::platform::ShellQuote(dir / "1.decoder") + "\n" +
                                   tk::platform::ShellQuote(dir / "1.status") + "\n" +
                                   tk::platform::ShellQuote(source) + "\n";
        WriteAll(dir / "1.sh", script);
        int error = 0;
        auto pipeline = tk::platform::TPipeline::Start(helper, {helper, dir / "1.sh"}, {}, error);
        ASSERT_TRUE(pipeline) << error;
        const auto [status, output] = RunToEnd(*pipeline);
        EXPECT_EQ(status, encoderStatus);
        EXPECT_NE(output.find("encoder wrote 13 bytes"), std::string::npos) << output;
        EXPECT_EQ(ReadAll(out), "decoded audio");
        // The decoder's own status and its error output, apart from the encoder's.
        const std::string kept = ReadAll(dir / "1.status");
        EXPECT_EQ(std::atoi(kept.c_str()), decoderStatus) << kept;
        EXPECT_NE(ReadAll(dir / "1.decoder").find("could not read the frame"), std::string::npos);
        EXPECT_EQ(output.find("could not read the frame"), std::string::npos);
    }
    // A source that cannot be opened starts nothing, and the failure says why.
    tk::os::RemoveFile(source);
    int error = 0;
    auto pipeline = tk::platform::TPipeline::Start(helper, {helper, dir / "1.sh"}, {}, error);
    ASSERT_TRUE(pipeline) << error;
    tk::TCommandsOutput ended;
    std::tie(ended.encoderStatus, ended.tail) = RunToEnd(*pipeline);
    EXPECT_EQ(tk::platform::JudgeShellStatuses(ended).failure.rfind("cannot open the source: ", 0), 0u) << ended.tail;
}

TEST(WindowsPipeline, ADecoderThatLostItsReaderIsTheEncodersFault)
{
    TScratch dir;
    const std::string helper = tk::os::Join(Folder(), "trackmill-pipe.exe");
    WriteAll(dir / "3.sh", Line({gSelf, "--stand-in", "flood"}) + "\n" + Line({gSelf, "--stand-in", "refuse", "5"}) +
                               "\n" + tk::platform::ShellQuote(dir / "3.decoder") + "\n" +
                               tk::platform::ShellQuote(dir / "3.status") + "\n" + tk::platform::ShellQuote(gSelf) + "\n");
    int error = 0;
    auto pipeline = tk::platform::TPipeline::Start(helper, {helper, dir / "3.sh"}, {}, error);
    ASSERT_TRUE(pipeline);
    const auto [status, output] = RunToEnd(*pipeline);
    EXPECT_EQ(status, 5);
    EXPECT_NE(output.find("unknown option --bogus"), std::string::npos) << output;
    // As SIGPIPE reads on Linux, so that the failure names the encoder.
    EXPECT_EQ(std::atoi(ReadAll(dir / "3.status").c_str()), 128 + 13);
}

TEST(WindowsPipeline, EndingTheGroupEndsEverythingTheCommandStarted)
{
    TScratch dir;
    const std::string helper = tk::os::Join(Folder(), "trackmill-pipe.exe");
    WriteAll(dir / "2.sh", Line({gSelf, "--stand-in", "sleep", dir / "2.first"}) + "\n" +
                               Line({gSelf, "--stand-in", "sleep", dir / "2.second"}) + "\n" +
                               tk::platform::ShellQuote(dir / "2.decoder") + "\n" +
                               tk::platform::ShellQuote(dir / "2.status") + "\n" + tk::platform::ShellQuote(gSelf) + "\n");
    int error = 0;
    auto pipeline = tk::platform::TPipeline::Start(helper, {helper, dir / "2.sh"}, {}, error);
    ASSERT_TRUE(pipeline);
    // Both sleepers running, so that the stop has more than the helper to end.
    EXPECT_TRUE(WaitFor([&] { return tk::os::Exists(dir / "2.first") && tk::os::Exists(dir / "2.second"); }));
    const tk::platform::GroupId group = pipeline->Group();
    EXPECT_TRUE(tk::platform::GroupExists(group));
    tk::platform::TStoppedGroups stopped;
    stopped.Stop(group);
    // Ended by the stop, not by the sleepers' minute.
    const auto [status, output] = RunToEnd(*pipeline, 30000);
    EXPECT_EQ(status, 128 + 15);
    EXPECT_FALSE(tk::platform::GroupExists(group));
}

int main(int argc, char **argv)
{
    int wargc = 0;
    wchar_t **wargv = ::CommandLineToArgvW(::GetCommandLineW(), &wargc);
    if (wargc >= 3 && std::wstring(wargv[1]) == L"--stand-in") return StandIn(wargc, wargv);
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    gSelf = tk::os::Portable(tk::os::Narrow(self, n));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
