// Runs trackmill-cli from outside, isolated from any settings file a developer's window
// may have left: a private copy of the program, HOME and XDG_CONFIG_HOME in a temporary
// folder, and a chosen working folder (where go.sh is written and looked for programs).
#pragma once

#include "engine/TagReadback.h"
#include "support/TestSupport.h"

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
        std::map<std::string, std::string> env{{"HOME", Home().string()},
                                               {"XDG_CONFIG_HOME", (Home() / ".config").string()}};
        if (!pathOverride.empty()) env["PATH"] = pathOverride;
        std::vector<std::string> argv{program_.string(), "convert"};
        argv.insert(argv.end(), args.begin(), args.end());
        return ::tmtest::Run(argv, workDir.string(), 120000, env);
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
