// Runs the job's commands for both front ends: any number at once, each end noticed the
// moment it happens (the event loop watches the pipeline's end handle, a pidfd), so the
// next file starts without a pause. Handlers run on the thread of the event loop that
// owns the pool.
#pragma once

#include "engine/CommandRunner.h"
#include "system/Pipeline.h"

#include <QObject>

class QTimer;

#include <map>
#include <memory>

namespace trackmill {

class TProcessPool : public QObject, public TCommandRunner {
    Q_OBJECT
public:
    explicit TProcessPool(QObject *parent = nullptr);
    // Commands still running keep running; they are no longer watched. Those stopped are
    // given the rest of their grace and then killed.
    ~TProcessPool() override;

    void SetHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }
    StartResult Start(std::uint64_t id, const std::vector<std::string> &argv, const os::TOwnFolder *workFolder,
                      std::string *error) override;
    // Asks the command's process group to end; what is left of it a second later is killed.
    void Stop(std::uint64_t id) override;
    int RunningCount() const { return int(processes_.size()); }

protected:
    // Starts `program` (an absolute path) with `argv` in `workDir` or `workFolder` (both
    // empty: ours). False with the platform's error number in `error`.
    bool Launch(std::uint64_t id, const std::string &program, const std::vector<std::string> &argv,
                const std::string &workDir, const os::TOwnFolder *workFolder, int &error);

private:
    struct Process;
    void Collect(std::uint64_t id);
    void Poll();

    Handlers handlers_;
    std::map<std::uint64_t, std::unique_ptr<Process>> processes_;
    QTimer *pollTimer_ = nullptr;  // only where the system has no end handle
    platform::TStoppedGroups stopped_;
};

}  // namespace trackmill
