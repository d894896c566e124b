#include "cli/ConvertHost.h"

#include "cli/Tr.h"

#include "cli/Json.h"
#include "engine/OutputLines.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"
#include "os/Path.h"

#include <QCoreApplication>


namespace trackmill {

namespace {

constexpr int kProgressIntervalMs = 500;

// Bytes that are not UTF-8 (a Latin-1 file name) show as U+FFFD, as everywhere a person reads.
std::string Shown(const std::string &text) { return EscapeControls(SanitizeUtf8(text)); }

}  // namespace

std::string ShownPath(const std::string &path) { return Shown(os::Native(path)); }

json::Object PlannedEvent(int total, int jobs)
{
    return json::Object().Text("event", "planned").Int("total", total).Int("jobs", jobs);
}

json::Object EndedEvent(const TJobEnd &end, int refused, int ignored)
{
    return json::Object()
        .Text("event", "ended")
        .Int("converted", end.converted)
        .Int("skipped", end.skipped)
        .Int("failed", end.failed)
        .Int("cancelled", end.cancelled)
        .Int("refused", refused)
        .Int("ignored", ignored)
        .Int("overall", end.overallPercent)
        .Bool("cancelRequested", end.cancelRequested)
        .Int("outdated", end.outdated)
        .Int("tagsUpdated", end.tagsUpdated);
}

TConvertHost::TConvertHost(Output output) : io_(output)
{
    timer_.setSingleShot(true);
    progressTimer_.setInterval(kProgressIntervalMs);
}

void TConvertHost::Attach(TranscodeJob &job)
{
    job_ = &job;
    job.SetObserver(this);
    QObject::connect(&timer_, &QTimer::timeout, [this] { job_->TimerFired(); });
    QObject::connect(&progressTimer_, &QTimer::timeout, [this] {
        job_->PollProgress();
        if (io_.live) DrawLiveLine();
    });
}

void TConvertHost::SetProgressPolling(bool on)
{
    if (on)
        progressTimer_.start();
    else
        progressTimer_.stop();
}

void TConvertHost::JobProblem(const std::string &message)
{
    ++errorsShown_;
    // The start-up messages (a program not found) are the window's, in the same catalogue;
    // the others are said as reasons are.
    const std::string said = ReasonText(message);
    Note(said != message ? said : QCoreApplication::translate("trackmill::TForm1", message.c_str()).toStdString());
}

void TConvertHost::OptionsRefused(const std::string &reason)
{
    ++errorsShown_;
    optionsRefused_ = true;
    Note(Formatted(Cli::Tr("the options were tried on a short silence and refused; no file was started: %s"),
                   ReasonText(reason).c_str()));
    QCoreApplication::exit(0);
}

void TConvertHost::Note(const std::string &message)
{
    ClearLiveLine();
    std::fprintf(io_.err, "trackmill-cli: %s\n", Shown(message).c_str());
    std::fflush(io_.err);
    if (io_.live && Total() > 0 && !ended_) DrawLiveLine();
}

std::string TConvertHost::Prefix(const TWorkItem &item) const
{
    return "[" + std::to_string(item.number) + "/" + std::to_string(Total()) + "] ";
}

void TConvertHost::Print(const std::string &line)
{
    ClearLiveLine();
    std::fputs(line.c_str(), io_.out);
    std::fputc('\n', io_.out);
    if (io_.live) DrawLiveLine();
    std::fflush(io_.out);
}

void TConvertHost::ClearLiveLine()
{
    if (!liveShown_) return;
    std::fputs("\r\033[K", io_.out);
    // At once: a message to standard error, which shares the terminal, comes next.
    std::fflush(io_.out);
    liveShown_ = false;
}

void TConvertHost::DrawLiveLine()
{
    if (!io_.live || ended_ || !job_) return;
    const TJobFigures &f = job_->Figures();
    std::string line = Formatted(Cli::Tr("Done %d of %d"), f.Done(), f.total);
    if (f.failed > 0) line += Formatted(Cli::Tr(", %d failed"), f.failed);
    const int percent = f.OverallPercent();
    line += " (" + std::to_string(percent) + " %)";
    if (const double left = f.SecondsLeft(TJobFigures::Clock::now()); left > 0 && percent < 100)
        line += ", " + TimeLeftText(left, {Cli::Tr("under a minute left"), Cli::Tr("about %1 min left"),
                                           Cli::Tr("about %1 h %2 min left")});
    std::fputs("\r\033[K", io_.out);
    std::fputs(line.c_str(), io_.out);
    std::fflush(io_.out);
    liveShown_ = true;
}

void TConvertHost::JobPlanned(const TJobFigures &figures)
{
    if (io_.json)
        Print(PlannedEvent(figures.total, job_->Settings().jobs).Str());
    else if (io_.live)
        DrawLiveLine();
}

void TConvertHost::FileStarted(const TWorkItem &item, const std::string &shownCommand)
{
    if (io_.json) {
        Print(json::Object()
                  .Text("event", "started")
                  .Int("file", item.number)
                  .Path("source", "rawSource", item.source)
                  .Path("output", "rawOutput", item.output)
                  .Text("command", shownCommand)
                  .Str());
        return;
    }
    // Quietly, a file shows up only when it ends; its whole reason is said there.
    if (!io_.verbose) return;
    std::string line = Prefix(item) + ShownPath(item.source) + " -> " + ShownPath(item.output);
    if (!item.reason.empty()) line += " (" + Shown(ReasonText(item.reason)) + ")";
    if (!item.reason.empty()) startReasons_[item.id] = item.reason;
    Print(line);
}

void TConvertHost::FileProgress(const TWorkItem &item, const TJobFigures &figures)
{
    if (io_.json)
        Print(json::Object()
                  .Text("event", "progress")
                  .Int("file", item.number)
                  .Path("source", "rawSource", item.source)
                  .Int("percent", item.percent)
                  .Int("overall", figures.OverallPercent())
                  .Str());
}

void TConvertHost::FileOutput(const TWorkItem &item, const std::string &withEnd)
{
    const std::string line(TOutputLines::Text(withEnd));
    if (line.empty()) return;
    if (io_.json)
        Print(json::Object()
                  .Text("event", "output")
                  .Int("file", item.number)
                  .Path("source", "rawSource", item.source)
                  .Text("text", line)
                  .Str());
    else {
        std::deque<std::string> &tail = tails_[item.id];
        // A line redrawn in place (ended by a carriage return) counts once.
        if (!tail.empty() && tail.back().ends_with('\r')) tail.pop_back();
        tail.push_back(withEnd);
        if (tail.size() > kTailLines) tail.pop_front();
        if (io_.verbose) Print((job_->Settings().jobs > 1 ? Prefix(item) : std::string()) + Shown(line));
    }
}

void TConvertHost::FileFinished(const TWorkItem &item, const TJobFigures &)
{
    finished_.push_back(item);
    std::deque<std::string> tail;
    if (const auto found = tails_.find(item.id); found != tails_.end()) {
        tail = std::move(found->second);
        tails_.erase(found);
    }
    if (io_.json) {
        Print(json::Object()
                  .Text("event", "finished")
                  .Int("file", item.number)
                  .Path("source", "rawSource", item.source)
                  .Path("output", "rawOutput", item.output)
                  .Text("state", ItemStateName(item.state))
                  .Text("reason", item.reason)
                  .Str());
        return;
    }
    switch (item.state) {
    case TItemState::Converted: {
        // The notes the file gathered since its start: what its tags left out, an image not copied.
        std::string notes = item.reason;
        if (const auto start = startReasons_.find(item.id); start != startReasons_.end()) {
            if (notes.starts_with(start->second)) notes.erase(0, start->second.size());
            if (notes.starts_with("; ")) notes.erase(0, 2);
            startReasons_.erase(start);
        }
        Print(Prefix(item) + Cli::Tr("done: ") + ShownPath(item.output) +
              (notes.empty() ? std::string() : " (" + Shown(ReasonText(notes)) + ")"));
        break;
    }
    case TItemState::TagsUpdated:
        Print(Prefix(item) + Cli::Tr("tags updated: ") + ShownPath(item.output) +
              (item.reason.empty() ? std::string() : " (" + Shown(item.reason) + ")"));
        break;
    case TItemState::Skipped:
        Print(Prefix(item) + Cli::Tr("skipped: ") + ShownPath(item.source) + " (" + Shown(ReasonText(item.reason)) + ")");
        break;
    case TItemState::Failed:
        Print(Prefix(item) + Cli::Tr("FAILED: ") + ShownPath(item.source) + " (" + Shown(ReasonText(item.reason)) + ")");
        // What the programs said last, which the reason sums up in one line.
        for (const std::string &line : tail)
            if (const std::string_view text = TOutputLines::Text(line); !text.empty())
                Print("    " + Shown(std::string(text)));
        break;
    default: break;
    }
}

void TConvertHost::JobEnded(const TJobEnd &end)
{
    ClearLiveLine();
    ended_ = true;
    end_ = end;
    if (io_.json)
        Print(EndedEvent(end, int(job_->Queue().Refused().size()), int(job_->Queue().Ignored().size())).Str());
    QCoreApplication::exit(0);
}

}  // namespace trackmill
