#include "system/AppRun.h"

#include "system/Pipeline.h"
#include "system/Platform.h"

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>


namespace trackmill {

namespace {

constexpr int kOutputWaitMs = TAppRunner::PollInterval - 10;

void ReportHandlerError(const char *what)
{
    std::fprintf(stderr, "trackmill: an event handler of the process runner failed: %s\n", what);
}

}  // namespace

struct TAppRunner::Shared {
    std::mutex m;
    std::condition_variable cv;
    bool stop = false;
    bool watching = false;
    std::uint64_t generation = 0;                       // one per successful Run
    std::unique_ptr<platform::TPipeline> pipeline;      // of `generation`, until the worker takes it
    std::vector<std::unique_ptr<platform::TPipeline>> abandoned;  // replaced before their end was seen
    std::uint64_t postedTicket = 0;
    std::uint64_t doneTicket = 0;
    TAppRunner *runner = nullptr;   // main thread only; null once destruction began
    QObject *relay = nullptr;       // lives in the main thread, receives the hand-overs
    std::thread worker;

    bool StopRequested()
    {
        std::lock_guard lock(m);
        return stop;
    }

    // Runs `call` on the main thread and waits until it has run. Gives up (false) when
    // the runner is being destroyed, so a destructor on the main thread never waits for
    // a worker that waits for the main thread.
    bool HandOver(const std::shared_ptr<Shared> &self, std::uint64_t forGeneration,
                  std::function<void(TAppRunner &)> call)
    {
        std::unique_lock lock(m);
        if (stop) return false;
        const std::uint64_t ticket = ++postedTicket;
        QObject *target = relay;
        lock.unlock();
        QMetaObject::invokeMethod(
            target,
            [self, ticket, forGeneration, call = std::move(call)]() {
                TAppRunner *owner = self->runner;
                bool current;
                {
                    std::lock_guard guard(self->m);
                    current = self->generation == forGeneration;
                }
                if (owner && current) {
                    ++owner->HandlerDepth_;
                    try {
                        call(*owner);
                    } catch (const std::exception &e) {
                        ReportHandlerError(e.what());
                    } catch (...) {
                        ReportHandlerError("unknown exception");
                    }
                    // The handler may have destroyed the runner.
                    if (self->runner) --owner->HandlerDepth_;
                }
                std::lock_guard guard(self->m);
                self->doneTicket = std::max(self->doneTicket, ticket);
                self->cv.notify_all();
            },
            Qt::QueuedConnection);
        lock.lock();
        cv.wait(lock, [&] { return stop || doneTicket >= ticket; });
        return !stop;
    }

