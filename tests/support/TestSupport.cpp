#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QtGlobal>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <random>
#else
#include <grp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// The tests read the programs' English texts, whatever language the machine speaks; a run
// registered with TRACKMILL_TEST_LANGUAGE keeps the language it was given.
const bool kEnglish = [] {
    if (qEnvironmentVariableIsSet("TRACKMILL_TEST_LANGUAGE")) return false;
    qputenv("LANG", "C.UTF-8");
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) qunsetenv(name);
    return true;
}();

}  // namespace

namespace tmtest {

TempDir::TempDir()
{
#ifdef _WIN32
    std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("trackmill-test-" + std::to_string(random() % 1000000));
        if (fs::create_directory(candidate)) path_ = candidate;
    }
    if (path_.empty()) throw std::runtime_error("no temporary folder could be made");
#else
    std::string pattern = (fs::temp_directory_path() / "trackmill-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#endif
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests make files read-only on purpose; give the owner its rights back first.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string U8(const fs::path &path)
{
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

fs::path PathOf(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

ScopedEnv::ScopedEnv(const char *name, const std::optional<std::string> &value) : name_(name)
{
    if (qEnvironmentVariableIsSet(name)) old_ = qgetenv(name).toStdString();
    if (value) qputenv(name, QByteArray::fromStdString(*value));
    else qunsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (old_) qputenv(name_, QByteArray::fromStdString(*old_));
    else qunsetenv(name_);
}

bool ServeEventsUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return true;
}

bool MakeFifo(const fs::path &path)
{
#ifdef _WIN32
    (void)path;
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

bool MakeSocket(const fs::path &path)
{
#ifdef _WIN32
    (void)path;
    return false;
#else
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) return false;
    path.native().copy(address.sun_path, path.native().size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket < 0) return false;
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(socket);
    return bound;
#endif
}

#ifndef _WIN32
namespace {

// Runs `body` in a child made by fork once `prepare` holds; its status, -1 when it could
// not run.
int InChild(const std::function<bool()> &prepare, const std::function<int()> &body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (!prepare()) ::_exit(255);
        int result = 255;
        try {
            result = body();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(result & 0xFF);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
    return WEXITSTATUS(status);
}

}  // namespace
#endif

int UnderFileSizeLimit(std::uint64_t bytes, const std::function<int()> &body)
{
#ifdef _WIN32
    (void)bytes;
    (void)body;
    return -1;
#else
    return InChild(
        [bytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{bytes, bytes};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        body);
#endif
}

bool RunningAsRoot()
{
#ifdef _WIN32
    return false;
#else
    return ::geteuid() == 0;
#endif
}

int AsUnprivilegedUser(const std::function<int()> &body)
{
#ifdef _WIN32
    (void)body;
    return -1;
#else
    return InChild(
        [] {
            if (::geteuid() != 0) return true;
            const gid_t nobody = 65534;
            return ::setgroups(0, nullptr) == 0 && ::setresgid(nobody, nobody, nobody) == 0 &&
                   ::setresuid(nobody, nobody, nobody) == 0;
        },
        body);
#endif
}

void ShareWithEveryone(const fs::path &folder)
{
    std::error_code ec;
    const fs::path top = fs::temp_directory_path(ec);
    for (fs::path p = folder; !p.empty() && p != top && p != p.root_path(); p = p.parent_path())
        fs::permissions(p, fs::perms::all, fs::perm_options::replace, ec);
}

Bytes ReadBytes(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path &file, const Bytes &bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const fs::path &file)
{
    Bytes b = ReadBytes(file);
    return std::string(b.begin(), b.end());
}

void WriteText(const fs::path &file, const std::string &text)
{
    WriteBytes(file, Bytes(text.begin(), text.end()));
}

RunResult Run(const std::vector<std::string> &argv, const std::string &workingDir, int timeoutMs,
              const std::map<std::string, std::string> &env)
{
    RunResult r;
    if (argv.empty()) return r;
    QProcess p;
    if (!env.empty()) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const auto &[name, value] : env) e.insert(QString::fromStdString(name), QString::fromStdString(value));
        p.setProcessEnvironment(e);
    }
    QStringList args;
    for (size_t i = 1; i < argv.size(); ++i) args << QString::fromStdString(argv[i]);
    if (!workingDir.empty()) p.setWorkingDirectory(QString::fromStdString(workingDir));
    p.start(QString::fromStdString(argv[0]), args);
    if (!p.waitForStarted(10000)) return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return r;
    }
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

bool HaveTool(const std::string &name)
{
    return !QStandardPaths::findExecutable(QString::fromStdString(name)).isEmpty();
}

fs::path CorpusDir()
{
    fs::path dir = TRACKMILL_CORPUS_DIR;
    std::error_code ec;
    return fs::is_directory(dir, ec) ? dir : fs::path();
}

std::string SystemPython()
{
    return fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

static void PutLE(Bytes &b, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void MakeSineWav(const fs::path &file, double seconds, int sampleRate, int channels, double frequency)
{
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * sampleRate));
    const std::uint32_t dataSize = frames * static_cast<std::uint32_t>(channels) * 2;
    Bytes b;
    b.reserve(44 + dataSize);
    for (char c : std::string("RIFF")) b.push_back(static_cast<std::uint8_t>(c));
    PutLE(b, 36 + dataSize, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
    PutLE(b, 16, 4);
    PutLE(b, 1, 2);
    PutLE(b, static_cast<std::uint32_t>(channels), 2);
    PutLE(b, static_cast<std::uint32_t>(sampleRate), 4);
    PutLE(b, static_cast<std::uint32_t>(sampleRate * channels * 2), 4);
    PutLE(b, static_cast<std::uint32_t>(channels * 2), 2);
    PutLE(b, 16, 2);
    for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
    PutLE(b, dataSize, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double v = 0.4 * std::sin(2.0 * M_PI * frequency * i / sampleRate);
        const auto s = static_cast<std::int16_t>(v * 32767);
        for (int c = 0; c < channels; ++c) PutLE(b, static_cast<std::uint16_t>(s), 2);
    }
    WriteBytes(file, b);
}

bool MakeMpc(const fs::path &mpcFile, double seconds, const std::vector<std::string> &extra,
             int sampleRate, int channels)
{
    // Beside the file, under a short name: the file's own name may be as long as names get.
    const fs::path wav = mpcFile.parent_path() / (".src-" + std::to_string(::getpid()) + ".wav");
    MakeSineWav(wav, seconds, sampleRate, channels);
    std::vector<std::string> argv{"mpcenc", "--silent", "--overwrite"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(U8(wav));
    argv.push_back(U8(mpcFile));
    // mpcenc converts tag texts from the locale's character set: in the C locale of a bare
    // machine every non-ASCII letter would be lost before it reached the file.
    const RunResult r = Run(argv, {}, 120000, {{"LC_ALL", "C.UTF-8"}});
    std::error_code ec;
    fs::remove(wav, ec);
    return r.exitCode == 0 && fs::exists(mpcFile);
}

const Bytes &SampleMpc()
{
    static const Bytes bytes = [] {
        TempDir tmp;
        if (!MakeMpc(tmp / "s.mpc", 1.0, {"--artist", "Sample"})) return Bytes{};
        return ReadBytes(tmp / "s.mpc");
    }();
    return bytes;
}

fs::path PutSampleMpc(const fs::path &file)
{
    fs::create_directories(file.parent_path());
    WriteBytes(file, SampleMpc());
    return file;
}

}  // namespace tmtest
