// Runs trackmill-cli from outside, isolated from any settings file a developer's window
// may have left: a private copy of the program, HOME and XDG_CONFIG_HOME in a temporary
// folder, and a chosen working folder (where go.sh is written and looked for programs).
#pragma once

#include "engine/TagReadback.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace tmtest {

class IsolatedCli {
public:
    IsolatedCli()
    {
        program_ = root_ / "bin" / "trackmill-cli";
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "home" / ".config");
        fs::copy_file(TRACKMILL_CLI, program_);
    }
    const fs::path &Program() const { return program_; }
    fs::path Home() const { return root_ / "home"; }
    // Where the window's settings file would sit beside the program.
    fs::path IniBesideProgram() const { return root_ / "bin" / "trackmill.ini"; }

    RunResult Run(const std::vector<std::string> &args, const fs::path &workDir,
                  const std::string &pathOverride = {}) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(Home().string()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString((Home() / ".config").string()));
        if (!pathOverride.empty()) env.insert("PATH", QString::fromStdString(pathOverride));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(workDir.string()));
        QStringList qargs{"convert"};
        for (const auto &a : args) qargs << QString::fromStdString(a);
        p.start(QString::fromStdString(program_.string()), qargs);
        RunResult r;
        if (!p.waitForStarted(10000)) return r;
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished(2000);
            return r;
        }
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return r;
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
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

}  // namespace tmtest

#define TM_REQUIRE_CONVERT_TOOLS()                                                     \
    do {                                                                               \
        TM_REQUIRE_TOOL("mpcenc");                                                     \
        TM_REQUIRE_TOOL("mpcdec");                                                     \
        TM_REQUIRE_TOOL("lame");                                                       \
        if (!::tmtest::HaveMutagen()) GTEST_SKIP() << "python3-mutagen not installed"; \
    } while (0)
