// The private folder under the user's own temporary folder (inside the profile, where
// other users have no rights). The folder is held open without the right to delete, so
// it cannot be renamed away or removed while the program uses it.
#include "os/PrivateFolder.h"

#include "os/Files.h"
#include "os/Path.h"
#include "os/PrivateFolderNames.h"
#include "os/windows/OwnRights.h"
#include "os/windows/Wide.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <random>
#include <sstream>
#include <string_view>
#include <vector>

namespace trackmill::os {

namespace {

using namespace privatefolder;

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// When a process started, in 100 ns steps: with its id it names a process once and for all.
std::uint64_t StartTimeOf(DWORD pid)
{
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    std::uint64_t start = 0;
    if (::GetProcessTimes(process, &created, &exited, &kernel, &user))
        start = (std::uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    DWORD code = 0;
    // A process that has ended but is still held open by someone is not running.
    if (::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE) start = 0;
    ::CloseHandle(process);
    return start;
}

std::string OwnerText()
{
    const DWORD pid = ::GetCurrentProcessId();
    return std::to_string(pid) + " " + std::to_string(StartTimeOf(pid)) + "\n";
}

bool OwnerRunning(const std::string &owner)
{
    unsigned long pid = 0;
    unsigned long long start = 0;
    if (std::sscanf(owner.c_str(), "%lu %llu", &pid, &start) != 2 || pid == 0) return false;
    const std::uint64_t now = StartTimeOf(static_cast<DWORD>(pid));
    return now != 0 && now == start;
}

// A file's text, at most maxBytes from the offset on; nothing when it is not a plain file
// (a link is not followed).
std::optional<std::string> ReadPlain(const std::string &path, std::size_t maxBytes, std::uint64_t offset = 0)
{
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION by{};
    if (!::GetFileInformationByHandle(h, &by) ||
        (by.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        ::CloseHandle(h);
        return std::nullopt;
    }
    const std::uint64_t size = (std::uint64_t(by.nFileSizeHigh) << 32) | by.nFileSizeLow;
    std::string text;
    if (offset < size) {
        text.resize(std::min<std::uint64_t>(maxBytes, size - offset));
        std::size_t got = 0;
        while (got < text.size()) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset + got);
            at.OffsetHigh = static_cast<DWORD>((offset + got) >> 32);
            DWORD n = 0;
            if (!::ReadFile(h, text.data() + got, static_cast<DWORD>(text.size() - got), &n, &at) || n == 0) break;
            got += n;
        }
        text.resize(got);
    }
    ::CloseHandle(h);
    return text;
}

std::vector<std::string> NamesIn(const std::string &folder)
{
    std::vector<std::string> names;
    TFolderReader reader(folder);
    for (TFolderEntry entry; reader.Next(entry);) names.push_back(entry.name);
    return names;
}

std::int64_t ModifiedOf(const std::string &path)
{
    return Stat(path, TFollow::NotLinks).modified;
}

// A folder of ours that held a file being written (an MP3 under its temporary name): gone
// only when all in it are plain files untouched since `oldest` (a program the killed run
// started may still be writing), and only those.
void RemoveAbandonedFolder(const std::string &path, std::int64_t oldest)
{
    if (ModifiedOf(path) > oldest) return;
    const std::vector<std::string> names = NamesIn(path);
    for (const std::string &name : names) {
        const TFileInfo info = Stat(Join(path, name), TFollow::NotLinks);
        if (info.kind != TKind::File || info.modified > oldest) return;
    }
    for (const std::string &name : names) os::RemoveFile(Join(path, name));
    ::RemoveDirectoryW(Wide(path).c_str());
}

}  // namespace

std::string TPrivateFolder::BaseFolder()
{
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
    if (n == 0 || n > MAX_PATH + 1) return {};
    const std::string folder = WithoutSeparator(Portable(Narrow(buffer, n)));
    return Stat(folder).kind == TKind::Folder ? folder : std::string();
}

std::string TPrivateFolder::StandingFolder(const std::string &)
{
    return {};
}

TPrivateFolder::~TPrivateFolder() { Remove(); }

bool TPrivateFolder::Ensure(std::string *error)
{
    // Held open without the right to delete: nobody can have removed it meanwhile.
    if (handle_ != -1) return true;
    const std::string base = BaseFolder();
    if (base.empty()) {
        if (error) *error = "no temporary folder of this user's was found (set TEMP)";
        return false;
    }
    TOwnRightsOnly rights;
    if (!rights.Attributes()) {
        if (error) *error = "cannot make a folder for this user alone: " + ErrorText(LastErrno());
        return false;
    }
    static thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%06x", static_cast<unsigned>(random() & 0xFFFFFF));
        const std::string path = Join(base, kPrefix + std::string(suffix));
        if (!::CreateDirectoryW(Wide(path).c_str(), rights.Attributes())) {
            if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
            if (error) *error = "cannot create a private folder in " + base + ": " + ErrorText(LastErrno());
            return false;
        }
        const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const int err = LastErrno();
            ::RemoveDirectoryW(Wide(path).c_str());
            if (error) *error = "cannot use a private folder in " + base + ": " + ErrorText(err);
            return false;
        }
        handle_ = reinterpret_cast<std::intptr_t>(h);
        path_ = path;
        WriteFile(kOwnerFile, OwnerText(), nullptr);
        return true;
    }
    if (error) *error = "cannot create a private folder in " + base + ": every name is taken";
    return false;
}

