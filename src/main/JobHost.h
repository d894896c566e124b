// The window's side of the transcode job: how the job reads the controls, arms the timer
// and reports back, and how its events reach the list, the console and the panel.
#pragma once

#include "engine/TranscodeJob.h"

namespace trackmill {

class TForm1;

class TForm1JobHost : public TTranscodeHost {
public:
    explicit TForm1JobHost(TForm1 &form) : form_(form) {}

    TJobSettings Settings() const override;
    void ArmTimer(int milliseconds) override;
    void ProcessEvents() override;
    bool RequestShutdown() override;
    void ShowErrorBox(const std::string &message) override;
    void ShowFileInfo(const std::string &path) override;
    void ClearFileInfo() override;
    void SetControlStates(const TControlStates &states) override;
    void FocusItem(int index) override;

    void JobPlanned(int total) override;
    void FileStarted(const TWorkItem &item, const std::string &shownCommand) override;
    void FileOutput(const TWorkItem &item, const std::string &text) override;
    void FileFinished(const TWorkItem &item) override;
    void JobEnded(const TJobEnd &end) override;

private:
    TForm1 &form_;
};

}  // namespace trackmill
