// The transcode job's surroundings in a terminal: the timers, and the presentation of the
// job's events, either as lines of text (with a live overall line when standard output
// is a terminal) or as JSON Lines; and the record of every file's end for the summary.
#pragma once

#include "engine/TranscodeJob.h"

#include <QTimer>

#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace trackmill {

namespace json {
class Object;
}

// A path as a person reads it on this system ("\\" on Windows), control characters escaped,
// bytes that are not UTF-8 as U+FFFD.
std::string ShownPath(const std::string &path);

// The job's first and last events, also for a job that never runs (nothing to convert,
// or only its plan shown).
json::Object PlannedEvent(int total, int jobs);
json::Object EndedEvent(const TJobEnd &end, int refused, int ignored);

class TConvertHost : public TJobHost, public TJobObserver {
public:
    struct Output {
        std::FILE *out = stdout;
        std::FILE *err = stderr;
        bool json = false;
        bool live = false;  // standard output is a terminal: keep an overall line at the bottom
        bool verbose = false;  // the programs' output and each file's start too, not only its end
    };

    // How many of a failed file's last output lines are shown with its failure.
    static constexpr std::size_t kTailLines = 5;

    explicit TConvertHost(Output output);

    // Wires the timers and the events to the job; call once before the job starts.
    void Attach(TranscodeJob &job);

    void ArmTimer(int milliseconds) override { timer_.start(milliseconds); }
    void SetProgressPolling(bool on) override;

    void JobProblem(const std::string &message) override;
    void OptionsRefused(const std::string &reason) override;
    void JobPlanned(const TJobFigures &figures) override;
    void FileStarted(const TWorkItem &item, const std::string &shownCommand) override;
    void FileProgress(const TWorkItem &item, const TJobFigures &figures) override;
    void FileOutput(const TWorkItem &item, const std::string &text) override;
    void FileFinished(const TWorkItem &item, const TJobFigures &figures) override;
    void JobEnded(const TJobEnd &end) override;

    // A message for standard error that keeps the live line intact.
    void Note(const std::string &message);

    bool Ended() const { return ended_; }
    const TJobEnd &End() const { return end_; }
    // Every file's end, in the order they ended.
    const std::vector<TWorkItem> &Finished() const { return finished_; }
    int ErrorsShown() const { return errorsShown_; }
    // The programs refused the option lines before any file started: a usage error.
    bool OptionsWereRefused() const { return optionsRefused_; }

private:
    void Print(const std::string &line);  // one whole line of text mode
    void ClearLiveLine();
    void DrawLiveLine();
    std::string Prefix(const TWorkItem &item) const;
    int Total() const { return job_ ? job_->Figures().total : 0; }

    Output io_;
    QTimer timer_;
    QTimer progressTimer_;
    TranscodeJob *job_ = nullptr;
    bool liveShown_ = false;
    bool ended_ = false;
    TJobEnd end_;
    std::vector<TWorkItem> finished_;
    // What a file's line said when it started (a renamed output), not repeated at its end.
    std::map<std::uint64_t, std::string> startReasons_;
    // Each running file's last output lines, with their line ends, for its failure.
    std::map<std::uint64_t, std::deque<std::string>> tails_;
    int errorsShown_ = 0;
    bool optionsRefused_ = false;
};

}  // namespace trackmill
