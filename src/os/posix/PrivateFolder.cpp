#include "os/PrivateFolder.h"

#include "os/Files.h"
#include "os/Path.h"
#include "os/posix/NamesIn.h"
#include "os/PrivateFolderNames.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace trackmill::os {

namespace {

// The runtime folder counts only when it is the user's and no one else's (the XDG rule):
// in a folder others may write, they could rename ours away and put theirs in its place.
bool IsOwnPrivateFolder(const char *folder)
{
    if (!folder || folder[0] != '/') return false;
    struct stat st {};
    return ::stat(folder, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0777) == 0700 &&
           ::access(folder, W_OK | X_OK) == 0;
}

// A folder others cannot take our entries from: not writable by them, or sticky.
bool IsSafeTemporaryFolder(const char *folder)
{
    if (!folder || folder[0] != '/') return false;
    struct stat st {};
    if (::stat(folder, &st) != 0 || !S_ISDIR(st.st_mode) || ::access(folder, W_OK | X_OK) != 0) return false;
    if (st.st_uid != ::geteuid() && st.st_uid != 0) return false;
    return (st.st_mode & 022) == 0 || (st.st_mode & S_ISVTX) != 0;
}

using namespace privatefolder;

// When the process started, in clock ticks since the system booted: with the process id
// it names a process once and for all (ids are reused).
std::optional<std::uint64_t> StartTimeOf(long pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return std::nullopt;
    // The command name may hold blanks and parentheses: the fields follow its last ')'.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int n = 3; n <= 22 && fields >> field; ++n)
        if (n == 22) return std::strtoull(field.c_str(), nullptr, 10);
    return std::nullopt;
}

std::string OwnerText()
{
    const long pid = ::getpid();
    return std::to_string(pid) + " " + std::to_string(StartTimeOf(pid).value_or(0)) + "\n";
}

bool OwnerRunning(const std::string &owner)
{
    long pid = 0;
    unsigned long long start = 0;
    if (std::sscanf(owner.c_str(), "%ld %llu", &pid, &start) != 2 || pid <= 0) return false;
    const auto now = StartTimeOf(pid);
    return now && *now == start;
}

// A descriptor that closes itself.
struct TDescriptor {
    int fd = -1;
    ~TDescriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};

// The text of a file in an open folder, at most maxBytes of it; nothing when it is not a
// regular file there (links are not followed).
std::optional<std::string> ReadIn(int folder, const std::string &name, std::size_t maxBytes, std::uint64_t offset = 0)
{
    TDescriptor file{::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (offset >= std::uint64_t(st.st_size)) return std::string();
    maxBytes = std::min<std::uint64_t>(maxBytes, std::uint64_t(st.st_size) - offset);
    std::string text(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::pread(file.fd, text.data() + got, maxBytes - got, off_t(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

// A folder of ours that held a file being written (an MP3 under its temporary name): gone
// only when it and all in it are ours and untouched since `oldest` (a program the killed
// run started may still be writing), and only the files in it.
void RemoveAbandonedFolder(const std::string &path, std::int64_t oldest)
{
    const TDescriptor folder{::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
    struct stat st {};
    if (folder.fd < 0 || ::fstat(folder.fd, &st) != 0 || st.st_uid != ::geteuid() || st.st_mtime > oldest) return;
    const std::vector<std::string> names = NamesIn(folder.fd);
    for (const std::string &name : names)
        if (::fstatat(folder.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || st.st_mtime > oldest)
            return;
    for (const std::string &name : names) ::unlinkat(folder.fd, name.c_str(), 0);
    struct stat named {};
    if (::lstat(path.c_str(), &named) == 0 && ::fstat(folder.fd, &st) == 0 && named.st_dev == st.st_dev &&
        named.st_ino == st.st_ino)
        ::rmdir(path.c_str());
}

}  // namespace

std::string TPrivateFolder::BaseFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsOwnPrivateFolder(runtime)) return runtime;
    const char *tmp = std::getenv("TMPDIR");
    if (IsSafeTemporaryFolder(tmp)) return tmp;
    // Empty when even the system's temporary folder lets others take our entries.
    return IsSafeTemporaryFolder("/tmp") ? "/tmp" : "";
}

std::string TPrivateFolder::StandingFolder(const std::string &name)
{
    const std::string base = BaseFolder();
    if (base.empty()) return {};
    const std::string path = Join(base, name + "-" + std::to_string(::geteuid()));
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
    // Another user may have made it first, or a link in its place: then it is not used.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return {};
    return path;
}

TPrivateFolder::~TPrivateFolder() { Remove(); }

bool TPrivateFolder::Ensure(std::string *error)
{
    if (handle_ >= 0) {
        // Removed under us (a cleaner of temporary folders): a new one is made.
        struct stat st {};
        if (::fstat(handle_, &st) == 0 && st.st_nlink > 0) return true;
        ::close(handle_);
        handle_ = -1;
        path_.clear();
    }
    const std::string base = BaseFolder();
    if (base.empty()) {
        if (error) *error = "no folder for the scripts is safe from other users (set XDG_RUNTIME_DIR or TMPDIR)";
        return false;
    }
    std::string pattern = Join(base, "trackmill-XXXXXX");
    if (!::mkdtemp(pattern.data())) {  // mode 0700
        if (error) *error = "cannot create a private folder in " + base + ": " + ErrorText(errno);
        return false;
    }
    const int fd = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        const int err = fd < 0 ? errno : EPERM;
        if (fd >= 0) ::close(fd);
        ::rmdir(pattern.c_str());
        if (error) *error = "cannot use a private folder in " + base + ": " + ErrorText(err);
        return false;
    }
    handle_ = fd;
    path_ = pattern;
    // Who made it, for a later run that finds it after this one was killed.
    WriteFile(kOwnerFile, OwnerText(), nullptr);
    return true;
}

void TPrivateFolder::NoteTemporary(const std::string &path)
{
    if (handle_ < 0) return;
    const int fd = ::openat(handle_, kTemporariesFile, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::string line = path + "\n";
    [[maybe_unused]] const ssize_t n = ::write(fd, line.data(), line.size());
    ::close(fd);
}

void TPrivateFolder::RemoveAbandoned(std::int64_t maxAgeSeconds)
{
    const std::string base = BaseFolder();
    if (base.empty()) return;
    const std::int64_t oldest = static_cast<std::int64_t>(std::time(nullptr)) - maxAgeSeconds;
    TFolderReader reader(base);
    std::vector<std::string> names;
    for (TFolderEntry entry; reader.Next(entry);)
        if (entry.name.rfind(kPrefix, 0) == 0 && entry.name.size() == std::string_view(kPrefix).size() + 6)
            names.push_back(entry.name);
    for (const std::string &name : names) {
        // Only folders of our own, looked at without following links.
        const std::string path = Join(base, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || st.st_mtime > oldest)
            continue;
        const TDescriptor folder{::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
        if (folder.fd < 0) continue;
        // A folder without its maker's name is not known to be ours: it stays.
        const std::optional<std::string> owner = ReadIn(folder.fd, kOwnerFile, 4096);
        if (!owner || OwnerRunning(*owner)) continue;
        for (const std::string &temporary : Lines(ReadIn(folder.fd, kTemporariesFile, 1 << 20).value_or(""))) {
            if (FileName(temporary).rfind(kTemporaryPrefix, 0) != 0) continue;
            const TFileInfo info = Stat(temporary, TFollow::NotLinks);
            if (info.kind == TKind::File && info.modified <= oldest)
                os::RemoveFile(temporary);
            else if (info.kind == TKind::Folder)
                RemoveAbandonedFolder(temporary, oldest);
        }
        // Only the names we make in it; anything else keeps the folder.
        for (const std::string &file : NamesIn(folder.fd))
            if (IsOurFileName(file)) ::unlinkat(folder.fd, file.c_str(), 0);
        ::rmdir(path.c_str());
    }
}

void TPrivateFolder::Remove()
{
    if (handle_ < 0) return;
    // Only what is in our own folder, by name relative to it: we never make subfolders.
    for (const std::string &name : NamesIn(handle_)) ::unlinkat(handle_, name.c_str(), 0);
    ::close(handle_);
    handle_ = -1;
    ::rmdir(path_.c_str());
    path_.clear();
}

bool TPrivateFolder::WriteFile(const std::string &name, const std::string &content, std::string *error)
{
    auto fail = [&](int err) {
        if (error) *error = ErrorText(err);
        return false;
    };
    if (handle_ < 0) return fail(EBADF);
    const int fd = ::openat(handle_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return fail(errno);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlinkat(handle_, name.c_str(), 0);
            return fail(err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlinkat(handle_, name.c_str(), 0);
        return fail(err);
    }
    return true;
}

std::optional<std::string> TPrivateFolder::ReadFile(const std::string &name, std::size_t maxBytes) const
{
    if (handle_ < 0) return std::nullopt;
    return ReadIn(handle_, name, maxBytes);
}

std::optional<std::string> TPrivateFolder::ReadFileFrom(const std::string &name, std::uint64_t offset,
                                                        std::size_t maxBytes) const
{
    if (handle_ < 0) return std::nullopt;
    return ReadIn(handle_, name, maxBytes, offset);
}

void TPrivateFolder::RemoveFile(const std::string &name)
{
    if (handle_ >= 0) ::unlinkat(handle_, name.c_str(), 0);
}

}  // namespace trackmill::os
