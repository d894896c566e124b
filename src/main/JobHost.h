// The window's side of the transcode job: how the job reads the controls and the list,
// starts the runner, arms the timer and reports back.
#pragma once

#include "engine/TranscodeJob.h"

namespace trackmill {

class TForm1;

class TForm1JobHost : public TTranscodeHost {
public:
    explicit TForm1JobHost(TForm1 &form) : form_(form) {}

    // The platform's command, script and programs.

    int ListCount() const override;
    std::string ListEntry0() const override;
    void RemoveListEntry0() override;
    void FocusListEntry0() override;
    TJobSettings Settings() const override;
    bool ProgramFound(const std::string &name) override;
    bool StartProcess(const std::string &application, const std::string &commandLine) override;
    void ArmTimer(int milliseconds) override;
    void ProcessEvents() override;
    bool RequestShutdown() override;
    void ShowErrorBox(const std::string &message) override;
    void ShowStandardError(const std::string &message) override;
    void ShowFileInfo(const std::string &path) override;
    void ClearFileInfo() override;
    void SetControlStates(const TControlStates &states) override;
    void FileStarted(const TFileStart &start) override;
    void FileFinished(const TFileResult &result) override;
    void JobEnded(const TJobEnd &end) override;

private:
    TForm1 &form_;
};

}  // namespace trackmill
