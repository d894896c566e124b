#include "ui/WindowPresenter.h"

#include "collect/TranscodeList.h"
#include "engine/FileInfo.h"
#include "engine/Reasons.h"
#include "formats/TextUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>

namespace trackmill {

namespace {

// The window's words for the job: the status line, the reports and the list's states.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(WindowPresenter)
};

// The files a report names in each of its lists; the log has them all.
constexpr int kFilesNamed = 20;
// A large drop is not slowed down by its own counter.
constexpr int kCountIntervalMs = 100;

// A path as the user's system writes it ("\\" on Windows).
QString Decoded(const std::string &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

QString Number(int n)
{
    return QLocale().toString(n);
}

QString Files(int n)
{
    return n == 1 ? Words::tr("1 file") : Words::tr("%1 files").arg(Number(n));
}

QString FileOfText(int number, int total)
{
    return Words::tr("File %1 of %2").arg(Number(number), Number(total));
}

QString CollectedText(const TTranscodeList::TAddResult &result)
{
    QString text;
    const QString known = Words::tr("%1 already in the list").arg(Number(result.known));
    if (result.stopped)
        text = Words::tr("Stopped: %1 added").arg(Files(result.added));
    else if (result.added == 0 && result.rejected == 0)
        text = result.known > 0 ? known : Words::tr("No Musepack files found");
    else
        text = Words::tr("%1 added").arg(Files(result.added)) +
               (result.known > 0 ? QStringLiteral(", ") + known : QString());
    if (result.rejected > 0) text += Words::tr(", %1 not accepted").arg(Number(result.rejected));
    return text;
}

QString ListCountText(int count)
{
    return count == 0 ? Words::tr("The list is empty") : Words::tr("%1 in the list").arg(Files(count));
}

QString SummaryText(const TJobEnd &end)
{
    QString text = Words::tr("%1 converted, %2 skipped, %3 failed")
                       .arg(Number(end.converted), Number(end.skipped), Number(end.failed));
    if (end.tagsUpdated > 0) text += Words::tr(", %1 with tags updated").arg(Number(end.tagsUpdated));
    // Converted before their sources were retagged: "Update tags" is what brings them up to date.
    if (end.outdated > 0) text += Words::tr(", %1 out of date").arg(Number(end.outdated));
    if (end.cancelled > 0) text += Words::tr(", %1 not converted").arg(Number(end.cancelled));
    return text;
}

TControlStates RunningControls()
{
    return {false, false, false, true, false, false, false};
}

TControlStates IdleControls(bool programsFound)
{
    return {programsFound, true, true, false, true, true, true};
}

// A list of files with their reasons, at most kFilesNamed of them.
QString NamedList(QString text, const QStringList &named, int count)
{
    text += named.join(QLatin1Char('\n'));
    if (count > kFilesNamed)
        text += Words::tr("\n\n... and %1 more; \"Show log\" names them all.").arg(Number(count - kFilesNamed));
    return text;
}

}  // namespace

QString StateText(const TWorkItem &item, bool jobRunning)
{
    switch (item.state) {
    case TItemState::Waiting: return jobRunning ? Words::tr("waiting") : QString();
    case TItemState::Running: return Words::tr("converting %1 %").arg(Number(item.percent));
    case TItemState::Failed: return Words::tr("failed");
    default: return QString();
    }
}

QString StateName(TItemState state)
{
    switch (state) {
    case TItemState::Converted: return Words::tr("converted");
    case TItemState::Skipped: return Words::tr("skipped");
    case TItemState::Failed: return Words::tr("failed");
    case TItemState::Cancelled: return Words::tr("cancelled");
    case TItemState::TagsUpdated: return Words::tr("tags updated");
    default: return QString::fromLatin1(ItemStateName(state));
    }
}

QString ReasonText(const std::string &reason)
{
    return QString::fromStdString(ReasonSaid(reason, [](const char *english) {
        return QCoreApplication::translate(kReasonContext, english).toStdString();
    }));
}

TWindowPresenter::TWindowPresenter(TranscodeJob &job, TTranscodeList &list, TWindowView &view)
    : job_(job), list_(list), view_(view)
{
    job_.SetObserver(this);
    job_.SetShutdownNotice(true);
    list_.SetOnItemAdded([this](int index, const QString &) {
        rows_.Insert(index, RowOf(job_.Queue().At(index)));
        ListChanged();
    });
    list_.SetOnItemRemoved([this](int index) {
        rows_.Remove(index);
        ListChanged();
    });
    list_.SetOnCleared([this] {
        rows_.Clear();
        ListChanged();
    });
    list_.SetOnItemChanged([this](int index, const TWorkItem &item) { rows_.Update(index, RowOf(item)); });
    list_.SetOnClearInfo([this] {
        shownSource_.clear();
        view_.ShowInfo({});
    });
    list_.SetOnWaitCursor([this](bool on) { view_.SetBusy(on); });
    list_.SetOnProgress([this](const TTranscodeList::TCollectProgress &p) {
        if (lastCount_.isValid() && lastCount_.elapsed() < kCountIntervalMs) return;
        lastCount_.start();
        view_.ShowCollecting(true);
        view_.ShowStatus(Words::tr("Collecting: %1 examined, %2 added").arg(Number(p.examined), Number(p.added)));
    });
}

TWindowPresenter::~TWindowPresenter()
{
    if (streamCheck_) *streamCheck_ = true;
    if (list_.Collecting() || planningShown_) view_.SetBusy(false);
    job_.SetObserver(nullptr);
    list_.SetOnItemAdded({});
    list_.SetOnItemRemoved({});
    list_.SetOnCleared({});
    list_.SetOnItemChanged({});
    list_.SetOnClearInfo({});
    list_.SetOnWaitCursor({});
    list_.SetOnProgress({});
}

void TWindowPresenter::Start()
{
    job_.Startup();
}

TListRow TWindowPresenter::RowOf(const TWorkItem &item) const
{
    TListRow row;
    row.text = Decoded(item.source);
    row.state = StateText(item, jobRunning_);
    row.tone = item.state == TItemState::Failed    ? TRowTone::Failed
               : item.state == TItemState::Running ? TRowTone::Active
                                                   : TRowTone::Plain;
    if (item.state == TItemState::Failed) row.tip = ReasonText(item.reason);
    return row;
}

void TWindowPresenter::MarkAll()
{
    const TWorkQueue &queue = job_.Queue();
    for (int row = 0; row < queue.Count(); ++row) rows_.Update(row, RowOf(queue.At(row)));
}

// The bar of a finished job would pass for the progress of the list as it is now.
void TWindowPresenter::ListChanged()
{
    if (jobRunning_ || !progressShown_) return;
    progressShown_ = false;
    view_.ShowProgress(0);
}

// After entries were taken away, what the status said about the last drop no longer holds.
void TWindowPresenter::ShowListCount()
{
    view_.SetDetailsAvailable(false);
    view_.ShowStatus(ListCountText(job_.Queue().Count()));
}

void TWindowPresenter::ShowRunning(const TJobFigures &figures)
{
    if (job_.CancelRequested() || shownNumber_ <= 0) return;
    const auto now = TJobFigures::Clock::now();
    QString text = FileOfText(shownNumber_, figures.total) + QStringLiteral(", ") +
                   Words::tr("%1 elapsed").arg(QString::fromStdString(ElapsedText(figures.SecondsElapsed(now))));
    if (const double left = figures.SecondsLeft(now); left > 0)
        text += QStringLiteral(", ") + QString::fromStdString(TimeLeftText(
                                            left, {Words::tr("under a minute left").toStdString(),
                                                   Words::tr("about %1 min left").toStdString(),
                                                   Words::tr("about %1 h %2 min left").toStdString()}));
    view_.ShowStatus(text);
}

void TWindowPresenter::SetControls(const TControlStates &controls)
{
    controls_ = controls;
    view_.SetControls(controls);
}

void TWindowPresenter::ShowInfoOf(const std::string &path, const TMPEGplus *read)
{
    const QLocale locale = QLocale();
    const NumberFormatter format = [&locale](double whole) { return locale.toString(whole, 'f', 0).toStdString(); };
    const Wording say = [](const char *english) { return QCoreApplication::translate("InfoPanel", english).toStdString(); };
    ++panelShown_;
    if (streamCheck_) *streamCheck_ = true;  // the file shown before is no longer wanted
    streamCheck_.reset();
    std::vector<std::string> lines;
    if (read) {
        // A starting file's source was just read by the job: not again.
        lines = PanelLines(*read, path, format, say);
    } else {
        // The walk over the whole stream for its end would hold the window up: it comes after.
        TMPEGplus mpc;
        LoadForPanel(mpc, path, false);
        lines = PanelLines(mpc, path, format, say);
    }
    // A tag's line breaks or a file name's odd bytes show as escapes, one fact a line.
    QStringList shown;
    for (const std::string &line : lines) shown << QString::fromStdString(EscapeControls(line));
    shownSource_ = path;
    view_.ShowInfo(shown);
    if (!read && !lines.empty()) CheckStreamAside(path);
}

void TWindowPresenter::CheckStreamAside(const std::string &path)
{
    auto stop = std::make_shared<std::atomic<bool>>(false);
    streamCheck_ = stop;
    auto walked = std::make_shared<TMPEGplus>();
    const int shown = panelShown_;
    view_.RunAside([path, stop, walked] { LoadForPanel(*walked, path, true, [stop] { return stop->load(); }); },
                   [this, life = std::weak_ptr<int>(life_), path, stop, walked, shown] {
                       if (life.expired() || *stop || shown != panelShown_ || shownSource_ != path) return;
                       streamCheck_.reset();
                       // Only a stream cut short adds a line; otherwise the panel stays as it is.
                       if (walked->EndsEarlyAt()) ShowInfoOf(path, walked.get());
                   });
}

void TWindowPresenter::PushSettings()
{
    TJobSettings s = settings_;
    // A window closed during a job leaves the computer running.
    s.shutdownAfterJob = s.shutdownAfterJob && !closingDuringJob_;
    // The job reads the option lines as each file starts; the format it planned its
    // outputs with must stay the one they are encoded in.
    if (jobFormat_) s.format = *jobFormat_;
    job_.SetSettings(std::move(s));
}

void TWindowPresenter::SettingsChanged(const TJobSettings &settings)
{
    settings_ = settings;
    PushSettings();
    if (started_ && job_.CurrentState() == TJobState::Idle && !list_.Collecting() &&
        controls_.transcode != job_.ProgramsFound()) {
        TControlStates controls = controls_;
        controls.transcode = job_.ProgramsFound();
        SetControls(controls);
    }
}

// ---- the user's actions ----

void TWindowPresenter::Transcode()
{
    // The plan is made from the whole list; files still being added would miss it.
    if (list_.Collecting()) return;
    job_.Start();
}

void TWindowPresenter::Cancel()
{
    if (view_.ShutdownNoticeRunning()) {
        view_.CancelShutdownNotice();
        return;
    }
    job_.Cancel();
    // A plan being made ends with nothing started, and says so.
    if (job_.Running() && !job_.Planning()) view_.ShowStatus(Words::tr(kStoppingText));
}

bool TWindowPresenter::Escape()
{
    if (list_.Collecting()) {
        list_.StopCollecting();
        return true;
    }
    return job_.StopPlanning();
}

void TWindowPresenter::Stop()
{
    list_.StopCollecting();
    job_.StopPlanning();
}

void TWindowPresenter::ClearAll()
{
    list_.ClearAll();
    ShowListCount();
}

void TWindowPresenter::DeleteRows(const QList<int> &rows)
{
    bool shownGoes = false;
    for (int row : rows)
        if (row >= 0 && row < job_.Queue().Count() && job_.Queue().At(row).source == shownSource_) shownGoes = true;
    if (list_.DeleteItems(rows) == 0) return;
    if (shownGoes) {
        shownSource_.clear();
        view_.ShowInfo({});
    }
    ShowListCount();
}

void TWindowPresenter::Collect(const QStringList &names)
{
    if (job_.CurrentState() != TJobState::Idle) {
        view_.ShowStatus(Words::tr(kJobRefusedText));
        return;
    }
    view_.SetDetailsAvailable(false);
    const auto told = [this](const TTranscodeList::TAddResult &result) {
        lastCount_.invalidate();
        view_.ShowCollecting(false);
        view_.ShowStatus(CollectedText(result));
        const TWorkQueue &queue = job_.Queue();
        view_.SetDetailsAvailable(!queue.Refused().empty() || !queue.Ignored().empty());
    };
    if (background_) {
        // A drop that comes while another is handled is counted with that one.
        const bool first = !list_.Collecting();
        list_.BeginDrop(names, [this, told](const TTranscodeList::TAddResult &result) {
            TControlStates controls = controls_;
            controls.transcode = job_.ProgramsFound();
            controls.clearAll = controls.deleteItems = true;
            // The folder box follows its switch, which the user may have ticked since.
            controls.outputDirEdit = controls.outputDirEdit || settings_.useOutputDir;
            SetControls(controls);
            told(result);
        });
        // The worker skips what was listed when it began, and the plan wants the whole
        // list: the list keeps still until the drop is done.
        if (first && list_.Collecting()) {
            TControlStates controls = controls_;
            controls.transcode = controls.clearAll = controls.deleteItems = false;
            controls.outputDirEdit = controls.outputDirEdit || settings_.useOutputDir;
            SetControls(controls);
        }
        return;
    }
    const TTranscodeList::TAddResult result = list_.HandleDrop(names);
    if (!list_.Collecting()) told(result);
}

void TWindowPresenter::StopCollecting()
{
    list_.StopCollecting();
}

void TWindowPresenter::RowPicked(int row)
{
    if (job_.Running()) pickedDuringJob_ = true;
    if (row < 0 || row >= job_.Queue().Count()) return;
    ShowInfoOf(job_.Queue().At(row).source);
}

void TWindowPresenter::ShowDetails()
{
    const TWorkQueue &queue = job_.Queue();
    QStringList lines;
    for (const auto *paths : {&queue.Refused(), &queue.Ignored()})
        for (const TLeftOutPath &p : *paths)
            lines << QString::fromStdString(EscapeControls(Decoded(p.path).toStdString())) + QStringLiteral(": ") +
                         ReasonText(p.reason);
    if (lines.isEmpty()) return;
    view_.ShowDetails(lines.size() == 1 ? Words::tr("1 file was not accepted:")
                                        : Words::tr("%1 files were not accepted:").arg(Number(int(lines.size()))),
                      lines);
}

void TWindowPresenter::OpenOutputFolder()
{
    if (!outputFolder_.isEmpty()) view_.OpenFolder(outputFolder_);
}

void TWindowPresenter::Closing()
{
    list_.StopCollecting();
    view_.CancelShutdownNotice();
    if (job_.Running()) {
        closingDuringJob_ = true;
        PushSettings();
        job_.Cancel();
    }
}

void TWindowPresenter::ShutdownNoticeEnded(bool proceed)
{
    if (!proceed) view_.ShowStatus(Words::tr(kShutdownCancelledText));
    job_.ShutdownNoticeEnded(proceed);
}

// ---- the job's events ----

void TWindowPresenter::JobProblem(const std::string &message)
{
    // A message of the window's own catalogue (a program not found) is said there.
    view_.ShowError(ReasonText(message));
}

void TWindowPresenter::OptionsRefused(const std::string &reason)
{
    view_.ShowError(Words::tr(kOptionsRefusedText).arg(ReasonText(reason)));
}

void TWindowPresenter::StateChanged(TJobState state)
{
    switch (state) {
    case TJobState::Running:
        jobFormat_ = settings_.format;
        SetControls(RunningControls());
        break;
    case TJobState::Idle: {
        // A format chosen during the job counts from now.
        if (jobFormat_) {
            jobFormat_.reset();
            PushSettings();
        }
        TControlStates controls = IdleControls(job_.ProgramsFound());
        // At first the folder can be edited only when it is used.
        if (!started_) controls.outputDirEdit = settings_.useOutputDir;
        started_ = true;
        SetControls(controls);
        shownSource_.clear();
        view_.ShowInfo({});
        break;
    }
    case TJobState::ShutdownRequested: break;  // the controls stay while the system goes down
    }
}

void TWindowPresenter::ShutdownNoticeDue()
{
    view_.StartShutdownNotice();
}

QString TWindowPresenter::FailureReport(const TWorkQueue &queue)
{
    QStringList named;
    int failed = 0;
    for (const TWorkItem &item : queue.Items()) {
        if (item.state != TItemState::Failed) continue;
        if (++failed <= kFilesNamed) named << Decoded(item.source) + QStringLiteral(": ") + ReasonText(item.reason);
    }
    if (failed == 0) return {};
    return NamedList(failed == 1 ? Words::tr("1 file could not be converted:\n\n")
                                 : Words::tr("%1 files could not be converted:\n\n").arg(Number(failed)),
                     named, failed);
}

QString TWindowPresenter::OmissionReport(const std::vector<std::pair<QString, QString>> &omissions)
{
    if (omissions.empty()) return {};
    const int count = int(omissions.size());
    QStringList named;
    for (int i = 0; i < count && i < kFilesNamed; ++i)
        named << omissions[std::size_t(i)].first + QStringLiteral(": ") + omissions[std::size_t(i)].second;
    return NamedList(count == 1 ? Words::tr("1 converted file did not get all of its tags:\n\n")
                                : Words::tr("%1 converted files did not get all of their tags:\n\n").arg(Number(count)),
                     named, count);
}

void TWindowPresenter::JobPlanning(const TPlanCount &count)
{
    if (!planningShown_) {
        // As while collecting: Esc and the status area's Stop end it.
        planningShown_ = true;
        view_.ShowPlanning(true);
        view_.SetBusy(true);
    }
    // What the output folder holds is read first, the sources' tags then.
    view_.ShowStatus(count.sources == 0 && count.marksRead > 0
                         ? Words::tr("Planning: %1 files in the output folder read").arg(Number(count.marksRead))
                         : Words::tr("Planning: %1 of %2 files").arg(Number(count.sources), Number(count.total)));
}

void TWindowPresenter::EndPlanningShown()
{
    if (!planningShown_) return;
    planningShown_ = false;
    view_.ShowPlanning(false);
    view_.SetBusy(false);
}

void TWindowPresenter::PlanningStopped()
{
    EndPlanningShown();
    view_.ShowStatus(Words::tr("Planning stopped: no file was started"));
}

void TWindowPresenter::JobPlanned(const TJobFigures &figures)
{
    EndPlanningShown();
    omissions_.clear();
    startedFiles_.clear();
    pickedDuringJob_ = false;
    jobRunning_ = true;
    progressShown_ = true;
    shownNumber_ = 0;
    outputFolder_.clear();
    MarkAll();
    view_.ConsoleBeginJob();
    view_.LogBeginJob();
    view_.SetLogAvailable(false);
    view_.SetDetailsAvailable(false);
    view_.SetOutputFolder({});
    view_.ShowProgress(0);
    view_.ShowStatus(figures.total > 0 ? FileOfText(1, figures.total) : QString());
}

void TWindowPresenter::FileStarted(const TWorkItem &item, const std::string &shownCommand)
{
    // The entry the user picked during the job stays shown.
    if (!pickedDuringJob_) {
        view_.FocusRow(job_.Queue().IndexOf(item.id));
        ShowInfoOf(item.source, job_.SourceRead(item.id));
    }
    const QString command = QString::fromStdString(shownCommand);
    view_.ConsoleBeginFile(item, command);
    view_.LogBeginFile(item, command);
    startedFiles_.insert(item.id);
    shownNumber_ = item.number;
    ShowRunning(job_.Figures());
}

void TWindowPresenter::FileProgress(const TWorkItem &, const TJobFigures &figures)
{
    view_.ShowProgress(figures.OverallPercent());
    ShowRunning(figures);
}

void TWindowPresenter::FileOutput(const TWorkItem &item, const std::string &line)
{
    const QByteArray bytes = QByteArray::fromStdString(line);
    view_.ConsoleAppend(item, bytes);
    view_.LogAppend(item, bytes);
}

void TWindowPresenter::FileFinished(const TWorkItem &item, const TJobFigures &figures)
{
    const bool started = startedFiles_.count(item.id) > 0;
    if (item.state == TItemState::Converted && !item.tags.omitted.empty())
        omissions_.emplace_back(Decoded(item.source), ReasonText(item.tags.omitted));
    if (started) {
        QString last;
        if (item.state == TItemState::Converted)
            last = item.tags.omitted.empty() ? Words::tr("converted")
                                             : Words::tr("converted; ") + ReasonText(item.tags.omitted);
        else
            last = StateName(item.state) + QStringLiteral(": ") + ReasonText(item.reason);
        view_.ConsoleEndFile(item, last);
    }
    if ((item.state == TItemState::Converted || item.state == TItemState::Skipped ||
         item.state == TItemState::TagsUpdated) &&
        !item.output.empty() &&
        outputFolder_.isEmpty())
        outputFolder_ = settings_.useOutputDir && !settings_.outputDir.empty()
                            ? Decoded(settings_.outputDir)
                            : Decoded(item.output.substr(0, item.output.find_last_of('/') + 1));
    // A file never started after a Cancel is not part of the log.
    if (startedFiles_.erase(item.id) > 0 || item.state != TItemState::Cancelled) view_.LogEndFile(item);
    view_.ShowProgress(figures.OverallPercent());
}

void TWindowPresenter::JobEnded(const TJobEnd &end)
{
    lastEnd_ = end;
    jobRunning_ = false;
    view_.ConsoleEndJob();
    MarkAll();
    view_.ShowProgress(end.overallPercent);
    const QString summary = SummaryText(end);
    view_.ShowStatus(summary);
    view_.SetLogAvailable(!view_.LogEmpty());
    view_.SetOutputFolder(outputFolder_);
    // A window closed during the job was left on purpose: no notice follows it.
    if (!closingDuringJob_) view_.NotifyJobEnded(summary);
    QString report = end.failed > 0 ? FailureReport(job_.Queue()) : QString();
    const QString omitted = OmissionReport(omissions_);
    if (!report.isEmpty() && !omitted.isEmpty()) report += QStringLiteral("\n\n");
    if (!(report + omitted).isEmpty()) view_.ShowReport(report + omitted);
}

}  // namespace trackmill
