// The window's commands run through TAppRunner components: the form's AppRunner1 for the
// first file at a time, further runners made as needed when several files run at once.
#pragma once

#include "engine/CommandRunner.h"
#include "system/Pipeline.h"

#include <QObject>

#include <functional>
#include <map>
#include <vector>

namespace trackmill {

class TAppRunner;

class TRunnerPool : public QObject, public TCommandRunner {
    Q_OBJECT
public:
    // `first` is used first and is not owned; the others are children of the pool.
    explicit TRunnerPool(TAppRunner *first, QObject *parent = nullptr);
    // Commands still running keep running. Those stopped are given the rest of their
    // grace and then killed.
    ~TRunnerPool() override;

    void SetHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }
    StartResult Start(std::uint64_t id, const std::vector<std::string> &argv, const os::TOwnFolder *workFolder,
                      std::string *error) override;
    void Stop(std::uint64_t id) override;

    // Called when `first` goes away with its window: no more runs through it.
    void Forget(TAppRunner *runner);

    // Every runner's end event goes through this handler when one is set (the window
    // names it after its first runner); it hands the end back with Terminated.
    void SetOnTerminated(std::function<void(TAppRunner &)> handler) { onTerminated_ = std::move(handler); }
    void Terminated(TAppRunner &runner);
    int RunnerCount() const { return int(runners_.size()); }

private:
    TAppRunner *FreeRunner();

    Handlers handlers_;
    std::function<void(TAppRunner &)> onTerminated_;
    std::vector<TAppRunner *> runners_;
    std::map<TAppRunner *, std::uint64_t> busy_;
    platform::TStoppedGroups stopped_;
};

}  // namespace trackmill
