#include "system/os/PrivateFolder.h"

#include "system/os/Files.h"
#include "system/os/Path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

}  // namespace

std::string TPrivateFolder::BaseFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsOwnPrivateFolder(runtime)) return runtime;
    const char *tmp = std::getenv("TMPDIR");
    if (IsSafeTemporaryFolder(tmp)) return tmp;
    return "/tmp";
}

TPrivateFolder::~TPrivateFolder() { Remove(); }

bool TPrivateFolder::Ensure(std::string *error)
{
    if (handle_ >= 0) return true;
    const std::string base = BaseFolder();
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
    return true;
}

void TPrivateFolder::Remove()
{
    if (handle_ < 0) return;
    // Only what is in our own folder, by name relative to it: we never make subfolders.
    std::vector<std::string> names;
    if (const int copy = ::dup(handle_); copy >= 0) {
        if (DIR *dir = ::fdopendir(copy)) {
            while (const dirent *ent = ::readdir(dir))
                if (std::string name = ent->d_name; name != "." && name != "..") names.push_back(name);
            ::closedir(dir);
        } else {
            ::close(copy);
        }
    }
    for (const std::string &name : names) ::unlinkat(handle_, name.c_str(), 0);
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
    const int fd = ::openat(handle_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string text(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd, text.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    return text;
}

void TPrivateFolder::RemoveFile(const std::string &name)
{
    if (handle_ >= 0) ::unlinkat(handle_, name.c_str(), 0);
}

}  // namespace trackmill::os
