#include "engine/TranscodeJob.h"

#include "engine/OptionsCheck.h"
#include "engine/OutputLines.h"
#include "formats/MPEGplus.h"
#include "os/Files.h"
#include "os/Path.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <unordered_map>

namespace trackmill {

struct TranscodeJob::PlanAside {
    std::vector<TWorkItem> items;  // the queue as it was when planning began
    TPlanOptions options;
    TPlanProgress progress;
    std::vector<TPlannedOutput> plans;  // one per item, once made

    TPlanCount Count() const
    {
        return {progress.marksRead.load(), progress.sources.load(), int(items.size())};
    }
};

struct TranscodeJob::Active {
    TPreparedFile prepared;
    TSourceAtStart source;
    std::unique_ptr<TAudioProgress> progress;
    TFileStream written;  // the file being written, open from the first look at its progress on
    TOutputLines lines;
    TOutputLines decoderLines;  // the decoder's error output, from its file
    std::size_t decoderShown = 0;
    std::string outputTail;  // the last lines the commands printed, for the reason of a failure
};

namespace {

constexpr std::size_t kOutputTailBytes = 4096;

void KeepTail(std::string &tail, const std::string &line)
{
    const std::string_view text = TOutputLines::Text(line);
    if (text.empty()) return;
    tail += text;
    tail += '\n';
    if (tail.size() > 2 * kOutputTailBytes) tail.erase(0, tail.size() - kOutputTailBytes);
}

}  // namespace

std::string OptionLinesProblem(const TJobPlatform &platform, const TJobSettings &settings)
{
    if (!platform.checkOptions) return {};
    for (const auto &[name, line] : {std::pair{"decoder", &settings.decoderOptions},
                                     std::pair{"encoder", &settings.EncoderOptions()}})
        if (std::string problem = platform.checkOptions(*line); !problem.empty())
            return std::string("The ") + name + " options cannot be used: they hold " + problem +
                   ". They are shell words, as typed in a terminal, and may not run or redirect commands";
    return {};
}

TPlanOptions PlanOptionsOf(const TJobSettings &settings)
{
    TPlanOptions options;
    options.useOutputDir = settings.useOutputDir;
    options.outputDir = settings.outputDir;
    options.layout = settings.layout;
    options.libraryDir = settings.libraryDir;
    options.namePattern = settings.namePattern;
    options.existing = settings.existing;
    options.format = settings.format;
    options.markers = OutputTarget(settings.format).CarriesMark(settings.tags);
    return options;
}

TranscodeJob::TranscodeJob(TCommandRunner &runner, TJobHost &host, TJobPlatform platform, TWorkQueue *queue)
    : ownQueue_(queue ? nullptr : std::make_unique<TWorkQueue>()), queue_(queue ? *queue : *ownQueue_),
      runner_(runner), host_(host), platform_(std::move(platform))
{
    runner_.SetHandlers({[this](std::uint64_t id, const std::string &text) { CommandOutput(id, text); },
                         [this](std::uint64_t id, int status) { CommandEnded(id, status); }});
}

TranscodeJob::~TranscodeJob()
{
    // A plan still being made aside ends at its next source; nothing of it comes back here.
    if (planning_) planning_->progress.stop = true;
    runner_.SetHandlers({});
    // Commands still running keep their temporary MP3s; nothing under an output name is half done.
}

std::string TranscodeJob::FindProgram(const TRequiredProgram &program) const
{
    return platform_.findProgram && !program.name.empty() ? platform_.findProgram(program.name) : std::string();
}

const TRequiredProgram &TranscodeJob::EncoderOf(TOutputFormat format) const
{
    return format == TOutputFormat::Opus ? platform_.opusEncoder : platform_.encoder;
}

std::string &TranscodeJob::EncoderPathOf(TOutputFormat format)
{
    return format == TOutputFormat::Opus ? opusEncoderPath_ : mp3EncoderPath_;
}

const std::string &TranscodeJob::EncoderPathOf(TOutputFormat format) const
{
    return format == TOutputFormat::Opus ? opusEncoderPath_ : mp3EncoderPath_;
}

bool TranscodeJob::Startup()
{
    // Only the encoder of the chosen format is asked for: one who converts to Opus alone
    // needs no MP3 encoder.
    const TRequiredProgram &encoder = EncoderOf(settings_.format);
    for (const TRequiredProgram *p : {&encoder, static_cast<const TRequiredProgram *>(&platform_.decoder)})
        if (FindProgram(*p).empty()) observer_->JobProblem(p->missingMessage);
    // Looked up again: a program may have been installed while a box was open.
    mp3EncoderPath_ = FindProgram(platform_.encoder);
    opusEncoderPath_ = FindProgram(platform_.opusEncoder);
    decoderPath_ = FindProgram(platform_.decoder);
    startedUp_ = true;
    observer_->StateChanged(state_);
    return ProgramsFound();
}

bool TranscodeJob::ProgramsFound() const
{
    if (!startedUp_) return true;
    return !EncoderPathOf(settings_.format).empty() && !decoderPath_.empty();
}

void TranscodeJob::Start()
{
    if (state_ != State::Idle) return;
    if (queue_.IsEmpty()) {
        observer_->JobProblem(kListEmptyMessage);
        return;
    }
    jobSettings_ = settings_;
    if (startedUp_) {
        // A format chosen since start-up may need a program start-up did not ask for.
        std::string &path = EncoderPathOf(jobSettings_.format);
        if (path.empty()) path = FindProgram(EncoderOf(jobSettings_.format));
        if (path.empty()) {
            observer_->JobProblem(EncoderOf(jobSettings_.format).missingMessage);
            return;
        }
    }
    if (std::string problem = OptionLinesProblem(platform_, jobSettings_); !problem.empty()) {
        observer_->JobProblem(problem);
        return;
    }
    cancel_ = aborting_ = false;
    figures_ = {};
    SetState(State::Running);
    // A check that cannot run says nothing of the options: the files then go as they
    // always did, each judged on its own.
    if (!StartOptionsCheck()) Begin();
}

TConversionSetup TranscodeJob::SetupFor(const TJobSettings &settings) const
{
    TConversionSetup setup;
    const bool opus = settings.format == TOutputFormat::Opus;
    setup.commandTemplate = opus ? platform_.opusCommandTemplate : platform_.commandTemplate;
    setup.encoderProgram = EncoderOf(settings.format).name;
    setup.scriptTemplate = platform_.scriptTemplate;
    setup.decoderPath = decoderPath_;
    setup.encoderPath = EncoderPathOf(settings.format);
    setup.shell = platform_.shell;
    setup.decoderOptions = settings.decoderOptions;
    setup.encoderOptions = settings.EncoderOptions();
    setup.format = settings.format;
    return setup;
}

bool TranscodeJob::StartOptionsCheck()
{
    // Missing programs were named at start-up; there is nothing to try.
    if (decoderPath_.empty() || EncoderPathOf(jobSettings_.format).empty()) return false;
    auto check = std::make_unique<Active>();
    std::string error;
    if (!PrepareOptionsCheck(SetupFor(jobSettings_), platform_.quotePath, scratch_, check->prepared, &error))
        return false;
    if (runner_.Start(kOptionsCheckId, check->prepared.argv, check->prepared.workFolder.get(), &error) !=
        TCommandRunner::StartResult::Started) {
        DiscardOptionsCheck(check->prepared);
        return false;
    }
    check_ = std::move(check);
    return true;
}

void TranscodeJob::OptionsCheckEnded(int status)
{
    const std::unique_ptr<Active> check = std::move(check_);
    check->lines.Flush([&](const std::string &line) { KeepTail(check->outputTail, ProgramLine(line)); });
    // Stopped: no verdict; the job ends as a cancelled one, every file not converted.
    if (aborting_) {
        DiscardOptionsCheck(check->prepared);
        Begin();
        return;
    }
    const std::string refused = FinishOptionsCheck(check->prepared, status, check->outputTail,
                                                   platform_.judgeCheck ? platform_.judgeCheck : platform_.judgeStatuses);
    if (refused.empty()) {
        Begin();
        return;
    }
    scratch_.Remove();
    observer_->OptionsRefused(refused);
    ReturnToIdle();
}

std::string TranscodeJob::ProgramLine(const std::string &printed) const
{
    return platform_.programText ? platform_.programText(printed) : printed;
}

void TranscodeJob::Begin()
{
    limit_ = std::max(1, jobSettings_.jobs);
    retries_.clear();
    startAttempts_ = 0;
    figures_ = {};
    figures_.total = queue_.Count();
    figures_.started = TJobFigures::Clock::now();

    // Every source's tags and every MP3 below the output folder may be read: aside where
    // the host can, on a copy of the queue, so that a window keeps answering meanwhile.
    auto planning = std::make_shared<PlanAside>();
    planning->items = queue_.Items();
    planning->options = PlanOptionsOf(jobSettings_);
    planning_ = planning;
    host_.SetProgressPolling(true);
    observer_->JobPlanning(planning->Count());
    host_.RunAside([planning] { planning->plans = PlanJob(planning->items, planning->options, &planning->progress); },
                   [this, life = std::weak_ptr<int>(life_), planning] {
                       if (!life.expired()) Planned(planning);
                   });
}

void TranscodeJob::Planned(const std::shared_ptr<PlanAside> &planning)
{
    if (planning != planning_) return;
    planning_.reset();
    if (planning->progress.Stopped()) {
        host_.SetProgressPolling(false);
        scratch_.Remove();
        observer_->PlanningStopped();
        ReturnToIdle();
        return;
    }
    std::unordered_map<std::uint64_t, std::size_t> planOf;
    lastPlannedId_ = 0;
    for (std::size_t i = 0; i < planning->items.size(); ++i) {
        planOf.emplace(planning->items[i].id, i);
        lastPlannedId_ = std::max(lastPlannedId_, planning->items[i].id);
    }
    const std::vector<TPlannedOutput> &plans = planning->plans;
    std::vector<std::uint64_t> ids;  // of the items planned, in queue order
    tagUpdates_.clear();
    for (int i = 0; i < queue_.Count(); ++i) {
        const auto found = planOf.find(queue_.At(i).id);
        if (found == planOf.end()) continue;
        const TPlannedOutput &plan = plans[found->second];
        ids.push_back(found->first);
        if (plan.kind == TPlannedOutput::Kind::UpdateTags) tagUpdates_.insert(found->first);
        queue_.Update(i, [&](TWorkItem &item) {
            item.state = TItemState::Waiting;
            item.reason = plan.kind == TPlannedOutput::Kind::Renamed ? plan.reason : std::string();
            item.percent = 0;
            item.number = i + 1;
            item.output = plan.output;
            item.mark = plan.mark;
        });
    }

    // What a killed run left behind: its private folder and the MP3s it was writing.
    TScratchFolder::RemoveAbandoned(kAbandonedAfterSeconds);
    host_.SetProgressPolling(true);
    observer_->JobPlanned(figures_);
    // Skipped and refused files end here; walk by id, the queue shrinks meanwhile.
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const TPlannedOutput &plan = plans[planOf.at(ids[i])];
        if (plan.kind == TPlannedOutput::Kind::Skipped)
            FinishItem(queue_.IndexOf(ids[i]), TItemState::Skipped, plan.reason, plan.outdated);
        else if (plan.kind == TPlannedOutput::Kind::Refused)
            FinishItem(queue_.IndexOf(ids[i]), TItemState::Failed, plan.reason);
    }
    FillSlots();
}

