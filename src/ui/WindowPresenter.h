// The window without its widgets: what its list's rows say, which controls can be used,
// the status line, the information panel, the reports after a job, and what each button,
// drop, click and close does. The widgets only show what it tells its view and what its
// list model holds, and pass the user's actions to it, so all of this is tested without
// a screen.
#pragma once

#include "engine/TranscodeJob.h"
#include "ui/ListModel.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace trackmill {

class TTranscodeList;

inline constexpr const char *kStoppingText = QT_TRANSLATE_NOOP("WindowPresenter", "Stopping after the current files...");
inline constexpr const char *kJobRefusedText = QT_TRANSLATE_NOOP("WindowPresenter", "Files cannot be added while transcoding");
inline constexpr const char *kOptionsRefusedText = QT_TRANSLATE_NOOP(
    "WindowPresenter", "The options were tried on a short silence before the first file, and refused; no file was started.\n\n%1");
inline constexpr const char *kShutdownCancelledText = QT_TRANSLATE_NOOP("WindowPresenter", "Shutdown cancelled; the computer keeps running");

// Which controls can be used.
struct TControlStates {
    bool transcode = true;
    bool clearAll = true;
    bool deleteItems = true;
    bool cancel = false;
    bool outputDirEdit = true;
    bool outputDirSwitch = true;
    // Drops, "Add files...", "Add folder..." and the settings a job plans with.
    bool adding = true;
    bool operator==(const TControlStates &) const = default;
};

class TWindowView {
public:
    virtual ~TWindowView() = default;

    // The list's rows are the presenter's model (Rows()); the selection and the current row
    // are the view's, as is scrolling. This moves the focus mark, not the selection, to the
    // row, and scrolls it into view.
    virtual void FocusRow(int row) = 0;

    virtual void SetControls(const TControlStates &) = 0;
    virtual void ShowInfo(const QStringList &lines) = 0;  // none: the panel is emptied
    virtual void ShowStatus(const QString &text) = 0;
    virtual void ShowProgress(int percent) = 0;
    // While files are being collected: "Stop" in place of "Show log".
    virtual void ShowCollecting(bool collecting) = 0;
    // The same while a job is being planned.
    virtual void ShowPlanning(bool planning) { ShowCollecting(planning); }
    virtual void SetBusy(bool busy) = 0;
    virtual void SetLogAvailable(bool available) = 0;
    // The program's own failure message; it waits for the user.
    virtual void ShowError(const QString &message) = 0;
    // What a job could not do; it does not hold up what follows.
    virtual void ShowReport(const QString &text) = 0;
    virtual void StartShutdownNotice() = 0;
    virtual void CancelShutdownNotice() = 0;
    virtual bool ShutdownNoticeRunning() const = 0;

    // A "Details" link beside the status, for what the last collection left out.
    virtual void SetDetailsAvailable(bool available) = 0;
    // Names what the last collection left out, each with its reason; does not wait.
    virtual void ShowDetails(const QString &heading, const QStringList &lines) = 0;
    // "Open output folder" beside the summary; an empty folder takes it away.
    virtual void SetOutputFolder(const QString &folder) = 0;
    virtual void OpenFolder(const QString &folder) = 0;
    // The job's summary, told to the desktop when the window is not the active one.
    virtual void NotifyJobEnded(const QString &summary) = 0;

    // The console shows the running files' output, one file at a time; the log every file's.
    virtual void ConsoleBeginJob() = 0;
    virtual void ConsoleBeginFile(const TWorkItem &item, const QString &command) = 0;
    virtual void ConsoleAppend(const TWorkItem &item, const QByteArray &bytes) = 0;
    // Its output stays readable; `last` closes it ("failed: ...").
    virtual void ConsoleEndFile(const TWorkItem &item, const QString &last) = 0;
    virtual void ConsoleEndJob() = 0;
    virtual void LogBeginJob() = 0;
    virtual void LogBeginFile(const TWorkItem &item, const QString &command) = 0;
    virtual void LogAppend(const TWorkItem &item, const QByteArray &bytes) = 0;
    virtual void LogEndFile(const TWorkItem &item) = 0;
    virtual bool LogEmpty() const = 0;

    // Runs `work` where it does not hold up the window, then `done` on the window's thread.
    // By default both at once, here.
    virtual void RunAside(std::function<void()> work, std::function<void()> done)
    {
        work();
        done();
    }
};

// "waiting", "converting 42 %", "failed"; empty for a file at rest.
QString StateText(const TWorkItem &item, bool jobRunning);

// "converted", "skipped", "failed", "cancelled" as the console and the log end a file.
QString StateName(TItemState state);

// A reason the engine gave, in the user's language.
QString ReasonText(const std::string &reason);

