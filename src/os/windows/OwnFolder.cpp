// The folder is held open without the right to delete: while we hold it, it cannot be
// renamed or removed, so the names inside it lead where they did when it was made, and
// only this user has rights in it.
#include "os/OwnFolder.h"

#include "os/Path.h"
#include "os/windows/OwnRights.h"
#include "os/windows/Wide.h"

#include <windows.h>
#include <aclapi.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

namespace trackmill::os {

namespace {

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// A file made here took the folder's rights, this user's alone; where it goes it takes
// those of its new folder, as any file made there would.
void InheritRightsOfFolder(const std::string &path)
{
    ACL none;
    if (!::InitializeAcl(&none, sizeof none, ACL_REVISION)) return;
    std::wstring wide = Wide(path);
    ::SetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT,
                            DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &none, nullptr);
}

}  // namespace

TOwnFolder::~TOwnFolder() { Release(); }

bool TOwnFolder::IsOpen() const { return handle_ != -1; }

void TOwnFolder::Release()
{
    if (handle_ != -1) ::CloseHandle(H(handle_));
    handle_ = -1;
    path_.clear();
}

int TOwnFolder::Create(const std::string &parent, const std::string &prefix)
{
    Release();
    TOwnRightsOnly rights;
    if (!rights.Attributes()) return LastErrno();
    static thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%06x", static_cast<unsigned>(random() & 0xFFFFFF));
        const std::string path = Join(parent, prefix + suffix);
        if (!::CreateDirectoryW(Wide(path).c_str(), rights.Attributes())) {
            if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return LastErrno();
        }
        const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const int err = LastErrno();
            ::RemoveDirectoryW(Wide(path).c_str());
            return err;
        }
        BY_HANDLE_FILE_INFORMATION by{};
        if (!::GetFileInformationByHandle(h, &by) || !(by.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (by.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ::CloseHandle(h);
            return EPERM;
        }
        handle_ = reinterpret_cast<std::intptr_t>(h);
        path_ = path;
        return 0;
    }
    return EEXIST;
}

TFileInfo TOwnFolder::Stat(const std::string &name) const
{
    if (handle_ == -1) {
        TFileInfo info;
        info.error = EBADF;
        return info;
    }
    return os::Stat(Join(path_, name), TFollow::NotLinks);
}

int TOwnFolder::RemoveFile(const std::string &name)
{
    if (handle_ == -1) return EBADF;
    return os::RemoveFile(Join(path_, name));
}

int TOwnFolder::Rename(const std::string &from, const std::string &to)
{
    if (handle_ == -1) return EBADF;
    return os::Replace(Join(path_, from), Join(path_, to));
}

int TOwnFolder::TakeModeOf(const std::string &name, const std::string &like)
{
    if (handle_ == -1) return EBADF;
    return os::TakeModeOf(Join(path_, name), like);
}

int TOwnFolder::MoveOut(const std::string &name, const std::string &to, bool replace)
{
    if (handle_ == -1) return EBADF;
    const int err = replace ? os::Replace(Join(path_, name), to) : os::RenameNoReplace(Join(path_, name), to);
    if (err == 0) InheritRightsOfFolder(to);
    return err;
}

void TOwnFolder::Remove()
{
    if (handle_ == -1) return;
    std::vector<std::string> names;
    {
        TFolderReader reader(path_);
        for (TFolderEntry entry; reader.Next(entry);) names.push_back(entry.name);
    }
    for (const std::string &name : names) os::RemoveFile(Join(path_, name));
    const std::string path = path_;
    Release();
    // A file deleted while a program that has just ended still held it goes only when the
    // system lets go of it: until then the folder is not empty.
    for (int attempt = 0; attempt < 20 && !::RemoveDirectoryW(Wide(path).c_str()); ++attempt) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_DIR_NOT_EMPTY && error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) break;
        ::Sleep(50);
    }
}

}  // namespace trackmill::os
