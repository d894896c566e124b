// The window's widgets as the presenter's view, and the window's side of the job: its
// timers and the shutdown.
#pragma once

#include "engine/TranscodeJob.h"
#include "ui/WindowPresenter.h"

#include <cstdint>
#include <map>
#include <memory>
#include <thread>

class QObject;

namespace trackmill {

class TForm1;

class TForm1View : public TWindowView, public TJobHost {
public:
    explicit TForm1View(TForm1 &form);
    // Waits for the work still aside, which its owners have told to stop.
    ~TForm1View() override;

    // True while the view moves the list's focus mark itself: that is not the user's click.
    bool Updating() const { return updating_; }

    void FocusRow(int row) override;
    void SetControls(const TControlStates &) override;
    void ShowInfo(const QStringList &lines) override;
    void ShowStatus(const QString &text) override;
    void ShowProgress(int percent) override;
    void ShowCollecting(bool collecting) override;
    void ShowPlanning(bool planning) override;
    void SetBusy(bool busy) override;
    void SetLogAvailable(bool available) override;
    void ShowError(const QString &message) override;
    void ShowReport(const QString &text) override;
    void StartShutdownNotice() override;
    void CancelShutdownNotice() override;
    bool ShutdownNoticeRunning() const override;
    void SetDetailsAvailable(bool available) override;
    void ShowDetails(const QString &heading, const QStringList &lines) override;
    void SetOutputFolder(const QString &folder) override;
    void OpenFolder(const QString &folder) override;
    void NotifyJobEnded(const QString &summary) override;
    void ConsoleBeginJob() override;
    void ConsoleBeginFile(const TWorkItem &item, const QString &command) override;
    void ConsoleAppend(const TWorkItem &item, const QByteArray &bytes) override;
    void ConsoleEndFile(const TWorkItem &item, const QString &last) override;
    void ConsoleEndJob() override;
    void LogBeginJob() override;
    void LogBeginFile(const TWorkItem &item, const QString &command) override;
    void LogAppend(const TWorkItem &item, const QByteArray &bytes) override;
    void LogEndFile(const TWorkItem &item) override;
    bool LogEmpty() const override;

    void ArmTimer(int milliseconds) override;
    void SetProgressPolling(bool on) override;
    bool RequestShutdown() override;
    // For the job's plan and the panel alike: the work on a thread of its own, its end
    // told on the window's thread.
    void RunAside(std::function<void()> work, std::function<void()> done) override;

private:
    struct Guard;
    TForm1 &form_;
    bool updating_ = false;
    std::unique_ptr<QObject> home_;  // receives the ends of the work aside
    std::map<std::uint64_t, std::thread> aside_;
    std::uint64_t asideCount_ = 0;
};

}  // namespace trackmill