class TWindowPresenter : public TJobObserver {
public:
    TWindowPresenter(TranscodeJob &job, TTranscodeList &list, TWindowView &view);
    ~TWindowPresenter() override;
    TWindowPresenter(const TWindowPresenter &) = delete;
    TWindowPresenter &operator=(const TWindowPresenter &) = delete;

    // Looks for the programs; the window is usable from then on.
    void Start();
    // Files are collected on a worker thread, the window's events served meanwhile; this
    // needs the event loop of a running application.
    void SetCollectInBackground(bool on) { background_ = on; }

    // --- the user's actions ---
    void Transcode();
    void Cancel();
    // Esc: ends a collection or the planning of a job; false when there was none to end.
    bool Escape();
    // The status area's Stop: the same.
    void Stop();
    void ClearAll();
    void DeleteRows(const QList<int> &rows);
    // A drop, the dialogs' choice, or the paths named on the command line.
    void Collect(const QStringList &names);
    void StopCollecting();
    // The user clicked or moved to a row: the panel shows its file afresh.
    void RowPicked(int row);
    // The status's "Details": what the last collection left out, and why.
    void ShowDetails();
    // "Open output folder" after a job.
    void OpenOutputFolder();
    // The settings as the controls show them now. While idle, Transcode follows whether the
    // programs of the format chosen now were found; a job keeps the format it started with.
    void SettingsChanged(const TJobSettings &settings);
    // The window is closed: no more files are added, a pending shutdown is given up, and a
    // running job finishes the files in progress without a shutdown.
    void Closing();
    void ShutdownNoticeEnded(bool proceed);

    // The list, as the window shows it.
    const TListModel &Rows() const { return rows_; }
    TListModel &Rows() { return rows_; }

    bool ClosingDuringJob() const { return closingDuringJob_; }
    const TControlStates &Controls() const { return controls_; }
    const TJobEnd &LastEnd() const { return lastEnd_; }

    // The message that names the failed files and why; empty when none failed.
    static QString FailureReport(const TWorkQueue &queue);
    // The message that names the converted files whose tags were not carried whole, and
    // what was left out; empty when there are none.
    static QString OmissionReport(const std::vector<std::pair<QString, QString>> &omissions);

    // --- the job's events ---
    void JobProblem(const std::string &message) override;
    void OptionsRefused(const std::string &reason) override;
    void StateChanged(TJobState state) override;
    void ShutdownNoticeDue() override;
    void JobPlanning(const TPlanCount &count) override;
    void PlanningStopped() override;
    void JobPlanned(const TJobFigures &figures) override;
    void FileStarted(const TWorkItem &item, const std::string &shownCommand) override;
    void FileProgress(const TWorkItem &item, const TJobFigures &figures) override;
    void FileOutput(const TWorkItem &item, const std::string &line) override;
    void FileFinished(const TWorkItem &item, const TJobFigures &figures) override;
    void JobEnded(const TJobEnd &end) override;

private:
    TListRow RowOf(const TWorkItem &item) const;
    void MarkAll();
    void ShowInfoOf(const std::string &path, const TMPEGplus *read = nullptr);
    // Walks the shown file's stream for its end aside, and adds what it found when it comes.
    void CheckStreamAside(const std::string &path);
    void EndPlanningShown();
    void SetControls(const TControlStates &controls);
    void PushSettings();
    void ListChanged();
    void ShowListCount();
    void ShowRunning(const TJobFigures &figures);

    TranscodeJob &job_;
    TTranscodeList &list_;
    TWindowView &view_;
    TListModel rows_;
    TJobSettings settings_;
    std::optional<TOutputFormat> jobFormat_;  // the running job's
    TControlStates controls_;
    TJobEnd lastEnd_;
    bool started_ = false;
    bool background_ = false;
    bool jobRunning_ = false;
    bool closingDuringJob_ = false;
    bool pickedDuringJob_ = false;  // the user picked a row since the job started
    QElapsedTimer lastCount_;
    std::string shownSource_;   // the file the panel shows
    int shownNumber_ = 0;       // "File N of M" of the file last started
    bool progressShown_ = false;  // a job's progress is on the bar
    QString outputFolder_;      // where this job's MP3s went
    // Converted files leave the list: what their tags lacked is kept here for the end.
    std::vector<std::pair<QString, QString>> omissions_;
    std::set<std::uint64_t> startedFiles_;  // of this job, for the log
    bool planningShown_ = false;  // the status counts the plan being made
    int panelShown_ = 0;          // counts the files the panel was given
    std::shared_ptr<std::atomic<bool>> streamCheck_;  // stops the walk of the file shown last
    std::shared_ptr<int> life_ = std::make_shared<int>();  // what comes back from aside asks it first
};

}  // namespace trackmill
