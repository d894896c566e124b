#include "os/OwnFolder.h"

#include "os/Path.h"
#include "os/posix/NamesIn.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace trackmill::os {

namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

TOwnFolder::~TOwnFolder() { Release(); }

bool TOwnFolder::IsOpen() const { return handle_ >= 0; }

void TOwnFolder::Release()
{
    if (handle_ >= 0) ::close(Fd(handle_));
    handle_ = -1;
    path_.clear();
}

int TOwnFolder::Create(const std::string &parent, const std::string &prefix)
{
    Release();
    std::string path = Join(parent, prefix + "XXXXXX");
    if (!::mkdtemp(path.data())) return errno;  // mode 0700
    // Opened without following a link, and checked to be the one just made: its name may
    // have been swapped meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // A umask that took the owner's own rights would leave it unusable.
    if (fd >= 0) ::fchmod(fd, 0700);
    // Only we make folders that are ours. Its mode is not looked at: a FAT card or a share
    // shows every folder with the mode of its mount, and keeps no links to swap in.
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        const int err = fd < 0 ? errno : EPERM;
        if (fd >= 0) ::close(fd);
        return err;
    }
    handle_ = fd;
    path_ = path;
    return 0;
}

TFileInfo TOwnFolder::Stat(const std::string &name) const
{
    TFileInfo info;
    struct stat st {};
    if (handle_ < 0 || ::fstatat(Fd(handle_), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        info.error = handle_ < 0 ? EBADF : errno;
        return info;
    }
    info.kind = S_ISREG(st.st_mode) ? TKind::File : S_ISDIR(st.st_mode) ? TKind::Folder : TKind::Other;
    info.link = S_ISLNK(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modified = static_cast<std::int64_t>(st.st_mtime);
    info.readOnly = (st.st_mode & 0222) == 0;
    return info;
}

int TOwnFolder::RemoveFile(const std::string &name)
{
    if (handle_ < 0) return EBADF;
    return ::unlinkat(Fd(handle_), name.c_str(), 0) == 0 ? 0 : errno;
}

int TOwnFolder::Rename(const std::string &from, const std::string &to)
{
    if (handle_ < 0) return EBADF;
    return ::renameat(Fd(handle_), from.c_str(), Fd(handle_), to.c_str()) == 0 ? 0 : errno;
}

int TOwnFolder::TakeModeOf(const std::string &name, const std::string &like)
{
    struct stat st {};
    if (::stat(like.c_str(), &st) != 0) return errno;
    if (handle_ < 0) return EBADF;
    const int fd = ::openat(Fd(handle_), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat own {};
    int err = ::fstat(fd, &own) != 0 ? errno : !S_ISREG(own.st_mode) ? EINVAL : 0;
    if (err == 0 && ::fchmod(fd, st.st_mode & 07777) != 0) err = errno;
    ::close(fd);
    return err;
}

int TOwnFolder::MoveOut(const std::string &name, const std::string &to, bool replace)
{
    if (handle_ < 0) return EBADF;
    const int folder = Fd(handle_);
    if (replace) return ::renameat(folder, name.c_str(), AT_FDCWD, to.c_str()) == 0 ? 0 : errno;
    if (::renameat2(folder, name.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    int err = errno;
    if (err != EINVAL && err != ENOSYS) return err;
    // A file system without the flag: a hard link never replaces either.
    if (::linkat(folder, name.c_str(), AT_FDCWD, to.c_str(), 0) == 0) {
        ::unlinkat(folder, name.c_str(), 0);
        return 0;
    }
    err = errno;
    if (err != EPERM && err != EOPNOTSUPP) return err;
    // No hard links either (FAT): look, then move.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::renameat(folder, name.c_str(), AT_FDCWD, to.c_str()) == 0 ? 0 : errno;
}

void TOwnFolder::Remove()
{
    if (handle_ < 0) return;
    // No one else may write in it: whatever is in it is ours.
    for (const std::string &name : NamesIn(Fd(handle_))) ::unlinkat(Fd(handle_), name.c_str(), 0);
    // Its name goes only while it still leads to this folder: another user may have
    // renamed it away and put something of theirs there.
    struct stat held {}, named {};
    if (::fstat(Fd(handle_), &held) == 0 && ::lstat(path_.c_str(), &named) == 0 && S_ISDIR(named.st_mode) &&
        named.st_dev == held.st_dev && named.st_ino == held.st_ino)
        ::rmdir(path_.c_str());
    Release();
}

}  // namespace trackmill::os
