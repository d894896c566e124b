// The Windows side of a pipeline: CreateProcessW with a pipe for the merged output, no
// console of its own (so the console's Ctrl-C reaches only us), in a job object of its
// own that stands for the process group: ending the job ends what the command started,
// and when our last handle goes (the program ends) the job's processes end with it.
#include "system/Pipeline.h"

#include "system/Platform.h"
#include "os/OwnFolder.h"
#include "os/Path.h"
#include "os/windows/Wide.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace trackmill::platform {

namespace {

// Handles are made inheritable only around one CreateProcessW at a time, so a command
// started meanwhile never holds another's pipe open.
std::mutex gStartMutex;

// The jobs by their group id; kept until nothing is left in them.
std::mutex gJobsMutex;
std::map<GroupId, HANDLE> gJobs;
GroupId gNextGroup = 1;

HANDLE JobOf(GroupId group)
{
    std::lock_guard lock(gJobsMutex);
    const auto found = gJobs.find(group);
    return found == gJobs.end() ? nullptr : found->second;
}

DWORD ActiveProcesses(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr)) return 0;
    return info.ActiveProcesses;
}

// The exit statuses of the POSIX signals, so that a stopped command reads the same.
constexpr UINT kAskedToEnd = 128 + 15;
constexpr UINT kKilled = 128 + 9;

std::wstring CommandLineOf(const std::vector<std::string> &argv)
{
    std::string line;
    for (const std::string &word : argv) line += (line.empty() ? "" : " ") + ShellQuote(word);
    return os::Wide(line);
}

}  // namespace

struct TPipeline::Native {
    HANDLE process = nullptr;
    HANDLE output = nullptr;  // read end of the merged output
    DWORD pid = 0;
    GroupId group = 0;
};

TPipeline::TPipeline(std::unique_ptr<Native> native) : native_(std::move(native)) {}

TPipeline::~TPipeline()
{
    CloseOutput();
    if (native_->process) {
        // A job whose command has ended is not needed any more; one still running stays
        // until it ends or we do.
        if (HANDLE job = JobOf(native_->group); job && ActiveProcesses(job) == 0) {
            std::lock_guard lock(gJobsMutex);
            gJobs.erase(native_->group);
            ::CloseHandle(job);
        }
        ::CloseHandle(native_->process);
    }
}

std::unique_ptr<TPipeline> TPipeline::Start(const std::string &program, const std::vector<std::string> &argv,
                                            const std::string &workDir, int &error,
                                            const os::TOwnFolder *workFolder)
{
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, nullptr, 0)) {
        error = os::LastErrno();
        return nullptr;
    }
    const HANDLE nothing = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
    const HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (nothing == INVALID_HANDLE_VALUE || !job) {
        error = os::LastErrno();
        ::CloseHandle(readEnd);
        ::CloseHandle(writeEnd);
        if (nothing != INVALID_HANDLE_VALUE) ::CloseHandle(nothing);
        if (job) ::CloseHandle(job);
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION started{};
    std::wstring commandLine = CommandLineOf(argv);
    const std::wstring application = os::Wide(program);
    // The system takes a working folder only by its path; the held folder cannot be
    // renamed or removed while it is open, so the path leads to it.
    const std::wstring folder = os::Wide(workFolder ? os::Native(workFolder->Path()) : workDir);
    BOOL ok = FALSE;
    {
        std::lock_guard lock(gStartMutex);
        ::SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        ::SetHandleInformation(nothing, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        ok = ::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                              CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &startup, &started);
        if (!ok) error = os::LastErrno();
        ::SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    }
    ::CloseHandle(writeEnd);
    ::CloseHandle(nothing);
    if (!ok) {
        ::CloseHandle(readEnd);
        ::CloseHandle(job);
        return nullptr;
    }
    // In the job before it runs, so everything it starts is in the job too. A command
    // outside it could not be stopped: it does not run at all.
    if (!::AssignProcessToJobObject(job, started.hProcess)) {
        error = os::LastErrno();
        ::TerminateProcess(started.hProcess, kKilled);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        ::CloseHandle(readEnd);
        ::CloseHandle(job);
        return nullptr;
    }
    ::ResumeThread(started.hThread);
    ::CloseHandle(started.hThread);

    auto native = std::make_unique<Native>();
    native->process = started.hProcess;
    native->output = readEnd;
    native->pid = started.dwProcessId;
    {
        std::lock_guard lock(gJobsMutex);
        native->group = gNextGroup++;
        gJobs[native->group] = job;
    }
    error = 0;
    return std::unique_ptr<TPipeline>(new TPipeline(std::move(native)));
}

void TPipeline::ReadAvailable(std::size_t limit)
{
    char buffer[8192];
    std::size_t total = 0;
    while (native_->output && total < limit) {
        DWORD available = 0;
        if (!::PeekNamedPipe(native_->output, nullptr, 0, nullptr, &available, nullptr)) {
            CloseOutput();  // every writer has gone
            break;
        }
        if (available == 0) break;
        DWORD got = 0;
        if (!::ReadFile(native_->output, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0) {
            CloseOutput();
            break;
        }
        pending_.append(buffer, got);
        total += got;
    }
}

bool TPipeline::PollEnd(int &exitStatus)
{
    if (::WaitForSingleObject(native_->process, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 255;
    if (!::GetExitCodeProcess(native_->process, &code)) code = 255;
    exitStatus = code <= INT_MAX ? static_cast<int>(code) : 255;
    return true;
}

bool TPipeline::WaitForOutput(int ms)
{
    // An anonymous pipe cannot be waited on: look every few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (native_->output) {
        DWORD available = 0;
        if (!::PeekNamedPipe(native_->output, nullptr, 0, nullptr, &available, nullptr) || available > 0) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool TPipeline::OutputOpen() const { return native_->output != nullptr; }

void TPipeline::CloseOutput()
{
    if (native_->output) ::CloseHandle(native_->output);
    native_->output = nullptr;
}

// Pipes and processes cannot be watched by an event loop's socket notifier here.
std::intptr_t TPipeline::OutputHandle() const { return -1; }
std::intptr_t TPipeline::EndHandle() const { return -1; }
std::int64_t TPipeline::ProcessId() const { return native_->pid; }
GroupId TPipeline::Group() const { return native_->group; }

bool IsTransientStartError(int error) { return error == EAGAIN || error == EMFILE || error == ENOMEM; }

std::string StartErrorText(int error) { return std::strerror(error); }

void AskGroupToEnd(GroupId group)
{
    // A console program without a console has no polite way to be asked: it is ended.
    if (HANDLE job = JobOf(group)) ::TerminateJobObject(job, kAskedToEnd);
}

void KillGroup(GroupId group)
{
    if (HANDLE job = JobOf(group)) ::TerminateJobObject(job, kKilled);
}

bool SignalGroup(GroupId group, int signal)
{
    HANDLE job = JobOf(group);
    return job && ::TerminateJobObject(job, 128 + static_cast<UINT>(signal));
}

bool GroupExists(GroupId group)
{
    HANDLE job = JobOf(group);
    return job && ActiveProcesses(job) > 0;
}

}  // namespace trackmill::platform
