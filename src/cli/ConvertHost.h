// The transcode job's surroundings in a terminal: the list without a window, the
// runner with its output on standard output, a QTimer between files, a progress line
// per file, and a record of every failure for the closing summary.
#pragma once

#include "collect/TranscodeList.h"
#include "engine/TranscodeJob.h"
#include "system/AppRun.h"

#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

namespace trackmill {

class TConvertHost : public TTranscodeHost {
public:
    TConvertHost(TTranscodeList &list, TJobSettings settings, std::FILE *out, std::FILE *err);

    // Wires the runner and the timer to the job; call once before the job starts.
    void Attach(TranscodeJob &job);

    int ListCount() const override { return list_.Count(); }
    std::string ListEntry0() const override { return list_.Item(0).toStdString(); }
    void RemoveListEntry0() override { list_.Delete(0); }
    TJobSettings Settings() const override { return settings_; }
    bool ProgramFound(const std::string &name) override;
    bool StartProcess(const std::string &application, const std::string &commandLine) override;
    void ArmTimer(int milliseconds) override;
    void ProcessEvents() override;
    bool RequestShutdown() override { return false; }
    void ShowErrorBox(const std::string &message) override;
    void ShowStandardError(const std::string &message) override;
    void ShowFileInfo(const std::string &) override {}
    void ClearFileInfo() override {}
    void SetControlStates(const TControlStates &) override {}
    void FileStarted(const TFileStart &start) override;
    void FileFinished(const TFileResult &result) override;
    void JobEnded(const TJobEnd &end) override;

    bool Ended() const { return ended_; }
    const TJobEnd &End() const { return end_; }
    const std::vector<TFileResult> &Failures() const { return failures_; }
    int ErrorsShown() const { return errorsShown_; }

private:
    TTranscodeList &list_;
    TJobSettings settings_;
    std::FILE *out_;
    std::FILE *err_;
    TAppRunner runner_;
    QTimer timer_;
    TranscodeJob *job_ = nullptr;
    int fileNumber_ = 0;
    int total_ = 0;
    bool ended_ = false;
    TJobEnd end_;
    std::vector<TFileResult> failures_;
    int errorsShown_ = 0;
};

}  // namespace trackmill
