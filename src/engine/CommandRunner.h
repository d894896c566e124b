// What the job needs of whatever runs its commands: start one by its item's id, stop it,
// and hear its output and its end. The runner layer implements it with one pool for both
// front ends; tests implement it with stand-ins.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trackmill {

namespace os {
class TOwnFolder;
}

class TCommandRunner {
public:
    enum class StartResult {
        Started,
        TryLater,  // the system is out of processes or descriptors for now
        Failed,    // this command can never start (program missing, ...)
    };
    struct Handlers {
        std::function<void(std::uint64_t id, const std::string &text)> output;
        // The exit status, or 128 + the signal number.
        std::function<void(std::uint64_t id, int status)> ended;
    };

    virtual ~TCommandRunner() = default;
    // Handlers run on the thread that owns the runner, never from inside Start.
    virtual void SetHandlers(Handlers handlers) = 0;
    // argv[0] is an absolute path. The command runs in a process group of its own, so a
    // terminal's Ctrl-C reaches only us, and in `workFolder` (entered through the held
    // folder, not by its name), or in ours when there is none.
    virtual StartResult Start(std::uint64_t id, const std::vector<std::string> &argv, const os::TOwnFolder *workFolder,
                              std::string *error) = 0;
    // Ends the command's whole process group; its end is still reported.
    virtual void Stop(std::uint64_t id) = 0;
};

}  // namespace trackmill
