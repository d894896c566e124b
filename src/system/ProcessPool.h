// Runs the job's commands for the terminal: any number at once, each end noticed the
// moment it happens (through a pidfd watched by the event loop), so the next file starts
// without a pause. Handlers run on the thread of the event loop that owns the pool.
#pragma once

#include "engine/CommandRunner.h"

#include <QObject>

class QTimer;

#include <map>
#include <memory>

namespace trackmill {

class TProcessPool : public QObject, public TCommandRunner {
    Q_OBJECT
public:
    explicit TProcessPool(QObject *parent = nullptr);
    // Commands still running keep running; they are no longer watched.
    ~TProcessPool() override;

    void SetHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }
    StartResult Start(std::uint64_t id, const std::vector<std::string> &argv, std::string *error) override;
    void Stop(std::uint64_t id) override;
    // Signals every running command's process group.
    void StopAll(int signal);
    int RunningCount() const { return int(processes_.size()); }

private:
    struct Process;
    void ReadOutput(Process &p, std::size_t limit);
    void CheckEnded(std::uint64_t id);
    void Poll();

    Handlers handlers_;
    std::map<std::uint64_t, std::unique_ptr<Process>> processes_;
    QTimer *pollTimer_ = nullptr;  // only where the system has no pidfd
};

}  // namespace trackmill