bool TranscodeJob::InThisJob(const TWorkItem &item) const
{
    return item.id <= lastPlannedId_;
}

int TranscodeJob::NextWaiting() const
{
    // Files queued after the plan (a drop still being scanned) wait for the next job.
    for (int i = 0; i < queue_.Count(); ++i)
        if (queue_.At(i).state == TItemState::Waiting && InThisJob(queue_.At(i))) return i;
    return -1;
}

void TranscodeJob::FillSlots()
{
    if (filling_ || state_ != State::Running) return;
    filling_ = true;
    while (!cancel_ && int(active_.size()) < limit_) {
        const int index = NextWaiting();
        if (index < 0) break;
        const StartOutcome outcome = StartItem(index);
        if (outcome == StartOutcome::TryLater) {
            // Fewer at once from now on; with nothing running, try again a little later.
            limit_ = std::max(1, int(active_.size()));
            if (active_.empty()) {
                if (++startAttempts_ >= kStartAttempts) {
                    FinishItem(index, TItemState::Failed, "the command could not be started: the system has no processes to spare");
                    startAttempts_ = 0;
                    continue;
                }
                timerPending_ = true;
                host_.ArmTimer(kRetryStartDelayMs);
            }
            break;
        }
        if (outcome == StartOutcome::Started) startAttempts_ = 0;
    }
    filling_ = false;
    if (active_.empty() && !timerPending_) EndJob();
}

