// The live overall line on a terminal: a message printed while it is shown starts on a
// cleared line. The tool runs on a pseudo-terminal, both its outputs on it, as in a shell.
#include "e2e/ConvertSupport.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class LiveLine : public tmtest::ConvertFixture {
protected:
    // Reads the terminal until `text` has appeared (or it closed); false when it never did.
    bool ReadUntil(int fd, const std::string &text)
    {
        while (screen.find(text) == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 60000) <= 0) return false;
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) return false;  // EIO once the tool has ended
            screen.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }
    std::string screen;
};

TEST_F(LiveLine, ACancelNoteStartsOnAClearedLine)
{
    ASSERT_TRUE(tmtest::MakeMpc(src / "a.mpc", 1.0));
    const fs::path go = dir / "go";
    // The encoder waits for the test, so the live line is surely up when the note comes;
    // on the options check (run elsewhere than beside the source) it does not.
    tmtest::WriteExecutable(cli.Bin() / "lame", "#!/bin/sh\ncase \"$PWD\" in '" + src.string() + "'/*) while [ ! -e '" +
                                                    go.string() + "' ]; do sleep 0.05; done;; esac\nexec " +
                                                    tmtest::Installed("lame") + " \"$@\"\n");
    int fd = -1;
    const pid_t pid = ::forkpty(&fd, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        for (const auto &[k, v] : cli.Environment()) ::setenv(k.c_str(), v.c_str(), 1);
        if (::chdir(work.c_str()) != 0) ::_exit(126);
        ::execl(cli.Program().c_str(), "trackmill-cli", "convert", "-j", "1", (src / "a.mpc").c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    EXPECT_TRUE(ReadUntil(fd, "Done 0 of 1")) << screen;
    ::kill(pid, SIGINT);
    const std::string note = "trackmill-cli: cancel requested";
    EXPECT_TRUE(ReadUntil(fd, note)) << screen;
    tmtest::WriteText(go, "");
    ReadUntil(fd, "\nConverted 1 of 1 file");
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(fd);
    const std::size_t at = screen.find(note);
    ASSERT_NE(at, std::string::npos) << screen;
    EXPECT_EQ(screen.substr(at >= 3 ? at - 3 : 0, 3), "\033[K") << screen;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << screen;
    EXPECT_TRUE(fs::exists(src / "a.mp3")) << screen;
}

}  // namespace
