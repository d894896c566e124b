// The window's side of the transcode job: how the job reads the controls, arms the timer
// and reports back, and how its events reach the list, the status area, the console, the
// log and the panel.
#pragma once

#include "engine/TranscodeJob.h"

#include <QString>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace trackmill {

class TForm1;

class TForm1JobHost : public TTranscodeHost {
public:
    explicit TForm1JobHost(TForm1 &form) : form_(form) {}

    TJobSettings Settings() const override;
    void ArmTimer(int milliseconds) override;
    void ProcessEvents() override;
    bool RequestShutdown() override;
    bool GiveShutdownNotice() override;
    void ShowErrorBox(const std::string &message) override;
    void ShowFileInfo(const std::string &path) override;
    void ClearFileInfo() override;
    void SetControlStates(const TControlStates &states) override;
    void FocusItem(int index) override;

    void JobPlanned(int total) override;
    void FileStarted(const TWorkItem &item, const std::string &shownCommand) override;
    void FileProgress(const TWorkItem &item) override;
    void FileOutput(const TWorkItem &item, const std::string &text) override;
    void FileFinished(const TWorkItem &item) override;
    void JobEnded(const TJobEnd &end) override;

    // The message that names the failed files and why; empty when none failed.
    static QString FailureReport(const TWorkQueue &queue);
    // The message that names the converted files whose tags were not carried whole, and
    // what was left out; empty when there are none.
    static QString OmissionReport(const std::vector<std::pair<QString, QString>> &omissions);

private:
    int OverallPercent() const;

    TForm1 &form_;
    int total_ = 0;
    int finished_ = 0;
    std::map<std::uint64_t, int> running_;  // percent of each file in progress
    // Converted files leave the list: what their tags lacked is kept here for the end.
    std::vector<std::pair<QString, QString>> omissions_;
};

}  // namespace trackmill
