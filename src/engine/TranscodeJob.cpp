#include "engine/TranscodeJob.h"

#include <cstdio>
#include <exception>
#include <sys/stat.h>

namespace trackmill {

namespace {

// Size of the file in bytes, -1 when it is missing or not a regular file.
long long FileSizeOf(const std::string &path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

const char *kStoppedSuffix = " Transcoding has stopped; the files not yet transcoded stay in the list.";

}  // namespace

TranscodeJob::TranscodeJob(TTranscodeHost &host, TJobPlatform platform)
    : host_(host), platform_(std::move(platform))
{
}

TControlStates TranscodeJob::RunningControls()
{
    return {false, false, false, true, false, false, false};
}

TControlStates TranscodeJob::IdleControls(bool programsFound)
{
    return {programsFound, true, true, false, true, true, true};
}

bool TranscodeJob::Startup()
{
    for (const TRequiredProgram &p : platform_.requiredPrograms)
        if (!host_.ProgramFound(p.name)) host_.ShowErrorBox(p.missingMessage);
    // Tested again: a program may have appeared while a box was open.
    programsFound_ = true;
    for (const TRequiredProgram &p : platform_.requiredPrograms)
        programsFound_ = programsFound_ && host_.ProgramFound(p.name);
    TControlStates states = IdleControls(programsFound_);
    states.outputDirEdit = host_.Settings().useOutputDir;
    host_.SetControlStates(states);
    return programsFound_;
}

void TranscodeJob::Start()
{
    if (Running() || state_ == State::ShutdownRequested) return;
    converted_ = 0;
    failed_ = 0;
    StartStep(false);
}

void TranscodeJob::TimerFired()
{
    if (state_ != State::BetweenFiles) return;
    // A Cancel pressed in the pause between two files would otherwise be cleared by the
    // start step, and the job would go on against the user's request.
    if (cancelRequested_) {
        EndJob(false);
        return;
    }
    StartStep(true);
}

bool TranscodeJob::StartStep(bool fromTimer)
{
    if (host_.ListCount() == 0) {
        host_.ShowErrorBox(kListEmptyMessage);
        // Only reachable between files when something emptied the list behind the job.
        if (fromTimer) EndJob(false);
        return false;
    }
    host_.FocusListEntry0();
    const std::string source = host_.ListEntry0();
    host_.ShowFileInfo(source);
    const TJobSettings settings = host_.Settings();
    const std::string output = OutputPathFor(source, settings.useOutputDir, settings.outputDir);
    const std::string command = BuildCommand(platform_.commandTemplate, settings.decoderOptions, source,
                                             settings.encoderOptions, output, platform_.quotePath);

    TFileStart start{source, output, command, host_.ListCount()};
    std::string error;
    if (!WriteScript(platform_.scriptPath, command, &error)) {
        const std::string message = "Cannot create file " + platform_.scriptPath;
        host_.FileStarted(start);
        host_.FileFinished({source, output, false, message + ": " + error, -1, {}});
        ++failed_;
        if (fromTimer) {
            host_.ShowErrorBox(message + " (" + error + ")." + kStoppedSuffix);
            EndJob(true);
        } else {
            // Nothing was switched yet: the window simply stays idle.
            host_.ShowStandardError(message);
            host_.JobEnded({converted_, failed_, host_.ListCount(), false, true, false});
            state_ = State::Idle;
        }
        return false;
    }

    cancelRequested_ = false;
    host_.FileStarted(start);
    state_ = State::Running;
    if (!host_.StartProcess(platform_.runApplication, platform_.runCommandLine)) {
        std::remove(platform_.scriptPath.c_str());
        ++failed_;
        host_.FileFinished({source, output, false, "the command could not be started", -1, {}});
        host_.ShowErrorBox("The command for " + source + " could not be started (" +
                           platform_.runCommandLine + ")." + kStoppedSuffix);
        EndJob(true);
        return false;
    }
    host_.SetControlStates(RunningControls());
    return true;
}

void TranscodeJob::ProcessEnded(int exitCode)
{
    if (state_ != State::Running) return;

    TFileResult result;
    result.exitCode = exitCode;
    if (host_.ListCount() > 0) {
        result.source = host_.ListEntry0();
        const TJobSettings settings = host_.Settings();
        result.output = OutputPathFor(result.source, settings.useOutputDir, settings.outputDir);
        // Judged before the tags go in: a tag alone must not pass for an MP3.
        const long long size = FileSizeOf(result.output);
        if (exitCode != 0)
            result.why = "the command ended with exit status " + std::to_string(exitCode);
        else if (size < 0)
            result.why = "no MP3 was written";
        else if (size == 0)
            result.why = "the MP3 is empty";
        result.ok = result.why.empty();
        try {
            result.tags = TransferTags(result.source, result.output, settings.tags);
        } catch (const std::exception &e) {
            result.why += (result.why.empty() ? "" : "; ") + std::string("tag transfer failed: ") + e.what();
        } catch (...) {
            result.why += (result.why.empty() ? "" : "; ") + std::string("tag transfer failed");
        }
    }

    std::remove(platform_.scriptPath.c_str());
    if (host_.ListCount() > 0) host_.RemoveListEntry0();
    result.ok ? ++converted_ : ++failed_;
    host_.FileFinished(result);
    // A Cancel click waiting in the queue is seen before the decision below.
    host_.ProcessEvents();

    if (host_.ListCount() > 0 && !cancelRequested_) {
        state_ = State::BetweenFiles;
        host_.ArmTimer(kNextFileDelayMs);
        return;
    }
    EndJob(false);
}

void TranscodeJob::EndJob(bool stoppedByError)
{
    TJobEnd end{converted_, failed_, host_.ListCount(), cancelRequested_, stoppedByError, false};
    const bool shutdown = !stoppedByError && host_.Settings().shutdownAfterJob;
    end.shutdownRequested = shutdown;
    host_.JobEnded(end);
    if (!shutdown) {
        ReturnToIdle();
        return;
    }
    // The controls stay as they are while the system goes down.
    state_ = State::ShutdownRequested;
    if (!host_.RequestShutdown()) {
        host_.ShowErrorBox("The system refused to shut down. Transcoding has finished; the computer keeps running.");
        ReturnToIdle();
    }
}

void TranscodeJob::ReturnToIdle()
{
    state_ = State::Idle;
    host_.SetControlStates(IdleControls(programsFound_));
    host_.ClearFileInfo();
}

}  // namespace trackmill
