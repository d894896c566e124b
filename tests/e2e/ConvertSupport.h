// Runs trackmill-cli from outside, isolated from any settings file a developer's window
// may have left: a private copy of the program (with a stand-in window program beside it,
// so that the window's settings file is looked for there), HOME and XDG_CONFIG_HOME in a
// temporary folder, and a chosen working folder.
#pragma once

#include "engine/TagReadback.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace tmtest {

class IsolatedCli {
public:
    IsolatedCli()
    {
        program_ = root_ / "bin" / "trackmill-cli";
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "home" / ".config");
        fs::copy_file(TRACKMILL_CLI, program_);
        WriteText(root_ / "bin" / "trackmill", "#!/bin/sh\nexit 0\n");
        fs::permissions(root_ / "bin" / "trackmill", fs::perms::owner_all);
    }
    const fs::path &Program() const { return program_; }
    // Beside the program: where stand-ins for the decoder or encoder go, found before PATH.
    fs::path Bin() const { return root_ / "bin"; }
    const fs::path &Root() const { return root_.path(); }
    fs::path Home() const { return root_ / "home"; }
    // Where the window's settings file would sit beside the program.
    fs::path IniBesideProgram() const { return root_ / "bin" / "trackmill.ini"; }

    RunResult Run(const std::vector<std::string> &args, const fs::path &workDir,
                  const std::string &pathOverride = {}) const
    {
        std::map<std::string, std::string> env = Environment();
        if (!pathOverride.empty()) env["PATH"] = pathOverride;
        std::vector<std::string> argv{program_.string(), "convert"};
        argv.insert(argv.end(), args.begin(), args.end());
        return ::tmtest::Run(argv, workDir.string(), 120000, env);
    }

    std::map<std::string, std::string> Environment() const
    {
        return {{"HOME", Home().string()}, {"XDG_CONFIG_HOME", (Home() / ".config").string()}};
    }

private:
    TempDir root_;
    fs::path program_;
};

// The MP3 decodes with an independent decoder into some audio.
inline bool DecodesWithLame(const fs::path &mp3, const fs::path &scratch)
{
    const fs::path wav = scratch / "decoded.wav";
    const RunResult r = ::tmtest::Run({"lame", "--quiet", "--decode", mp3.string(), wav.string()});
    std::error_code ec;
    const bool ok = r.exitCode == 0 && fs::file_size(wav, ec) > 44;
    fs::remove(wav, ec);
    return ok;
}

inline void WriteExecutable(const fs::path &file, const std::string &script)
{
    WriteText(file, script);
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
}

// Full path of an installed program.
inline std::string Installed(const std::string &name)
{
    const std::string out = Run({"sh", "-c", "command -v " + name}).out;
    return out.substr(0, out.find('\n'));
}

// A stand-in encoder that runs the real lame on its input at a bounded pace (about
// `bytesPerSecond` of audio a second), so that a file is surely in progress for a while
// whatever the machine's speed. Each start and end is logged, with the time, to `log`.
inline void WriteSlowLame(const fs::path &file, int bytesPerSecond, const fs::path &log = {})
{
    const std::string note = log.empty() ? "" : " >>'" + log.string() + "'";
    WriteExecutable(file, "#!/bin/sh\n"
                          "echo \"start $$ $(date +%s.%N)\"" + note + "\n"
                          "/usr/bin/python3 -c 'import sys,time\n"
                          "while True:\n"
                          " b=sys.stdin.buffer.read(" + std::to_string(bytesPerSecond / 10) + ")\n"
                          " if not b: break\n"
                          " sys.stdout.buffer.write(b); sys.stdout.flush(); time.sleep(0.1)' | " +
                          Installed("lame") + " \"$@\"\n"
                          "status=$?\n"
                          "echo \"end $$ $(date +%s.%N)\"" + note + "\n"
                          "exit $status\n");
}

// Names of the files in a folder (not below it) that start with ".tm-": what a conversion
// leaves only while it runs.
inline std::vector<std::string> Leftovers(const fs::path &folder)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto &e : fs::recursive_directory_iterator(folder, ec))
        if (e.path().filename().string().rfind(".tm-", 0) == 0) out.push_back(e.path().string());
    return out;
}

// Playing time of an MP3 as ffprobe reads it; -1 when it cannot.
inline double Mp3Seconds(const fs::path &mp3)
{
    const auto r = Run({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", mp3.string()});
    return r.exitCode == 0 ? std::stod(r.out) : -1;
}

// Starts trackmill-cli in a process group of its own, as a shell starts a job; its output
// goes to files.
struct Started {
    pid_t pid = -1;
    fs::path out;
    int Wait()
    {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
};
inline Started StartInOwnGroup(const tmtest::IsolatedCli &cli, const std::vector<std::string> &args, const fs::path &work,
                        const fs::path &outFile, std::map<std::string, std::string> env = {})
{
    std::vector<std::string> argv{cli.Program().string(), "convert"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string v = *e;
        if (!env.count(v.substr(0, v.find('='))) && v.rfind("HOME=", 0) != 0 && v.rfind("XDG_CONFIG_HOME=", 0) != 0)
            envStrings.push_back(v);
    }
    for (const auto &[k, v] : cli.Environment()) envStrings.push_back(k + "=" + v);
    for (const auto &[k, v] : env) envStrings.push_back(k + "=" + v);
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        const int fd = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        if (::chdir(work.c_str()) != 0) ::_exit(126);
        std::vector<char *> a, e;
        for (auto &s : argv) a.push_back(s.data());
        for (auto &s : envStrings) e.push_back(s.data());
        a.push_back(nullptr);
        e.push_back(nullptr);
        ::execve(a[0], a.data(), e.data());
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    return {pid, outFile};
}

inline bool WaitFor(const std::function<bool()> &condition, int seconds = 60)
{
    for (int i = 0; i < seconds * 20; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Gives a Musepack file an APE tag (by mutagen) of a title and a front cover of `coverBytes`.
inline bool AddApeTitleAndCover(const fs::path &mpc, const std::string &title, std::size_t coverBytes)
{
    return Run({SystemPython(), "-c",
                "import sys\nfrom mutagen.apev2 import APEv2, APEValue, BINARY\nt = APEv2()\nt['Title'] = sys.argv[2]\n"
                "t['Cover Art (Front)'] = APEValue(b'f.jpg\\0' + b'\\xff' * (int(sys.argv[3]) - 6), BINARY)\n"
                "t.save(sys.argv[1])\n",
                mpc.string(), title, std::to_string(coverBytes)})
               .exitCode == 0;
}

}  // namespace tmtest

#define TM_REQUIRE_CONVERT_TOOLS()                                                     \
    do {                                                                               \
        TM_REQUIRE_TOOL("mpcenc");                                                     \
        TM_REQUIRE_TOOL("mpcdec");                                                     \
        TM_REQUIRE_TOOL("lame");                                                       \
        if (!::tmtest::HaveMutagen()) GTEST_SKIP() << "python3-mutagen not installed"; \
    } while (0)

namespace tmtest {

// A test with the tool, sources in `src` and a working folder `work`, all private.
class ConvertFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TM_REQUIRE_CONVERT_TOOLS();
        fs::create_directories(src);
        fs::create_directories(work);
    }
    IsolatedCli cli;
    TempDir dir;
    fs::path src = dir / "src";
    fs::path work = dir / "work";
};

}  // namespace tmtest