TranscodeJob::StartOutcome TranscodeJob::StartItem(int index)
{
    const TWorkItem item = queue_.At(index);
    TJobSettings settings = settings_;  // the option lines as they are now
    // but the format the job was planned for: its files are of that format.
    settings.format = jobSettings_.format;

    // The file may have been replaced since it was added: a pipe or a device in its place
    // would hold the decoder for ever.
    const os::TFileInfo info = os::Stat(item.source);
    if (info.kind != os::TKind::File) {
        FinishItem(index, TItemState::Failed,
                   info.kind == os::TKind::None ? "the source is gone" : "the source is no longer a file");
        return StartOutcome::Failed;
    }
    if (tagUpdates_.count(item.id)) {
        UpdateItemTags(index, info);
        return StartOutcome::Done;
    }

    // The lines may have been changed since the job started.
    if (std::string problem = OptionLinesProblem(platform_, settings); !problem.empty()) {
        FinishItem(index, TItemState::Failed, problem);
        return StartOutcome::Failed;
    }

    const TConversionSetup setup = SetupFor(settings);
    auto active = std::make_unique<Active>();
    // Read once, before the decoder starts: the progress, the verification and the tags go by it.
    active->source.Load(item.source, info);
    std::string error;
    const bool prepared = PrepareFile(item, setup, platform_.quotePath, scratch_, active->prepared, &error);
    createdFolders_.insert(createdFolders_.end(), active->prepared.createdFolders.begin(),
                           active->prepared.createdFolders.end());
    if (!prepared) {
        FinishItem(index, TItemState::Failed, error);
        return StartOutcome::Failed;
    }
    switch (runner_.Start(item.id, active->prepared.argv, active->prepared.workFolder.get(), &error)) {
    case TCommandRunner::StartResult::TryLater:
        DiscardPrepared(active->prepared);
        return StartOutcome::TryLater;
    case TCommandRunner::StartResult::Failed:
        DiscardPrepared(active->prepared);
        FinishItem(index, TItemState::Failed, "the command could not be started: " + error);
        return StartOutcome::Failed;
    case TCommandRunner::StartResult::Started:
        break;
    }
    const std::string shown = active->prepared.lines.shown;
    active_[item.id] = std::move(active);
    queue_.Update(index, [](TWorkItem &i) {
        i.state = TItemState::Running;
        i.percent = 0;
    });
    figures_.running[item.id] = 0;
    observer_->FileStarted(queue_.At(index), shown);
    return StartOutcome::Started;
}

