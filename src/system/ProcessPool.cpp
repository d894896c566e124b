#include "system/ProcessPool.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

namespace trackmill {

namespace {

constexpr int kFallbackPollMs = 10;

}  // namespace

struct TProcessPool::Process {
    std::unique_ptr<platform::TPipeline> pipeline;
    // Declared after the pipeline: they go before its handles are closed.
    std::unique_ptr<QSocketNotifier> outputNotifier;
    std::unique_ptr<QSocketNotifier> endNotifier;
};

TProcessPool::TProcessPool(QObject *parent) : QObject(parent) {}

// Reap nothing: the commands finish on their own; only our watching ends.
TProcessPool::~TProcessPool() = default;

TCommandRunner::StartResult TProcessPool::Start(std::uint64_t id, const std::vector<std::string> &argv,
                                                const os::TOwnFolder *workFolder, std::string *error)
{
    if (argv.empty()) {
        if (error) *error = "no program to start";
        return StartResult::Failed;
    }
    int err = 0;
    if (!Launch(id, argv.front(), argv, {}, workFolder, err)) {
        if (error) *error = "cannot start " + argv.front() + ": " + platform::StartErrorText(err);
        return platform::IsTransientStartError(err) ? StartResult::TryLater : StartResult::Failed;
    }
    return StartResult::Started;
}

bool TProcessPool::Launch(std::uint64_t id, const std::string &program, const std::vector<std::string> &argv,
                          const std::string &workDir, const os::TOwnFolder *workFolder, int &error)
{
    auto p = std::make_unique<Process>();
    p->pipeline = platform::TPipeline::Start(program, argv, workDir, error, workFolder);
    if (!p->pipeline) return false;
    if (p->pipeline->OutputHandle() >= 0) {
        p->outputNotifier = std::make_unique<QSocketNotifier>(p->pipeline->OutputHandle(), QSocketNotifier::Read);
        connect(p->outputNotifier.get(), &QSocketNotifier::activated, this, [this, id] { Collect(id); });
    }
    if (p->pipeline->OutputHandle() >= 0 && p->pipeline->EndHandle() >= 0) {
        p->endNotifier = std::make_unique<QSocketNotifier>(p->pipeline->EndHandle(), QSocketNotifier::Read);
        connect(p->endNotifier.get(), &QSocketNotifier::activated, this, [this, id] { Collect(id); });
    } else if (!pollTimer_) {
        pollTimer_ = new QTimer(this);
        connect(pollTimer_, &QTimer::timeout, this, &TProcessPool::Poll);
        pollTimer_->start(kFallbackPollMs);
    }
    processes_[id] = std::move(p);
    return true;
}

void TProcessPool::Collect(std::uint64_t id)
{
    auto it = processes_.find(id);
    if (it == processes_.end()) return;
    Process &p = *it->second;
    platform::TPipeline::Progress progress = p.pipeline->Collect();
    if (!progress.ended) {
        // An ended output would wake the loop for ever.
        if (!p.pipeline->OutputOpen() && p.outputNotifier) p.outputNotifier->setEnabled(false);
        if (!progress.output.empty() && handlers_.output) handlers_.output(id, progress.output);
        return;
    }
    processes_.erase(it);
    // The handlers may start the next command, which changes processes_.
    QPointer<TProcessPool> alive(this);
    if (!progress.output.empty() && handlers_.output) handlers_.output(id, progress.output);
    if (alive && handlers_.ended) handlers_.ended(id, progress.exitStatus);
}

void TProcessPool::Poll()
{
    std::vector<std::uint64_t> ids;
    for (const auto &[id, p] : processes_) ids.push_back(id);
    for (std::uint64_t id : ids) Collect(id);
    if (processes_.empty() && pollTimer_) {
        pollTimer_->deleteLater();
        pollTimer_ = nullptr;
    }
}

void TProcessPool::Stop(std::uint64_t id)
{
    const auto it = processes_.find(id);
    if (it == processes_.end()) return;
    stopped_.Stop(it->second->pipeline->Group());
    QTimer::singleShot(platform::kStopGraceMs, this, [this] { stopped_.KillOverdue(); });
}

}  // namespace trackmill
