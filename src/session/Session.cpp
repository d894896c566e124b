#include "session/Session.h"

#include "collect/FileNames.h"
#include "engine/Acceptance.h"
#include "system/JobPlatform.h"
#include "system/ProcessPool.h"

namespace trackmill {

TSession::TSession(TJobHost &host, const std::string &programFolder, int pauseBetweenFilesMs, TCommandRunner *runner)
{
    if (!runner) {
        ownPool_ = std::make_unique<TProcessPool>();
        runner = ownPool_.get();
    }
    job_ = std::make_unique<TranscodeJob>(*runner, host, platform::JobPlatform(programFolder, pauseBetweenFilesMs));
    list_ = std::make_unique<TTranscodeList>(
        job_->Queue(), [](const QString &path) { return HasValidMusepackHeader(BytesOfName(path)); });
}

// The list first: a collection still running fills the job's queue.
TSession::~TSession()
{
    list_.reset();
    job_.reset();
}

}  // namespace trackmill