// A folder's picture goes only where the tags switched on can hold a picture.
void TranscodeJob::AddFolderArt(const std::string &source, const TJobSettings &settings, TTagAdditions &additions)
{
    if (settings.embedFolderArt && OutputTarget(jobSettings_.format).CarriesMark(settings.tags))
        folderArt_.AddTo(os::FolderOf(source), additions);
}

void TranscodeJob::UpdateItemTags(int index, const os::TFileInfo &info)
{
    const TWorkItem item = queue_.At(index);
    const TJobSettings settings = settings_;  // the tag switches as they are now
    TSourceAtStart source;
    source.Load(item.source, info);
    TTagAdditions additions;
    AddFolderArt(item.source, settings, additions);
    TConversionResult result;
    try {
        result = UpdateFileTags(item, OutputTarget(jobSettings_.format), source, settings.tags, additions,
                                [this](const std::string &path) { scratch_.NoteTemporary(path); });
    } catch (const std::exception &e) {
        result.reason = std::string("the tags could not be written: ") + e.what();
    }
    queue_.Update(index, [&](TWorkItem &i) {
        i.tags = result.tags;
        if (result.ok) i.percent = 100;
    });
    FinishItem(index, result.ok ? TItemState::TagsUpdated : TItemState::Failed, result.reason);
}

