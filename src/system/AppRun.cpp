#include "system/AppRun.h"

#include "system/Platform.h"

#include <cstdio>
#include <exception>
#include <filesystem>

namespace trackmill {

namespace {

// Run's commands are numbered from here; the job's items never get that far.
constexpr std::uint64_t kOwnRuns = std::uint64_t(1) << 63;

bool OwnRun(std::uint64_t id) { return id >= kOwnRuns; }

void ReportHandlerError(const char *what)
{
    std::fprintf(stderr, "trackmill: an event handler of the process runner failed: %s\n", what);
}

}  // namespace

TAppRunner::TAppRunner(QObject *Owner) : TProcessPool(Owner), run_(kOwnRuns)
{
    TProcessPool::SetHandlers({[this](std::uint64_t id, const std::string &text) {
                                   if (!OwnRun(id) && commands_.output) commands_.output(id, text);
                               },
                               [this](std::uint64_t id, int status) { Ended(id, status); }});
}

bool TAppRunner::Run()
{
    Finished_ = false;
    ExitCode_ = StillActive;
    LastError_.clear();

    auto words = platform::SplitCommandLine(CommandLine_);
    if (!words) {
        LastError_ = "the command line has an unclosed quote";
        return false;
    }
    if (words->empty()) {
        if (ApplicationName_.empty()) {
            LastError_ = "no program to start";
            return false;
        }
        words->push_back(ApplicationName_);
    }
    const std::string &program = ApplicationName_.empty() ? words->front() : ApplicationName_;
    if (!CurrentDirectory_.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(CurrentDirectory_, ec)) {
            LastError_ = "the working folder does not exist: " + CurrentDirectory_;
            return false;
        }
    }
    const std::string path = platform::FindCommand(program, CurrentDirectory_);
    if (path.empty()) {
        LastError_ = "program not found: " + program;
        return false;
    }
    int error = 0;
    if (!Launch(run_ + 1, path, *words, CurrentDirectory_, nullptr, error)) {
        LastError_ = "cannot start " + path + ": " + platform::StartErrorText(error);
        return false;
    }
    ++run_;
    Running_ = true;
    return true;
}

void TAppRunner::Ended(std::uint64_t id, int status)
{
    if (!OwnRun(id)) {
        if (commands_.ended) commands_.ended(id, status);
        return;
    }
    if (id != run_) return;  // replaced by a later run
    Finished_ = true;
    ExitCode_ = static_cast<std::uint32_t>(status);
    Running_ = false;
    // Our own handler's failure must not reach the event loop: later runs still report.
    try {
        DoTerminated();
    } catch (const std::exception &e) {
        ReportHandlerError(e.what());
    } catch (...) {
        ReportHandlerError("unknown exception");
    }
}

// Each handler is called through a copy: it may destroy the runner, and with it the
// stored handler, while it runs.
void TAppRunner::DoIdle()
{
    if (auto handler = OnIdle_) handler(*this);
}

void TAppRunner::DoTerminated()
{
    if (auto handler = OnTerminated_) handler(*this);
}

}  // namespace trackmill