void TPrivateFolder::NoteTemporary(const std::string &path)
{
    if (handle_ == -1) return;
    const HANDLE h = ::CreateFileW(Wide(Join(path_, kTemporariesFile)).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string line = path + "\n";
    DWORD put = 0;
    ::WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &put, nullptr);
    ::CloseHandle(h);
}

void TPrivateFolder::RemoveAbandoned(std::int64_t maxAgeSeconds)
{
    const std::string base = BaseFolder();
    if (base.empty()) return;
    const std::int64_t oldest = static_cast<std::int64_t>(std::time(nullptr)) - maxAgeSeconds;
    for (const std::string &name : NamesIn(base)) {
        if (name.rfind(kPrefix, 0) != 0 || name.size() != std::string_view(kPrefix).size() + 6) continue;
        const std::string path = Join(base, name);
        const TFileInfo info = Stat(path, TFollow::NotLinks);
        if (info.kind != TKind::Folder || info.link || ModifiedOf(path) > oldest) continue;
        const std::optional<std::string> owner = ReadPlain(Join(path, kOwnerFile), 4096);
        if (!owner || OwnerRunning(*owner)) continue;
        for (const std::string &temporary : Lines(ReadPlain(Join(path, kTemporariesFile), 1 << 20).value_or(""))) {
            if (FileName(temporary).rfind(kTemporaryPrefix, 0) != 0) continue;
            const TFileInfo t = Stat(temporary, TFollow::NotLinks);
            if (t.kind == TKind::File && t.modified <= oldest)
                os::RemoveFile(temporary);
            else if (t.kind == TKind::Folder && !t.link)
                RemoveAbandonedFolder(temporary, oldest);
        }
        for (const std::string &file : NamesIn(path))
            if (IsOurFileName(file)) os::RemoveFile(Join(path, file));
        ::RemoveDirectoryW(Wide(path).c_str());
    }
}

void TPrivateFolder::Remove()
{
    if (handle_ == -1) return;
    for (const std::string &name : NamesIn(path_)) os::RemoveFile(Join(path_, name));
    ::CloseHandle(H(handle_));
    handle_ = -1;
    // A file deleted while a program that has just ended still held it goes only when the
    // system lets go of it: until then the folder is not empty.
    for (int attempt = 0; attempt < 20 && !::RemoveDirectoryW(Wide(path_).c_str()); ++attempt) {
        if (::GetLastError() != ERROR_DIR_NOT_EMPTY && ::GetLastError() != ERROR_SHARING_VIOLATION &&
            ::GetLastError() != ERROR_ACCESS_DENIED)
            break;
        ::Sleep(50);
    }
    path_.clear();
}

bool TPrivateFolder::WriteFile(const std::string &name, const std::string &content, std::string *error)
{
    auto fail = [&](int err) {
        if (error) *error = ErrorText(err);
        return false;
    };
    if (handle_ == -1) return fail(EBADF);
    const std::string path = Join(path_, name);
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(LastErrno());
    DWORD put = 0;
    const bool ok = content.empty() ||
                    (::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &put, nullptr) && put == content.size());
    const int err = ok ? 0 : LastErrno();
    ::CloseHandle(h);
    if (!ok) {
        os::RemoveFile(path);
        return fail(err ? err : EIO);
    }
    return true;
}

std::optional<std::string> TPrivateFolder::ReadFile(const std::string &name, std::size_t maxBytes) const
{
    if (handle_ == -1) return std::nullopt;
    return ReadPlain(Join(path_, name), maxBytes);
}

std::optional<std::string> TPrivateFolder::ReadFileFrom(const std::string &name, std::uint64_t offset,
                                                        std::size_t maxBytes) const
{
    if (handle_ == -1) return std::nullopt;
    return ReadPlain(Join(path_, name), maxBytes, offset);
}

void TPrivateFolder::RemoveFile(const std::string &name)
{
    if (handle_ != -1) os::RemoveFile(Join(path_, name));
}

}  // namespace trackmill::os