const TMPEGplus *TranscodeJob::SourceRead(std::uint64_t id) const
{
    const auto found = active_.find(id);
    return found != active_.end() && found->second->source.read ? &found->second->source.stream : nullptr;
}

void TranscodeJob::CommandOutput(std::uint64_t id, const std::string &text)
{
    if (id == kOptionsCheckId) {
        if (check_) check_->lines.Add(text, [&](const std::string &line) { KeepTail(check_->outputTail, ProgramLine(line)); });
        return;
    }
    const auto found = active_.find(id);
    if (found == active_.end()) return;
    found->second->lines.Add(text, [&](const std::string &line) { OutputLine(id, *found->second, line); });
}

void TranscodeJob::OutputLine(std::uint64_t id, Active &active, const std::string &printed)
{
    const std::string line = ProgramLine(printed);
    KeepTail(active.outputTail, line);
    const int index = queue_.IndexOf(id);
    if (index >= 0) observer_->FileOutput(queue_.At(index), line);
}

void TranscodeJob::ShowDecoderOutput(std::uint64_t id, Active &active, bool ended)
{
    const TPreparedFile &p = active.prepared;
    if (p.decoderLogName.empty() || !p.scratch) return;
    constexpr std::size_t kChunk = 64 * 1024;
    // At its end all that is left; while it runs a chunk a look, the lines cut as any output is.
    for (;;) {
        const std::optional<std::string> text = p.scratch->ReadFileFrom(p.decoderLogName, active.decoderShown, kChunk);
        if (!text || text->empty()) break;
        active.decoderShown += text->size();
        active.decoderLines.Add(*text, [&](const std::string &line) { OutputLine(id, active, line); });
        if (!ended) break;
    }
    if (ended) active.decoderLines.Flush([&](const std::string &line) { OutputLine(id, active, line); });
}

void TranscodeJob::PollProgress()
{
    if (planning_) observer_->JobPlanning(planning_->Count());
    for (auto &[id, active] : active_) {
        ShowDecoderOutput(id, *active, false);
        const int index = queue_.IndexOf(id);
        const double sourceSeconds = active->source.PlayingTime();
        if (index < 0 || sourceSeconds <= 0) continue;
        if (!active->written.IsOpen() &&
            (!active->prepared.workFolder || !active->prepared.target ||
             !active->written.Open(*active->prepared.workFolder, active->prepared.tempOutput)))
            continue;
        if (!active->progress) active->progress = active->prepared.target->Progress();
        active->progress->Advance(active->written);
        const int percent = std::clamp(int(active->progress->Seconds() * 100 / sourceSeconds), 0, 99);
        if (percent == queue_.At(index).percent) continue;
        queue_.Update(index, [percent](TWorkItem &i) { i.percent = percent; });
        figures_.running[id] = percent;
        observer_->FileProgress(queue_.At(index), figures_);
    }
}

