// A conversion session as both front ends run it: the job with this platform's programs
// and script, the pool that runs its commands, and the list that fills its queue with the
// files that hold a Musepack stream. The window and trackmill-cli each add their own host
// (timers, shutdown) and observer.
#pragma once

#include "collect/TranscodeList.h"
#include "engine/TranscodeJob.h"

#include <memory>
#include <string>

namespace trackmill {

class TProcessPool;

class TSession {
public:
    // `programFolder` is where the programs are looked for first (beside our executable);
    // the window pauses between files, the terminal does not. Without a runner the
    // session runs the commands on a pool of its own.
    TSession(TJobHost &host, const std::string &programFolder, int pauseBetweenFilesMs,
             TCommandRunner *runner = nullptr);
    ~TSession();
    TSession(const TSession &) = delete;
    TSession &operator=(const TSession &) = delete;

    TranscodeJob &Job() { return *job_; }
    TTranscodeList &List() { return *list_; }
    TWorkQueue &Queue() { return job_->Queue(); }

private:
    std::unique_ptr<TProcessPool> ownPool_;
    std::unique_ptr<TranscodeJob> job_;
    std::unique_ptr<TTranscodeList> list_;
};

}  // namespace trackmill
