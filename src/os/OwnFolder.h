// A folder of ours inside a folder other users may write (an output folder): made
// exclusively, for this user alone, and held open. What is made in it is reached through
// the held folder (a descriptor on POSIX; on Windows a handle that keeps the folder from
// being renamed or removed), never through a name another user could swap for a link:
// they may rename the folder's name away, but not what is in it.
#pragma once

#include "os/Files.h"

#include <cstdint>
#include <string>

namespace trackmill::os {

class TOwnFolder {
public:
    TOwnFolder() = default;
    // Only lets go of the folder: a program still writing in it keeps its file, and a
    // later run clears what is left (see TPrivateFolder::RemoveAbandoned).
    ~TOwnFolder();
    TOwnFolder(const TOwnFolder &) = delete;
    TOwnFolder &operator=(const TOwnFolder &) = delete;

    // Makes prefix + six characters in `parent` and holds it. 0 or why not.
    int Create(const std::string &parent, const std::string &prefix);
    bool IsOpen() const;
    // Where it was made: for messages and for a program's working folder where the system
    // takes only a path; never to reach what is in it.
    const std::string &Path() const { return path_; }
    // The held folder: a descriptor, or a Windows handle.
    std::intptr_t Handle() const { return handle_; }

    // What stands at the name in it; links are not followed.
    TFileInfo Stat(const std::string &name) const;
    int RemoveFile(const std::string &name);
    // Moves one of its files over another of its names.
    int Rename(const std::string &from, const std::string &to);
    // Gives its file the permission bits of the file at `like`.
    int TakeModeOf(const std::string &name, const std::string &like);
    // Moves its file to `to`, outside; without `replace` nothing there is replaced (EEXIST).
    int MoveOut(const std::string &name, const std::string &to, bool replace);
    // Removes what is in it, and the folder when its name still leads to it.
    void Remove();

private:
    void Release();

    std::string path_;
    std::intptr_t handle_ = -1;
};

}  // namespace trackmill::os
