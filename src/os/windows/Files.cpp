// Files and folders through the wide-character Windows calls: every path is UTF-8 here
// and UTF-16 there, so a name outside the ANSI code page is handled like any other.
#include "os/Files.h"
#include "os/OwnFolder.h"
#include "os/Path.h"
#include "os/windows/Wide.h"

#include <windows.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

namespace trackmill::os {

namespace {

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
constexpr std::intptr_t kNone = -1;  // INVALID_HANDLE_VALUE

std::int64_t UnixSeconds(const FILETIME &ft)
{
    const std::uint64_t ticks = (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

TFileInfo Missing(int error)
{
    TFileInfo info;
    info.error = error;
    return info;
}

TFileInfo InfoOf(DWORD attributes, std::uint64_t size, const FILETIME &written)
{
    TFileInfo info;
    info.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TKind::Folder
                : (attributes & FILE_ATTRIBUTE_DEVICE)  ? TKind::Other
                                                         : TKind::File;
    info.size = info.kind == TKind::File ? size : 0;
    info.modified = UnixSeconds(written);
    info.readOnly = info.kind == TKind::File && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return info;
}

// Opens what the path leads to (links followed) only to look at it: no right to read or
// write is asked, so a file another program holds open can still be looked at.
HANDLE OpenToLook(const std::string &path)
{
    return ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The position of a read or write at an offset.
OVERLAPPED At(std::uint64_t position)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    return at;
}

// Symbolic links and junctions lead elsewhere; other reparse points (a cloud file's
// placeholder, a deduplicated file) are the files themselves.
bool IsLinkTag(DWORD tag) { return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT; }

bool IsLink(const std::string &path)
{
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileW(Wide(path).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    ::FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(data.dwReserved0);
}

std::string RandomName(std::size_t length)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string name;
    for (std::size_t i = 0; i < length; ++i) name += kChars[pick(random)];
    return name;
}

}  // namespace

std::string ErrorText(int error)
{
    return error == 0 ? std::string("unknown error") : std::string(std::strerror(error));
}

TFileInfo Stat(const std::string &path, TFollow follow)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return Missing(LastErrno());
    const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsLink(path);
    if (reparse && follow == TFollow::NotLinks) {
        TFileInfo info = InfoOf(data.dwFileAttributes, 0, data.ftLastWriteTime);
        info.kind = TKind::Other;
        info.link = true;
        return info;
    }
    if (reparse) {
        // What the link leads to.
        const HANDLE h = OpenToLook(path);
        if (h == INVALID_HANDLE_VALUE) return Missing(LastErrno());
        BY_HANDLE_FILE_INFORMATION by{};
        const bool ok = ::GetFileInformationByHandle(h, &by);
        const int err = ok ? 0 : LastErrno();
        ::CloseHandle(h);
        if (!ok) return Missing(err);
        return InfoOf(by.dwFileAttributes, (std::uint64_t(by.nFileSizeHigh) << 32) | by.nFileSizeLow, by.ftLastWriteTime);
    }
    return InfoOf(data.dwFileAttributes, (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                  data.ftLastWriteTime);
}

bool IdOf(const std::string &path, TFileId &id)
{
    const HANDLE h = OpenToLook(path);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION by{};
    const bool ok = ::GetFileInformationByHandle(h, &by);
    ::CloseHandle(h);
    if (!ok) return false;
    id = {by.dwVolumeSerialNumber, (std::uint64_t(by.nFileIndexHigh) << 32) | by.nFileIndexLow};
    return true;
}

int CheckWritable(const std::string &path)
{
    const TFileInfo info = Stat(path);
    if (info.kind == TKind::None) return info.error;
    if (info.kind == TKind::Folder) return IsWritableFolder(path) ? 0 : EACCES;
    if (info.readOnly) return EACCES;
    // Asking for the right to write, and nothing more, changes nothing.
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastErrno();
    ::CloseHandle(h);
    return 0;
}

bool IsWritableFolder(const std::string &folder)
{
    if (Stat(folder).kind != TKind::Folder) return false;
    // Whether the folder's rights let this user add a file, asked without touching it (a
    // folder's read-only mark means nothing on Windows).
    const std::wstring w = Wide(folder);
    constexpr SECURITY_INFORMATION kWanted = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    ::GetFileSecurityW(w.c_str(), kWanted, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    if (size == 0 || !::GetFileSecurityW(w.c_str(), kWanted, descriptor.data(), size, &size)) return false;
    HANDLE token = nullptr, asUser = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &token)) return false;
    const bool duplicated = ::DuplicateToken(token, SecurityImpersonation, &asUser);
    ::CloseHandle(token);
    if (!duplicated) return false;
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD wanted = FILE_ADD_FILE;
    ::MapGenericMask(&wanted, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges, granted = 0;
    BOOL allowed = FALSE;
    const bool checked = ::AccessCheck(descriptor.data(), asUser, wanted, &mapping, &privileges, &privilegesSize, &granted,
                                       &allowed);
    ::CloseHandle(asUser);
    return checked && allowed;
}

std::string ResolveLinks(const std::string &path, int *error)
{
    const HANDLE h = OpenToLook(path);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = LastErrno();
        return {};
    }
    std::wstring out(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(h, out.data(), static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
    if (n >= out.size()) {
        out.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(h, out.data(), static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
    }
    const int err = n == 0 ? LastErrno() : 0;
    ::CloseHandle(h);
    if (n == 0 || n >= out.size()) {
        if (error) *error = n == 0 ? err : ENAMETOOLONG;
        return {};
    }
    out.resize(n);
    // "\\?\C:\..." and "\\?\UNC\server\share\..." as a person writes them.
    if (out.rfind(L"\\\\?\\UNC\\", 0) == 0)
        out = L"\\\\" + out.substr(8);
    else if (out.rfind(L"\\\\?\\", 0) == 0)
        out = out.substr(4);
    return Portable(Narrow(out));
}

int CreateFolders(const std::string &folder, std::vector<std::string> *created)
{
    if (folder.empty()) return 0;
    const std::string path = WithoutSeparator(folder);
    const TFileInfo info = Stat(path);
    if (info.kind != TKind::None) return info.kind == TKind::Folder ? 0 : ENOTDIR;
    const std::string parent = FolderOf(path);
    if (parent != path && parent != ".") {
        if (const int err = CreateFolders(parent, created); err != 0) return err;
    }
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr)) {
        const int err = LastErrno();
        // Made meanwhile by someone else: what counts is that it is there.
        if (err == EEXIST && Stat(path).kind == TKind::Folder) return 0;
        return err;
    }
    if (created) created->push_back(path);
    return 0;
}

bool RemoveEmptyFolder(const std::string &folder) { return ::RemoveDirectoryW(Wide(folder).c_str()) != 0; }

int RemoveFile(const std::string &path) { return ::DeleteFileW(Wide(path).c_str()) ? 0 : LastErrno(); }

int RenameNoReplace(const std::string &from, const std::string &to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails when anything is at `to`.
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0)) return 0;
    return LastErrno();
}

int Replace(const std::string &from, const std::string &to)
{
    return ::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : LastErrno();
}

// A new file takes its rights from its folder; the read-only mark is the one bit to carry.
int TakeModeOf(const std::string &path, const std::string &like)
{
    const TFileInfo info = Stat(like);
    if (info.kind == TKind::None) return info.error;
    if (!info.readOnly) return 0;
    const std::wstring w = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(w.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrno();
    return ::SetFileAttributesW(w.c_str(), attributes | FILE_ATTRIBUTE_READONLY) ? 0 : LastErrno();
}

// ---- TFile ----

TFile::~TFile() { Close(); }

bool TFile::IsOpen() const { return handle_ != kNone; }

TFile::TFile(TFile &&other) noexcept : handle_(std::exchange(other.handle_, kNone)), error_(other.error_) {}

TFile &TFile::operator=(TFile &&other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNone);
        error_ = other.error_;
    }
    return *this;
}

