#include "system/RunnerPool.h"

#include "system/AppRun.h"
#include "system/Platform.h"

#include <QTimer>

#include <algorithm>

namespace trackmill {

TRunnerPool::TRunnerPool(TAppRunner *first, QObject *parent) : QObject(parent)
{
    if (first) runners_.push_back(first);
}

TRunnerPool::~TRunnerPool() = default;

void TRunnerPool::Forget(TAppRunner *runner)
{
    runners_.erase(std::remove(runners_.begin(), runners_.end(), runner), runners_.end());
    busy_.erase(runner);
}

TAppRunner *TRunnerPool::FreeRunner()
{
    for (TAppRunner *r : runners_)
        if (!busy_.count(r) && !r->Running()) return r;
    auto *r = new TAppRunner(this);
    runners_.push_back(r);
    return r;
}

TCommandRunner::StartResult TRunnerPool::Start(std::uint64_t id, const std::vector<std::string> &argv,
                                               const os::TOwnFolder *workFolder, std::string *error)
{
    if (argv.empty()) {
        if (error) *error = "no program to start";
        return StartResult::Failed;
    }
    TAppRunner *runner = FreeRunner();
    std::string line;
    for (const std::string &word : argv) line += (line.empty() ? "" : " ") + platform::ShellQuote(word);
    runner->SetApplicationName(argv.front());
    runner->SetCommandLine(line);
    runner->SetWorkFolder(workFolder);
    runner->SetOnOutput([this](TAppRunner &r, const std::string &text) {
        const auto it = busy_.find(&r);
        if (it != busy_.end() && handlers_.output) handlers_.output(it->second, text);
    });
    runner->SetOnTerminated([this](TAppRunner &r) {
        if (onTerminated_)
            onTerminated_(r);
        else
            Terminated(r);
    });
    const bool started = runner->Run();
    runner->SetWorkFolder(nullptr);  // held only while it starts
    if (!started) {
        if (error) *error = runner->LastError();
        const int err = runner->LastErrno();
        return err != 0 && platform::IsTransientStartError(err) ? StartResult::TryLater : StartResult::Failed;
    }
    busy_[runner] = id;
    return StartResult::Started;
}

void TRunnerPool::Terminated(TAppRunner &runner)
{
    const auto it = busy_.find(&runner);
    if (it == busy_.end()) return;
    const std::uint64_t ended = it->second;
    busy_.erase(it);
    if (handlers_.ended) handlers_.ended(ended, static_cast<int>(runner.ExitCode()));
}

void TRunnerPool::Stop(std::uint64_t id)
{
    for (const auto &[runner, busyId] : busy_) {
        if (busyId != id) continue;
        stopped_.Stop(runner->ProcessGroup());
        QTimer::singleShot(platform::kStopGraceMs, this, [this] { stopped_.KillOverdue(); });
    }
}

}  // namespace trackmill
