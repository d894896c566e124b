#include "os/Files.h"
#include "os/OwnFolder.h"
#include "os/Path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace trackmill::os {

namespace {

// The mode a file made by the user's own programs would get: 0666 less the umask.
mode_t UsualMode()
{
    static const mode_t mode = [] {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

TKind KindOf(mode_t mode)
{
    if (S_ISREG(mode)) return TKind::File;
    if (S_ISDIR(mode)) return TKind::Folder;
    return TKind::Other;
}

TFileInfo InfoOf(const struct stat &st)
{
    TFileInfo info;
    info.kind = KindOf(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modified = static_cast<std::int64_t>(st.st_mtime);
    info.readOnly = (st.st_mode & 0222) == 0;
    info.othersMayNotRead = (st.st_mode & 0004) == 0;
    return info;
}

TFileInfo Missing(int error)
{
    TFileInfo info;
    info.error = error;
    return info;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// An existing regular file relative to the folder (AT_FDCWD: the path as it stands); -1
// with *error otherwise.
int OpenRegular(int folder, const std::string &path, bool write, int flags, int &error)
{
    const int fd = ::openat(folder, path.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | flags);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // Only regular files: a pipe or a device would block or never end.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    error = 0;
    return fd;
}

// A file that was not there (never through a link).
int CreateNew(int folder, const std::string &path, bool alone, int &error)
{
    const int fd = ::openat(folder, path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, alone ? 0600 : 0666);
    error = fd < 0 ? errno : 0;
    return fd;
}

int TakeOwnerAndModeOf(int fd, const struct stat &like)
{
    // Only root may give a file away; otherwise it stays with whoever writes it.
    [[maybe_unused]] const int chowned = ::fchown(fd, like.st_uid, like.st_gid);
    return ::fchmod(fd, like.st_mode & 07777) == 0 ? 0 : errno;
}

}  // namespace

std::string ErrorText(int error)
{
    return error == 0 ? std::string("unknown error") : std::string(std::strerror(error));
}

TFileInfo Stat(const std::string &path, TFollow follow)
{
    struct stat st {};
    if (follow == TFollow::Links) return ::stat(path.c_str(), &st) == 0 ? InfoOf(st) : Missing(errno);
    if (::lstat(path.c_str(), &st) != 0) return Missing(errno);
    if (S_ISLNK(st.st_mode)) {
        TFileInfo info = InfoOf(st);
        info.kind = TKind::Other;
        info.link = true;
        return info;
    }
    return InfoOf(st);
}

bool IdOf(const std::string &path, TFileId &id)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

int CheckWritable(const std::string &path)
{
    return ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

bool IsWritableFolder(const std::string &folder)
{
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ResolveLinks(const std::string &path, int *error)
{
    char *resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        if (error) *error = errno;
        return {};
    }
    std::string out(resolved);
    std::free(resolved);
    return out;
}

int CreateFolders(const std::string &folder, std::vector<std::string> *created)
{
    if (folder.empty()) return 0;
    const std::string path = WithoutSeparator(folder);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const std::string parent = FolderOf(path);
    if (parent != path && parent != ".") {
        if (const int err = CreateFolders(parent, created); err != 0) return err;
    }
    for (int attempt = 0;; ++attempt) {
        if (::mkdir(path.c_str(), 0777) == 0) break;
        const int err = errno;
        // Made meanwhile by someone else: what counts is that it is there.
        if (err == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
        // The parent went meanwhile: another run sharing the output folder removed it as
        // the empty folder its failure left. Made again, a few times at most.
        if (err != ENOENT || attempt == 3 || parent == path || parent == ".") return err;
        if (const int again = CreateFolders(parent, created); again != 0) return again;
    }
    if (created) created->push_back(path);
    return 0;
}

bool RemoveEmptyFolder(const std::string &folder)
{
    return ::rmdir(folder.c_str()) == 0;
}

int RemoveFile(const std::string &path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int RenameNoReplace(const std::string &from, const std::string &to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    int err = errno;
    if (err != EINVAL && err != ENOSYS) return err;
    // A file system without the flag: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    err = errno;
    if (err != EPERM && err != EOPNOTSUPP) return err;
    // No hard links either (FAT): look, then move.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int Replace(const std::string &from, const std::string &to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int TakeModeOf(const std::string &path, const std::string &like)
{
    struct stat st {};
    if (::stat(like.c_str(), &st) != 0) return errno;
    return ::chmod(path.c_str(), st.st_mode & 07777) == 0 ? 0 : errno;
}

// ---- TFile ----

TFile::~TFile() { Close(); }

bool TFile::IsOpen() const { return handle_ >= 0; }

TFile::TFile(TFile &&other) noexcept : handle_(std::exchange(other.handle_, -1)), error_(other.error_) {}

TFile &TFile::operator=(TFile &&other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, -1);
        error_ = other.error_;
    }
    return *this;
}

bool TFile::Open(const std::string &path, Mode mode, TFollow follow)
{
    Close();
    const int noFollow = follow == TFollow::NotLinks ? O_NOFOLLOW : 0;
    handle_ = OpenRegular(AT_FDCWD, path, mode == Mode::ReadWrite, noFollow, error_);
    return handle_ >= 0;
}

bool TFile::Open(const TOwnFolder &folder, const std::string &name, Mode mode)
{
    Close();
    handle_ = OpenRegular(Fd(folder.Handle()), name, mode == Mode::ReadWrite, O_NOFOLLOW, error_);
    return handle_ >= 0;
}

bool TFile::Create(const std::string &path, Access access)
{
    Close();
    handle_ = CreateNew(AT_FDCWD, path, access == Access::Private, error_);
    return handle_ >= 0;
}

bool TFile::Create(const TOwnFolder &folder, const std::string &name, Access access)
{
    Close();
    handle_ = CreateNew(Fd(folder.Handle()), name, access == Access::Private, error_);
    return handle_ >= 0;
}

bool TFile::CreateUnique(const std::string &folder, const std::string &prefix, const std::string &suffix,
                         std::string *path, Access access)
{
    Close();
    std::string name = Join(folder, prefix + "XXXXXX" + suffix);
    const int fd = ::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);  // mode 0600
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    if (access == Access::Usual) ::fchmod(fd, UsualMode());
    handle_ = fd;
    error_ = 0;
    if (path) *path = name;
    return true;
}

int TFile::Close()
{
    if (handle_ < 0) return 0;
    const int result = ::close(Fd(handle_)) == 0 ? 0 : errno;
    handle_ = -1;
    if (result != 0) error_ = result;
    return result;
}

std::int64_t TFile::Size()
{
    struct stat st {};
    if (handle_ < 0 || ::fstat(Fd(handle_), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::size_t TFile::ReadSomeAt(std::int64_t offset, void *buf, std::size_t n)
{
    if (handle_ < 0 || offset < 0) return 0;
    std::size_t done = 0;
    auto *out = static_cast<char *>(buf);
    while (done < n) {
        const ssize_t got = ::pread(Fd(handle_), out + done, n - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got < 0) error_ = errno;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool TFile::WriteAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (handle_ < 0 || offset < 0) {
        error_ = EBADF;
        return false;
    }
    std::size_t done = 0;
    const auto *in = static_cast<const char *>(data);
    while (done < n) {
        const ssize_t put = ::pwrite(Fd(handle_), in + done, n - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            error_ = put < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool TFile::Truncate(std::int64_t size)
{
    if (handle_ >= 0 && ::ftruncate(Fd(handle_), static_cast<off_t>(size)) == 0) return true;
    error_ = handle_ < 0 ? EBADF : errno;
    return false;
}

bool TFile::TakeOwnerAndMode(const std::string &like)
{
    struct stat st {};
    if (handle_ < 0 || ::stat(like.c_str(), &st) != 0) {
        error_ = handle_ < 0 ? EBADF : errno;
        return false;
    }
    error_ = TakeOwnerAndModeOf(Fd(handle_), st);
    return error_ == 0;
}

bool TFile::TakeOwnerAndMode(const TFile &like)
{
    struct stat st {};
    if (handle_ < 0 || like.handle_ < 0 || ::fstat(Fd(like.handle_), &st) != 0) {
        error_ = handle_ < 0 || like.handle_ < 0 ? EBADF : errno;
        return false;
    }
    error_ = TakeOwnerAndModeOf(Fd(handle_), st);
    return error_ == 0;
}

// ---- TFolderReader ----

TFolderReader::TFolderReader(const std::string &folder) : folder_(folder)
{
    handle_ = ::opendir(folder.c_str());
}

TFolderReader::~TFolderReader()
{
    if (handle_) ::closedir(static_cast<DIR *>(handle_));
}

bool TFolderReader::Next(TFolderEntry &entry)
{
    if (!handle_) return false;
    while (const dirent *ent = ::readdir(static_cast<DIR *>(handle_))) {
        const char *raw = ent->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0))) continue;
        entry.name = raw;
        entry.kind = ent->d_type == DT_REG ? TKind::File : ent->d_type == DT_DIR ? TKind::Folder : TKind::None;
        return true;
    }
    return false;
}

TFileInfo TFolderReader::Stat(const std::string &name)
{
    struct stat st {};
    if (!handle_ || ::fstatat(::dirfd(static_cast<DIR *>(handle_)), name.c_str(), &st, 0) != 0) return {};
    return InfoOf(st);
}

// ---- the user's places ----

std::string HomeFolder()
{
    const char *home = std::getenv("HOME");
    return home && *home ? std::string(home) : std::string("/");
}

std::string UserConfigFolder()
{
    // Relative values are to be ignored (XDG base directory rules).
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    return Join(HomeFolder(), ".config");
}

bool IsTerminal(std::FILE *stream)
{
    return stream && ::isatty(::fileno(stream)) == 1;
}

}  // namespace trackmill::os