bool TFile::Open(const std::string &path, Mode mode, TFollow follow)
{
    Close();
    const DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (follow == TFollow::NotLinks ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = Stat(path).kind == TKind::Folder ? EISDIR : LastErrno();
        return false;
    }
    // Opened as itself, a link is no file to read.
    BY_HANDLE_FILE_INFORMATION about{};
    if (follow == TFollow::NotLinks && ::GetFileInformationByHandle(h, &about) &&
        (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ::CloseHandle(h);
        error_ = ELOOP;
        return false;
    }
    // Only files on a disk: a pipe or a device would block or never end.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        error_ = EINVAL;
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    error_ = 0;
    return true;
}

bool TFile::Open(const TOwnFolder &folder, const std::string &name, Mode mode)
{
    Close();
    // The folder is held: its path leads to it. A link put in it is not followed.
    const std::string path = Join(folder.Path(), name);
    const DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = LastErrno();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION by{};
    if (!::GetFileInformationByHandle(h, &by) ||
        (by.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        ::GetFileType(h) != FILE_TYPE_DISK) {
        error_ = (by.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EISDIR : EINVAL;
        ::CloseHandle(h);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    error_ = 0;
    return true;
}

bool TFile::Create(const TOwnFolder &folder, const std::string &name, Access access)
{
    return Create(Join(folder.Path(), name), access);
}

bool TFile::Create(const std::string &path, Access access)
{
    (void)access;  // a new file takes the rights of its folder
    Close();
    // CREATE_NEW fails on anything there, a link included, so nothing is followed.
    const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = LastErrno();
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    error_ = 0;
    return true;
}

bool TFile::CreateUnique(const std::string &folder, const std::string &prefix, const std::string &suffix,
                         std::string *path, Access access)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = Join(folder, prefix + RandomName(6) + suffix);
        if (Create(name, access)) {
            if (path) *path = name;
            return true;
        }
        if (error_ != EEXIST) return false;
    }
    return false;
}

int TFile::Close()
{
    if (handle_ == kNone) return 0;
    const int result = ::CloseHandle(H(handle_)) ? 0 : LastErrno();
    handle_ = kNone;
    if (result != 0) error_ = result;
    return result;
}

std::int64_t TFile::Size()
{
    LARGE_INTEGER size{};
    if (handle_ == kNone || !::GetFileSizeEx(H(handle_), &size)) return -1;
    return size.QuadPart;
}

std::size_t TFile::ReadSomeAt(std::int64_t offset, void *buf, std::size_t n)
{
    if (handle_ == kNone || offset < 0) return 0;
    std::size_t done = 0;
    auto *out = static_cast<char *>(buf);
    while (done < n) {
        OVERLAPPED at = At(std::uint64_t(offset) + done);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(H(handle_), out + done, want, &got, &at)) {
            if (::GetLastError() != ERROR_HANDLE_EOF) error_ = LastErrno();
            break;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

bool TFile::WriteAt(std::int64_t offset, const void *data, std::size_t n)
{
    if (handle_ == kNone || offset < 0) {
        error_ = EBADF;
        return false;
    }
    std::size_t done = 0;
    const auto *in = static_cast<const char *>(data);
    while (done < n) {
        OVERLAPPED at = At(std::uint64_t(offset) + done);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(H(handle_), in + done, want, &put, &at) || put == 0) {
            error_ = put == 0 && ::GetLastError() == ERROR_SUCCESS ? EIO : LastErrno();
            return false;
        }
        done += put;
    }
    return true;
}

bool TFile::Truncate(std::int64_t size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (handle_ != kNone && ::SetFileInformationByHandle(H(handle_), FileEndOfFileInfo, &end, sizeof end)) return true;
    error_ = handle_ == kNone ? EBADF : LastErrno();
    return false;
}

bool TFile::TakeOwnerAndMode(const std::string &like)
{
    // The owner and the rights come from the folder on Windows; nothing to carry.
    if (handle_ == kNone) {
        error_ = EBADF;
        return false;
    }
    (void)like;
    return true;
}

bool TFile::TakeOwnerAndMode(const TFile &like)
{
    if (handle_ == kNone || like.handle_ == kNone) {
        error_ = EBADF;
        return false;
    }
    return true;
}

// ---- TFolderReader ----

namespace {

struct TFind {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // data holds a name not handed out yet
};

}  // namespace

TFolderReader::TFolderReader(const std::string &folder) : folder_(folder)
{
    auto find = new TFind;
    find->handle = ::FindFirstFileExW(Wide(Join(folder, "*")).c_str(), FindExInfoBasic, &find->data,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find->handle == INVALID_HANDLE_VALUE) {
        delete find;
        return;
    }
    find->pending = true;
    handle_ = find;
}

TFolderReader::~TFolderReader()
{
    if (auto *find = static_cast<TFind *>(handle_)) {
        ::FindClose(find->handle);
        delete find;
    }
}

bool TFolderReader::Next(TFolderEntry &entry)
{
    auto *find = static_cast<TFind *>(handle_);
    if (!find) return false;
    while (find->pending || ::FindNextFileW(find->handle, &find->data)) {
        find->pending = false;
        const wchar_t *raw = find->data.cFileName;
        if (raw[0] == L'.' && (raw[1] == 0 || (raw[1] == L'.' && raw[2] == 0))) continue;
        entry.name = Narrow(raw, std::wcslen(raw));
        const DWORD a = find->data.dwFileAttributes;
        entry.kind = (a & FILE_ATTRIBUTE_REPARSE_POINT) && IsLinkTag(find->data.dwReserved0) ? TKind::None
                     : (a & FILE_ATTRIBUTE_DIRECTORY)   ? TKind::Folder
                                                        : TKind::File;
        return true;
    }
    return false;
}

TFileInfo TFolderReader::Stat(const std::string &name)
{
    if (!handle_) return {};
    return os::Stat(Join(folder_, name));
}

// ---- the user's places ----

std::string HomeFolder()
{
    const std::string profile = Environment(L"USERPROFILE");
    return profile.empty() ? std::string("C:/") : Portable(profile);
}

std::string UserConfigFolder()
{
    const std::string appData = Environment(L"APPDATA");
    return appData.empty() ? Join(HomeFolder(), "AppData/Roaming") : Portable(appData);
}

bool IsTerminal(std::FILE *stream)
{
    return stream && ::_isatty(::_fileno(stream)) != 0;
}

std::string PathKey(std::string_view path)
{
    // The system's own upper-case table, as it compares names.
    std::wstring wide = Wide(std::string(path));
    if (!wide.empty()) ::CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Narrow(wide);
}

}  // namespace trackmill::os
