// Files and folders through the platform's own calls, for every layer of the program:
// an open file with positioned reads and writes, exclusive creation, renaming without
// replacing, what stands at a path and who may write it, and folder listings. Paths are
// UTF-8 (raw bytes where the platform allows names that are not). Failures are reported
// as errno values (the Windows calls map theirs onto them), never thrown.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace trackmill::os {

class TOwnFolder;

// "Permission denied", ... for an errno value; "unknown error" for 0.
std::string ErrorText(int error);

enum class TKind { None, File, Folder, Other };

// Which file a path leads to; two paths with equal ids are the same file.
struct TFileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const TFileId &) const = default;
};
struct TFileIdHash {
    std::size_t operator()(const TFileId &id) const { return std::hash<std::uint64_t>()(id.inode * 31 + id.device); }
};

struct TFileInfo {
    TKind kind = TKind::None;   // None: nothing there (or a dangling link when links are followed)
    bool link = false;          // only when links are not followed: the path is a symbolic link
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since 1970
    bool readOnly = false;      // no one may write it (no write permission bits at all)
    bool othersMayNotRead = false;  // only its owner and group may read it (POSIX permission bits)
    int error = 0;              // with kind None: why nothing could be looked at (ENOENT, EACCES, ...)
    bool Exists() const { return kind != TKind::None || link; }
};

enum class TFollow { Links, NotLinks };
TFileInfo Stat(const std::string &path, TFollow follow = TFollow::Links);
// Which file the path leads to (links followed); false when nothing is there. Asked only
// where identity matters: it may cost an open on some systems.
bool IdOf(const std::string &path, TFileId &id);
// Anything at all at the path, a dangling link included.
inline bool Exists(const std::string &path) { return Stat(path, TFollow::NotLinks).Exists(); }

// 0 when the user may write the file (or create in the folder), else why not. Permissions
// are only looked at, never changed.
int CheckWritable(const std::string &path);
bool IsWritableFolder(const std::string &folder);
// The path with every symbolic link resolved; empty (and *error) when it cannot be.
std::string ResolveLinks(const std::string &path, int *error = nullptr);

// Creates the folder and the missing ones above it; the ones made are appended to
// `created`, outermost first. 0 or why not.
int CreateFolders(const std::string &folder, std::vector<std::string> *created = nullptr);
// Removes a folder only when it is empty; false otherwise.
bool RemoveEmptyFolder(const std::string &folder);
// Removes a file (or link); 0 or why not.
int RemoveFile(const std::string &path);
// Moves `from` to `to` unless something is there: EEXIST then, and nothing changes.
int RenameNoReplace(const std::string &from, const std::string &to);
// Moves `from` over `to` in one step, replacing what was there.
int Replace(const std::string &from, const std::string &to);

// An open file. Reads and writes go straight to the system at the offsets given.
class TFile {
public:
    enum class Mode { Read, ReadWrite };
    // Who may use a new file: the user's usual rights (0666 less the umask), or the user alone.
    enum class Access { Usual, Private };

    TFile() = default;
    ~TFile();
    TFile(TFile &&other) noexcept;
    TFile &operator=(TFile &&other) noexcept;
    TFile(const TFile &) = delete;
    TFile &operator=(const TFile &) = delete;

    // An existing regular file; never creates one. Links are followed unless told not to.
    bool Open(const std::string &path, Mode mode = Mode::Read, TFollow follow = TFollow::Links);
    // A new file that did not exist (never through a link).
    bool Create(const std::string &path, Access access = Access::Usual);
    // A new file of a unique name in the folder: prefix + six characters + suffix; its
    // path in *path.
    bool CreateUnique(const std::string &folder, const std::string &prefix, const std::string &suffix,
                      std::string *path, Access access = Access::Usual);
    // The same for a name in a folder of ours, reached through the held folder; a link
    // there is never followed.
    bool Open(const TOwnFolder &folder, const std::string &name, Mode mode = Mode::Read);
    bool Create(const TOwnFolder &folder, const std::string &name, Access access = Access::Usual);
    bool IsOpen() const;
    // 0 or the error of the last write that reached the system late.
    int Close();

    std::int64_t Size();
    std::size_t ReadSomeAt(std::int64_t offset, void *buf, std::size_t n);
    bool ReadAt(std::int64_t offset, void *buf, std::size_t n) { return n == 0 || ReadSomeAt(offset, buf, n) == n; }
    bool WriteAt(std::int64_t offset, const void *data, std::size_t n);
    bool Truncate(std::int64_t size);
    // Gives the file the owner (where we may) and permissions of the file at `like`.
    bool TakeOwnerAndMode(const std::string &like);
    bool TakeOwnerAndMode(const TFile &like);

    // The errno value of the last failure.
    int Error() const { return error_; }

private:
    std::intptr_t handle_ = -1;  // the system's handle of the open file
    int error_ = 0;
};

// Gives the file at `path` the permission bits of the file at `like`.
int TakeModeOf(const std::string &path, const std::string &like);

// One name of a folder listing, without "." and "..".
struct TFolderEntry {
    std::string name;         // raw bytes
    TKind kind = TKind::None; // None when the listing does not tell: ask Stat
};

// Reads a folder's names one by one; the folder stays open until the reader goes.
class TFolderReader {
public:
    explicit TFolderReader(const std::string &folder);
    ~TFolderReader();
    TFolderReader(const TFolderReader &) = delete;
    TFolderReader &operator=(const TFolderReader &) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    bool Next(TFolderEntry &entry);
    // What the name leads to (links followed), relative to the open folder.
    TFileInfo Stat(const std::string &name);

private:
    void *handle_ = nullptr;
    std::string folder_;
};

// The user's home folder (never empty: "/" when unknown).
std::string HomeFolder();
// Where the user's settings go: $XDG_CONFIG_HOME (when absolute), else ~/.config; on
// Windows %APPDATA%.
std::string UserConfigFolder();
// Whether the stream is a terminal (for live progress lines).
bool IsTerminal(std::FILE *stream);

}  // namespace trackmill::os
