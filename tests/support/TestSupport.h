// Helpers shared by every test folder: scoped temporary folders, file bytes,
// external processes, and Musepack sample files made with the real encoder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tmtest {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A path as the program spells it: UTF-8, "/" between names. Never path::string() for a
// path given to our code: on Windows that is the ANSI code page, with "\\".
std::string U8(const fs::path &path);
// The path of the program's spelling of it (UTF-8).
fs::path PathOf(std::string_view utf8);

// A fresh folder under the system temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const fs::path &path() const { return path_; }
    fs::path operator/(const std::string &name) const { return path_ / PathOf(name); }

private:
    fs::path path_;
};

// Bytes of a text, and bytes joined end to end: for building file images in a test.
inline Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }
inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes ReadBytes(const fs::path &file);
void WriteBytes(const fs::path &file, const Bytes &bytes);
std::string ReadText(const fs::path &file);
void WriteText(const fs::path &file, const std::string &text);

struct RunResult {
    int exitCode = -1;   // -1 when the program could not be started or timed out
    std::string out;
    std::string err;
};
// Runs argv[0] (looked up on PATH) with the arguments; no shell is involved.
// Entries of `env` are set in the child's environment on top of ours.
RunResult Run(const std::vector<std::string> &argv, const std::string &workingDir = {},
              int timeoutMs = 120000, const std::map<std::string, std::string> &env = {});
bool HaveTool(const std::string &name);

// Sets an environment variable (or removes it: nullopt) for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<std::string> &value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *name_;
    std::optional<std::string> old_;
};

// Serves the event loop until the condition holds; false when it did not within the time-out.
bool ServeEventsUntil(const std::function<bool()> &condition, int timeoutMs = 15000);

// A named pipe at the path; false where the system has none (Windows).
bool MakeFifo(const fs::path &path);
// A socket bound at the path, closed again so that only its name stays; false on Windows.
bool MakeSocket(const fs::path &path);

// Whether permission bits bind us less than a person: root on Linux (never on Windows).
bool RunningAsRoot();
// Runs `body` in a forked child as an ordinary user: as root the child drops to "nobody"
// (uid and gid 65534) with setresgid/setresuid, so permission bits bind as they do for
// a person. Returns the child's result: body's return value, or -1 when the child could
// not drop its rights or ended abnormally. Files the child must reach need modes that
// let another user in (see ShareWithEveryone).
int AsUnprivilegedUser(const std::function<int()> &body);
// Runs `body` in a forked child whose files cannot grow beyond `bytes`, the way a full
// disk stops them. Returns body's return value, or -1 (as on Windows, which has no such limit).
int UnderFileSizeLimit(std::uint64_t bytes, const std::function<int()> &body);
// Opens the folder (and the folders above it up to the temporary folder) to every user,
// so an unprivileged child can work inside a TempDir.
void ShareWithEveryone(const fs::path &folder);

// The folder of real and broken files from another project's test suite; empty when absent.
fs::path CorpusDir();

// Debian's python, which sees python3-mutagen (another python may be first on PATH).
std::string SystemPython();

// A 16-bit PCM WAV of a sine tone.
void MakeSineWav(const fs::path &file, double seconds, int sampleRate = 44100, int channels = 2,
                 double frequency = 440.0);

// Encodes a sine tone with mpcenc (stream version 8); extra arguments go before the
// file names, e.g. {"--quality", "5", "--artist", "X"}. Returns false when mpcenc failed.
bool MakeMpc(const fs::path &mpcFile, double seconds = 1.0, const std::vector<std::string> &extra = {},
             int sampleRate = 44100, int channels = 2);

// One second of mpcenc's output, encoded once per test program, written at `file` (its
// folders made); empty bytes when mpcenc failed. For tests that need many real files.
const Bytes &SampleMpc();
fs::path PutSampleMpc(const fs::path &file);

}  // namespace tmtest

// Skips the current test when an external program is not installed.
#define TM_REQUIRE_TOOL(name)                                                  \
    do {                                                                       \
        if (!::tmtest::HaveTool(name)) GTEST_SKIP() << name << " not installed"; \
    } while (0)