    static void Loop(std::shared_ptr<Shared> self);
};

void TAppRunner::Shared::Loop(std::shared_ptr<Shared> self)
{
    Shared &s = *self;
    std::uint64_t myGeneration = 0;
    std::unique_ptr<platform::TPipeline> pipeline;  // null once its end was handed over
    std::vector<std::unique_ptr<platform::TPipeline>> abandoned;  // reaped quietly

    std::unique_lock lock(s.m);
    while (true) {
        s.cv.wait(lock, [&] { return s.stop || s.watching; });
        if (s.stop) break;
        if (s.generation != myGeneration) {
            if (pipeline) {
                pipeline->CloseOutput();
                abandoned.push_back(std::move(pipeline));
            }
            myGeneration = s.generation;
            pipeline = std::move(s.pipeline);
        }
        for (auto &old : s.abandoned) abandoned.push_back(std::move(old));
        s.abandoned.clear();
        lock.unlock();

        std::erase_if(abandoned, [](const auto &old) { return old->Collect().ended; });

        // Wait up to 90 ms for output, then look at the process.
        if (pipeline && pipeline->OutputOpen()) {
            pipeline->WaitForOutput(kOutputWaitMs);
        } else {
            lock.lock();
            s.cv.wait_for(lock, std::chrono::milliseconds(kOutputWaitMs),
                          [&] { return s.stop || s.generation != myGeneration; });
            lock.unlock();
        }
        if (s.StopRequested() || !pipeline) {
            lock.lock();
            continue;
        }

        platform::TPipeline::Progress progress = pipeline->Collect();
        if (!progress.output.empty() &&
            !s.HandOver(self, myGeneration, [generation = myGeneration, text = std::move(progress.output)](TAppRunner &r) {
                r.NotifyOutput(generation, text);
            })) {
            lock.lock();
            break;
        }
        if (progress.ended) {
            pipeline.reset();
            const auto exitCode = static_cast<std::uint32_t>(progress.exitStatus);
            const bool delivered = s.HandOver(self, myGeneration, [generation = myGeneration, exitCode](TAppRunner &r) {
                r.NotifyTerminated(generation, exitCode);
            });
            lock.lock();
            if (!delivered) break;
            // Park, unless a new run was started from inside the end event.
            if (s.generation == myGeneration) s.watching = false;
            continue;
        }
        lock.lock();
    }
    lock.unlock();
    // The process keeps running; it only loses its reader.
}

TAppRunner::TAppRunner(QObject *Owner) : QObject(Owner), Shared_(std::make_shared<Shared>())
{
    Shared_->runner = this;
    Shared_->relay = new QObject;
    Shared_->worker = std::thread(&Shared::Loop, Shared_);
}

TAppRunner::~TAppRunner()
{
    QObject *relay;
    {
        std::lock_guard lock(Shared_->m);
        Shared_->stop = true;
        Shared_->runner = nullptr;
        relay = Shared_->relay;
        Shared_->pipeline.reset();
    }
    Shared_->cv.notify_all();
    if (Shared_->worker.joinable()) Shared_->worker.join();
    // Inside one of our own hand-overs the relay is still delivering it.
    if (HandlerDepth_ > 0)
        relay->deleteLater();
    else
        delete relay;
}

bool TAppRunner::Run()
{
    IdleNotified_ = false;
    Finished_ = false;
    ExitCode_ = StillActive;
    LastError_.clear();
    LastErrno_ = 0;

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
    const std::string &workDir = CurrentDirectory_;
    if (!workDir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(workDir, ec)) {
            LastError_ = "the working folder does not exist: " + workDir;
            return false;
        }
    }
    const std::string path = platform::FindCommand(program, workDir);
    if (path.empty()) {
        LastError_ = "program not found: " + program;
        LastErrno_ = ENOENT;
        return false;
    }
    int error = 0;
    auto pipeline = platform::TPipeline::Start(path, *words, workDir, error, WorkFolder_);
    if (!pipeline) {
        LastError_ = "cannot start " + path + ": " + platform::StartErrorText(error);
        LastErrno_ = error;
        return false;
    }

    ProcessId_ = pipeline->ProcessId();
    ProcessGroup_ = pipeline->Group();
    Running_ = true;
    {
        std::lock_guard lock(Shared_->m);
        if (Shared_->pipeline) {
            // A run the worker never picked up.
            Shared_->pipeline->CloseOutput();
            Shared_->abandoned.push_back(std::move(Shared_->pipeline));
        }
        ++Shared_->generation;
        Shared_->pipeline = std::move(pipeline);
        Shared_->watching = true;
    }
    Shared_->cv.notify_all();
    return true;
}

bool TAppRunner::Stop(int Signal)
{
    if (!Running_) return false;
    return platform::SignalGroup(ProcessGroup_, Signal);
}

void TAppRunner::NotifyTerminated(std::uint64_t, std::uint32_t Status)
{
    Finished_ = true;
    ExitCode_ = Status;
    Running_ = false;
    DoTerminated();
}

void TAppRunner::NotifyOutput(std::uint64_t, const std::string &Text)
{
    DoOutput(Text);
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

void TAppRunner::DoOutput(const std::string &Text)
{
    if (auto handler = OnOutput_) handler(*this, Text);
}

}  // namespace trackmill