void TranscodeJob::CommandEnded(std::uint64_t id, int status)
{
    if (id == kOptionsCheckId) {
        if (check_) OptionsCheckEnded(status);
        return;
    }
    const auto found = active_.find(id);
    if (found == active_.end()) return;
    std::unique_ptr<Active> active = std::move(found->second);
    active_.erase(found);
    figures_.running.erase(id);
    active->written.Close();  // before the file is tagged, renamed or removed
    active->lines.Flush([&](const std::string &line) { OutputLine(id, *active, line); });
    ShowDecoderOutput(id, *active, true);
    const int index = queue_.IndexOf(id);
    if (index < 0) {
        DiscardPrepared(active->prepared);
    } else if (aborting_) {
        DiscardPrepared(active->prepared);
        FinishItem(index, TItemState::Cancelled, "stopped before it was finished");
    } else {
        const TJobSettings settings = settings_;  // the tag switches as they are now
        TConversionResult result;
        TTagAdditions additions;
        additions.marker = queue_.At(index).mark;
        const std::string sourceFolder = os::FolderOf(queue_.At(index).source);
        AddFolderArt(queue_.At(index).source, settings, additions);
        try {
            result = FinishFile(queue_.At(index), active->prepared, active->source, status, active->outputTail,
                                platform_.judgeStatuses, settings.tags, additions,
                                jobSettings_.existing == TExistingPolicy::Overwrite);
        } catch (const std::exception &e) {
            DiscardPrepared(active->prepared);
            result.reason = std::string("the tags could not be written: ") + e.what();
        }
        using Outcome = TConversionResult::Outcome;
        if (result.outcome == Outcome::TryAgain && ++retries_[id] < kRetriesInScript) {
            // Out of processes inside the script: fewer at once, and this file again later.
            limit_ = std::max(1, int(active_.size()));
            queue_.Update(index, [](TWorkItem &i) {
                i.state = TItemState::Waiting;
                i.percent = 0;
            });
            if (!active_.empty()) {
                ContinueOrEnd();  // starts nothing new while the others run at the lowered limit
            } else if (!timerPending_) {
                timerPending_ = true;
                host_.ArmTimer(kRetryStartDelayMs);
            }
            return;
        }
        // The album's image follows its first output into the folder, so a failed album leaves none.
        if (result.outcome == Outcome::Converted && jobSettings_.copyFolderArt && jobSettings_.useOutputDir &&
            jobSettings_.layout != TOutputLayout::Flat) {
            const std::string note =
                folderArt_.CopyOnce(sourceFolder, os::FolderOf(queue_.At(index).output), jobSettings_.existing,
                                    [this](const std::string &path) { scratch_.NoteTemporary(path); });
            if (!note.empty()) {
                const std::string &before = result.reason.empty() ? queue_.At(index).reason : result.reason;
                result.reason = before.empty() ? note : before + "; " + note;
            }
        }
        queue_.Update(index, [&](TWorkItem &i) {
            i.tags = result.tags;
            if (result.ok) i.percent = 100;
        });
        const TItemState state = result.outcome == Outcome::Converted ? TItemState::Converted
                                 : result.outcome == Outcome::Skipped ? TItemState::Skipped
                                                                      : TItemState::Failed;
        FinishItem(index, state, result.reason);
    }
    ContinueOrEnd();
}

void TranscodeJob::FinishItem(int index, TItemState state, const std::string &reason, bool outdated)
{
    if (index < 0) return;
    queue_.Update(index, [&](TWorkItem &i) {
        i.state = state;
        if (!reason.empty() || state != TItemState::Converted) i.reason = reason;
    });
    switch (state) {
    case TItemState::Converted: ++figures_.converted; break;
    case TItemState::Skipped: ++(outdated ? figures_.outdated : figures_.skipped); break;
    case TItemState::TagsUpdated: ++figures_.tagsUpdated; break;
    case TItemState::Failed: ++figures_.failed; break;
    default: ++figures_.cancelled; break;
    }
    figures_.running.erase(queue_.At(index).id);
    observer_->FileFinished(queue_.At(index), figures_);
    if (state == TItemState::Converted || state == TItemState::Skipped || state == TItemState::TagsUpdated)
        queue_.Remove(index);
}

