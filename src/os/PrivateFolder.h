// A folder that only this user can reach, for the commands' scripts and the decoders'
// status files: under $XDG_RUNTIME_DIR when that is the user's own (mode 0700), else made
// with a unique name in the system's temporary folder. Its files are made, read and
// removed relative to the folder opened once, never through a link, so no other user can
// put anything of theirs in their place. Removed, with what is in it, when the object goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace trackmill::os {

class TPrivateFolder {
public:
    TPrivateFolder() = default;
    ~TPrivateFolder();
    TPrivateFolder(const TPrivateFolder &) = delete;
    TPrivateFolder &operator=(const TPrivateFolder &) = delete;

    // Makes the folder unless it is there; false with *error when it cannot be made.
    bool Ensure(std::string *error);
    // Removes the folder and its files; the next Ensure makes a new one.
    void Remove();
    const std::string &Path() const { return path_; }

    // Creates a file of that name (one not there yet) holding the text, readable by the
    // user alone.
    bool WriteFile(const std::string &name, const std::string &content, std::string *error);
    // The file's text, at most maxBytes of it; nothing when it is not there.
    std::optional<std::string> ReadFile(const std::string &name, std::size_t maxBytes = 4096) const;
    // At most maxBytes of it from the offset on (empty at or past its end).
    std::optional<std::string> ReadFileFrom(const std::string &name, std::uint64_t offset, std::size_t maxBytes) const;
    void RemoveFile(const std::string &name);

    // Notes a temporary file this process made elsewhere (an MP3 under its temporary
    // name), so that another run does not take it for one left behind.
    void NoteTemporary(const std::string &path);

    // Removes the private folders of runs that ended without removing theirs (killed) and
    // that nothing touched for maxAgeSeconds, with the temporary files they noted that are
    // as old: only those of a run whose maker is known to be gone.
    static void RemoveAbandoned(std::int64_t maxAgeSeconds);

    // Where the folder would be made: the runtime folder when it is the user's own, else
    // a temporary folder others cannot take entries from; empty when there is none.
    static std::string BaseFolder();
    // A folder of this user's alone under the same name at every run (where the window
    // listens for a second start): `name` and the user's number in BaseFolder(), made with
    // mode 0700 when missing. Empty when what stands there is not such a folder of this
    // user's, or on Windows, whose pipes are not in folders.
    static std::string StandingFolder(const std::string &name);

private:
    std::string path_;
    std::intptr_t handle_ = -1;  // the open folder: a descriptor, or a Windows handle
};

}  // namespace trackmill::os
