#include "cli/ConvertHost.h"

#include "cli/Json.h"
#include "engine/OutputLines.h"
#include "formats/TextUtil.h"

#include <QCoreApplication>

#include <cmath>

namespace trackmill {

namespace {

constexpr int kProgressIntervalMs = 500;

std::string Shown(const std::string &text) { return EscapeControls(text); }

std::string TimeLeft(double seconds)
{
    if (seconds < 60) return "under a minute left";
    const long minutes = std::lround(seconds / 60);
    if (minutes < 120) return "about " + std::to_string(minutes) + " min left";
    return "about " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min left";
}

}  // namespace

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
        .Bool("cancelRequested", end.cancelRequested);
}

TConvertHost::TConvertHost(TJobSettings settings, Output output) : settings_(std::move(settings)), io_(output)
{
    timer_.setSingleShot(true);
    progressTimer_.setInterval(kProgressIntervalMs);
}

void TConvertHost::Attach(TranscodeJob &job)
{
    job_ = &job;
    QObject::connect(&timer_, &QTimer::timeout, [this] { job_->TimerFired(); });
    QObject::connect(&progressTimer_, &QTimer::timeout, [this] {
        job_->PollProgress();
        if (io_.live) DrawLiveLine();
    });
}

void TConvertHost::ShowErrorBox(const std::string &message)
{
    ++errorsShown_;
    Note(message);
}

void TConvertHost::Note(const std::string &message)
{
    ClearLiveLine();
    std::fprintf(io_.err, "trackmill-cli: %s\n", Shown(message).c_str());
    std::fflush(io_.err);
    if (io_.live && total_ > 0 && !ended_) DrawLiveLine();
}

std::string TConvertHost::Prefix(const TWorkItem &item) const
{
    return "[" + std::to_string(item.number) + "/" + std::to_string(total_) + "] ";
}

void TConvertHost::Print(const std::string &line)
{
    ClearLiveLine();
    std::fputs(line.c_str(), io_.out);
    std::fputc('\n', io_.out);
    if (io_.live) DrawLiveLine();
    std::fflush(io_.out);
}

int TConvertHost::OverallPercent() const
{
    if (total_ == 0) return 100;
    double parts = done_;
    for (const auto &[id, percent] : runningPercent_) parts += percent / 100.0;
    return int(parts * 100 / total_);
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
    if (!io_.live || ended_) return;
    std::string line = "Done " + std::to_string(done_) + " of " + std::to_string(total_);
    if (failed_ > 0) line += ", " + std::to_string(failed_) + " failed";
    const int percent = OverallPercent();
    line += " (" + std::to_string(percent) + " %)";
    if (percent > 0 && percent < 100 && clock_.isValid()) {
        const double elapsed = clock_.elapsed() / 1000.0;
        line += ", " + TimeLeft(elapsed * (100 - percent) / percent);
    }
    std::fputs("\r\033[K", io_.out);
    std::fputs(line.c_str(), io_.out);
    std::fflush(io_.out);
    liveShown_ = true;
}

void TConvertHost::JobPlanned(int total)
{
    total_ = total;
    clock_.start();
    progressTimer_.start();
    if (io_.json)
        Print(PlannedEvent(total, settings_.jobs).Str());
    else if (io_.live)
        DrawLiveLine();
}

void TConvertHost::FileStarted(const TWorkItem &item, const std::string &shownCommand)
{
    runningPercent_[item.id] = 0;
    if (io_.json) {
        Print(json::Object()
                  .Text("event", "started")
                  .Int("file", item.number)
                  .Text("source", item.source)
                  .Text("output", item.output)
                  .Text("command", shownCommand)
                  .Str());
        return;
    }
    std::string line = Prefix(item) + Shown(item.source) + " -> " + Shown(item.output);
    if (!item.reason.empty()) line += " (" + Shown(item.reason) + ")";
    Print(line);
}

void TConvertHost::FileProgress(const TWorkItem &item)
{
    runningPercent_[item.id] = item.percent;
    if (io_.json)
        Print(json::Object()
                  .Text("event", "progress")
                  .Int("file", item.number)
                  .Text("source", item.source)
                  .Int("percent", item.percent)
                  .Int("overall", OverallPercent())
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
                  .Text("source", item.source)
                  .Text("text", line)
                  .Str());
    else
        Print((settings_.jobs > 1 ? Prefix(item) : std::string()) + Shown(line));
}

void TConvertHost::FileFinished(const TWorkItem &item)
{
    runningPercent_.erase(item.id);
    finished_.push_back(item);
    if (item.state != TItemState::Cancelled) ++done_;
    if (item.state == TItemState::Failed) ++failed_;
    if (io_.json) {
        Print(json::Object()
                  .Text("event", "finished")
                  .Int("file", item.number)
                  .Text("source", item.source)
                  .Text("output", item.output)
                  .Text("state", ItemStateName(item.state))
                  .Text("reason", item.reason)
                  .Str());
        return;
    }
    switch (item.state) {
    case TItemState::Converted:
        Print(Prefix(item) + "done: " + Shown(item.output) +
              (item.tags.omitted.empty() ? std::string() : " (" + Shown(item.tags.omitted) + ")"));
        break;
    case TItemState::Skipped: Print(Prefix(item) + "skipped: " + Shown(item.source) + " (" + Shown(item.reason) + ")"); break;
    case TItemState::Failed: Print(Prefix(item) + "FAILED: " + Shown(item.source) + " (" + Shown(item.reason) + ")"); break;
    default: break;
    }
}

void TConvertHost::JobEnded(const TJobEnd &end)
{
    progressTimer_.stop();
    ClearLiveLine();
    ended_ = true;
    end_ = end;
    if (io_.json)
        Print(EndedEvent(end, io_.refused, io_.ignored).Str());
    QCoreApplication::exit(0);
}

}  // namespace trackmill