void TranscodeJob::ContinueOrEnd()
{
    if (state_ != State::Running) return;
    if (!cancel_ && NextWaiting() >= 0) {
        if (platform_.pauseBetweenFilesMs > 0) {
            if (!timerPending_) {
                timerPending_ = true;
                host_.ArmTimer(platform_.pauseBetweenFilesMs);
            }
        } else {
            FillSlots();
        }
        return;
    }
    if (active_.empty() && !timerPending_) EndJob();
}

void TranscodeJob::TimerFired()
{
    if (!timerPending_) return;
    timerPending_ = false;
    if (state_ != State::Running) return;
    // A Cancel pressed in the pause would otherwise go unseen until the next file ends.
    if (cancel_) {
        if (active_.empty()) EndJob();
        return;
    }
    FillSlots();
}

void TranscodeJob::Cancel()
{
    cancel_ = true;
    StopPlanning();
}

bool TranscodeJob::StopPlanning()
{
    if (!planning_) return false;
    planning_->progress.stop = true;
    return true;
}

void TranscodeJob::Abort()
{
    if (state_ != State::Running) return;
    cancel_ = aborting_ = true;
    if (StopPlanning()) return;
    if (check_) {
        runner_.Stop(kOptionsCheckId);  // its end ends the job
        return;
    }
    std::vector<std::uint64_t> ids;
    for (const auto &[id, active] : active_) ids.push_back(id);
    for (std::uint64_t id : ids) runner_.Stop(id);
    if (active_.empty()) {
        timerPending_ = false;
        EndJob();
    }
}

void TranscodeJob::EndJob()
{
    if (state_ != State::Running) return;
    // The files never started stay in the queue, waiting for the next job.
    for (int i = 0; i < queue_.Count(); ++i) {
        if (queue_.At(i).state != TItemState::Waiting || !InThisJob(queue_.At(i))) continue;
        FinishItem(i, TItemState::Cancelled, "not converted: the job was cancelled");
        queue_.Update(i, [](TWorkItem &item) { item.state = TItemState::Waiting; });
    }
    host_.SetProgressPolling(false);
    TJobEnd end;
    end.converted = figures_.converted;
    end.skipped = figures_.skipped;
    end.failed = figures_.failed;
    end.cancelled = figures_.cancelled;
    end.outdated = figures_.outdated;
    end.tagsUpdated = figures_.tagsUpdated;
    end.overallPercent = figures_.OverallPercent();
    end.remaining = queue_.Count();
    end.cancelRequested = cancel_;
    end.shutdownRequested = settings_.shutdownAfterJob;
    scratch_.Remove();
    // Folders made for MP3s that then failed or were cancelled are not left behind empty.
    RemoveEmptyFolders(createdFolders_);
    createdFolders_.clear();
    folderArt_.Reset();
    observer_->JobEnded(end);
    if (!end.shutdownRequested) {
        ReturnToIdle();
        return;
    }
    SetState(State::ShutdownRequested);
    noticeShown_ = shutdownNotice_;
    if (noticeShown_)
        observer_->ShutdownNoticeDue();
    else
        RequestShutdownNow();
}

void TranscodeJob::ShutdownNoticeEnded(bool proceed)
{
    if (state_ != State::ShutdownRequested || !noticeShown_) return;
    noticeShown_ = false;
    if (proceed)
        RequestShutdownNow();
    else
        ReturnToIdle();
}

void TranscodeJob::RequestShutdownNow()
{
    if (!host_.RequestShutdown()) {
        observer_->JobProblem(
            Word("trackmill::TForm1", "The system refused to shut down. Transcoding has finished; the computer keeps running."));
        ReturnToIdle();
    }
}

void TranscodeJob::ReturnToIdle()
{
    SetState(State::Idle);
}

void TranscodeJob::SetState(State state)
{
    state_ = state;
    observer_->StateChanged(state);
}

}  // namespace trackmill
