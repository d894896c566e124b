// trackmill-cli convert: collects the paths as a drop on the window does, runs the
// engine's job on them (several files at once, each through its own script, each judged
// by what the programs did), then names every file that was not converted and why.
#include "cli/Commands.h"
#include "cli/ConvertHost.h"
#include "cli/ConvertSettings.h"
#include "cli/Json.h"
#include "cli/Tr.h"
#include "cli/Usage.h"
#include "collect/FileNames.h"
#include "collect/TranscodeList.h"
#include "config/SettingsPath.h"
#include "config/StoredSettings.h"
#include "engine/FolderArt.h"
#include "engine/OutputPlan.h"
#include "formats/TextCodec.h"
#include "formats/TextUtil.h"
#include "session/Session.h"
#include "system/Interrupts.h"
#include "system/Platform.h"
#include "os/Conventions.h"
#include "os/Files.h"
#include "os/Path.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <map>
#include <set>

namespace trackmill {

namespace {

std::string Shown(const std::string &text) { return EscapeControls(SanitizeUtf8(text)); }

// A named path in full, from the working folder, its bytes kept (a Linux name need not be
// UTF-8).
QString FullPath(const std::string &path)
{
    return NameFromBytes(os::AbsolutePath(path));
}

// The existing-files choice in words; a choice without its own words is shown as the
// option's value.
std::string PolicyText(TExistingPolicy policy)
{
    switch (policy) {
    case TExistingPolicy::Skip: return Cli::Tr("skip");
    case TExistingPolicy::Overwrite: return Cli::Tr("overwrite");
    case TExistingPolicy::KeepBoth: return Cli::Tr("keep both");
    default: return config::OptionName(config::kExistingFiles, policy);
    }
}

void PrintSettings(std::FILE *out, const TJobSettings &s)
{
    std::fputs(Formatted(Cli::Tr("Settings: decoder options '%s', encoder options '%s'\n"),
                         Shown(s.decoderOptions).c_str(), Shown(s.encoderOptions).c_str())
                   .c_str(),
               out);
    std::string layout;
    if (s.useOutputDir) {
        switch (s.layout) {
        case TOutputLayout::Source: layout = Cli::Tr(", folder structure kept"); break;
        case TOutputLayout::Tags: layout = Cli::Tr(", names from the tags: ") + s.namePattern; break;
        case TOutputLayout::Flat: layout = Cli::Tr(", flat"); break;
        }
    }
    const std::string output = !s.useOutputDir       ? Cli::Tr("beside each source")
                               : s.outputDir.empty() ? Cli::Tr("the working folder")
                                                     : ShownPath(s.outputDir);
    std::fputs(Formatted(Cli::Tr("  output: %s%s\n"), output.c_str(), Shown(layout).c_str()).c_str(), out);
    const std::string library = s.libraryDir.empty() ? Cli::Tr("none") : ShownPath(s.libraryDir);
    const std::string art = !s.copyFolderArt && !s.embedFolderArt ? Cli::Tr("not used")
                            : !s.embedFolderArt                   ? Cli::Tr("copied")
                            : !s.copyFolderArt                    ? Cli::Tr("embedded where a file has none")
                                                                  : Cli::Tr("copied, and embedded where a file has none");
    std::fputs(Formatted(Cli::Tr("  library folder: %s; folder art: %s\n"), library.c_str(), art.c_str()).c_str(), out);
    const std::string copied = Cli::Tr("copied"), notCopied = Cli::Tr("not copied");
    const std::string ape = !s.tags.convertApe       ? Cli::Tr("not converted")
                            : s.tags.apeTarget == 0 ? Cli::Tr("to ID3v1.1")
                                                    : Cli::Tr("to ID3v2.3");
    std::fputs(Formatted(Cli::Tr("  existing files: %s; %d at once; tags: ID3v1 %s, ID3v2 %s, APE %s\n"),
                         PolicyText(s.existing).c_str(), s.jobs,
                         (s.tags.copyID3v1 ? copied : notCopied).c_str(),
                         (s.tags.copyID3v2 ? copied : notCopied).c_str(), ape.c_str())
                   .c_str(),
               out);
}

const char *PlanAction(TPlannedOutput::Kind kind)
{
    switch (kind) {
    case TPlannedOutput::Kind::Write: return "write";
    case TPlannedOutput::Kind::Renamed: return "rename";
    case TPlannedOutput::Kind::Overwrite: return "overwrite";
    case TPlannedOutput::Kind::Skipped: return "skip";
    case TPlannedOutput::Kind::Refused: return "refuse";
    case TPlannedOutput::Kind::UpdateTags: return "update-tags";
    }
    return "";
}

// The album images a job would copy, one line each.
void PrintFolderArt(const TWorkQueue &queue, const std::vector<TPlannedOutput> &plans, const TJobSettings &s)
{
    if (!s.copyFolderArt || !s.useOutputDir || s.layout == TOutputLayout::Flat) return;
    std::set<std::pair<std::string, std::string>> seen;
    std::map<std::string, std::string> images;
    for (int i = 0; i < queue.Count(); ++i) {
        const TPlannedOutput &p = plans[static_cast<std::size_t>(i)];
        if (p.kind != TPlannedOutput::Kind::Write && p.kind != TPlannedOutput::Kind::Renamed &&
            p.kind != TPlannedOutput::Kind::Overwrite)
            continue;
        const std::string from = os::FolderOf(queue.At(i).source), to = os::FolderOf(p.output);
        if (!seen.emplace(from, to).second) continue;
        auto image = images.find(from);
        if (image == images.end()) image = images.emplace(from, FindFolderImage(from)).first;
        if (image->second.empty()) continue;
        const TArtCopyPlan art = PlanArtCopy(os::Join(from, image->second), to, s.existing);
        if (art.action != TArtCopyPlan::Action::None)
            std::fputs(Formatted(Cli::Tr("  folder image %s -> %s\n"), ShownPath(os::Join(from, image->second)).c_str(),
                                 ShownPath(art.target).c_str())
                           .c_str(),
                       stdout);
    }
}

// With --json the plan is events too ("planned", then one "plan" a source), so that a
// reader of standard output never meets plain text.
void DryRun(const TWorkQueue &queue, const TJobSettings &s, bool json)
{
    PrintSettings(json ? stderr : stdout, s);
    const auto plans = PlanJob(queue.Items(), PlanOptionsOf(s));
    if (json)
        std::printf("%s\n", PlannedEvent(queue.Count(), s.jobs).Bool("dryRun", true).Str().c_str());
    else
        std::fputs(Formatted(queue.Count() == 1 ? Cli::Tr("Plan for %d file (nothing is converted):\n")
                                                : Cli::Tr("Plan for %d files (nothing is converted):\n"),
                             queue.Count())
                       .c_str(),
                   stdout);
    for (int i = 0; i < queue.Count(); ++i) {
        const TPlannedOutput &p = plans[static_cast<std::size_t>(i)];
        const bool hasOutput = p.kind != TPlannedOutput::Kind::Skipped && p.kind != TPlannedOutput::Kind::Refused;
        if (json) {
            std::printf("%s\n", json::Object()
                                    .Text("event", "plan")
                                    .Int("file", i + 1)
                                    .Path("source", "rawSource", queue.At(i).source)
                                    .Path("output", "rawOutput", hasOutput ? p.output : std::string())
                                    .Text("action", PlanAction(p.kind))
                                    .Text("reason", p.reason)
                                    .Str()
                                    .c_str());
            continue;
        }
        const std::string source = ShownPath(queue.At(i).source);
        switch (p.kind) {
        case TPlannedOutput::Kind::Write: std::printf("  %s -> %s\n", source.c_str(), ShownPath(p.output).c_str()); break;
        case TPlannedOutput::Kind::Renamed:
        case TPlannedOutput::Kind::Overwrite:
        case TPlannedOutput::Kind::UpdateTags:
            std::printf("  %s -> %s (%s)\n", source.c_str(), ShownPath(p.output).c_str(), Shown(ReasonText(p.reason)).c_str());
            break;
        case TPlannedOutput::Kind::Skipped:
            std::fputs(Formatted(Cli::Tr("  %s: skipped (%s)\n"), source.c_str(), Shown(ReasonText(p.reason)).c_str()).c_str(), stdout);
            break;
        case TPlannedOutput::Kind::Refused:
            std::fputs(Formatted(Cli::Tr("  %s: refused (%s)\n"), source.c_str(), Shown(ReasonText(p.reason)).c_str()).c_str(), stdout);
            break;
        }
    }
    if (!json) PrintFolderArt(queue, plans, s);
    std::fflush(stdout);
}

// Quietly only the failures are named; the rest are counted.
void PrintSummary(std::FILE *out, const TConvertHost &host, const TWorkQueue &queue, bool verbose)
{
    const int refused = int(queue.Refused().size()), ignored = int(queue.Ignored().size());
    const TJobEnd &end = host.End();
    const int total = end.converted + end.skipped + end.failed + end.cancelled + end.outdated + end.tagsUpdated;
    std::string line = Formatted(total == 1 ? Cli::Tr("\nConverted %d of %d file") : Cli::Tr("\nConverted %d of %d files"),
                                 end.converted, total);
    if (end.tagsUpdated) line += Formatted(Cli::Tr(", %d with tags updated"), end.tagsUpdated);
    if (end.skipped) line += Formatted(Cli::Tr(", %d skipped"), end.skipped);
    if (end.outdated) line += Formatted(Cli::Tr(", %d out of date"), end.outdated);
    if (end.failed) line += Formatted(Cli::Tr(", %d failed"), end.failed);
    if (end.cancelled) line += Formatted(Cli::Tr(", %d not converted"), end.cancelled);
    if (refused) line += Formatted(Cli::Tr(", %d refused"), refused);
    if (ignored) line += Formatted(Cli::Tr(", %d ignored (not Musepack)"), ignored);
    std::fprintf(out, "%s.\n", line.c_str());
    if (end.outdated)
        std::fputs(Cli::Tr("Out of date: converted before the source last changed; --existing update-tags gives "
                           "the MP3 the source's present tags.\n")
                       .c_str(),
                   out);
    auto section = [&](TItemState state, const std::string &title, bool withReason, bool withOutput) {
        bool first = true;
        for (const TWorkItem &item : host.Finished()) {
            if (item.state != state) continue;
            if (first) std::fprintf(out, "%s\n", title.c_str());
            first = false;
            std::string line = "  " + ShownPath(item.source);
            if (withOutput) line += " -> " + ShownPath(item.output);
            if (withReason) line += ": " + Shown(ReasonText(item.reason));
            if (state == TItemState::Converted && !item.tags.omitted.empty())
                line += " (" + Shown(ReasonText(item.tags.omitted)) + ")";
            std::fprintf(out, "%s\n", line.c_str());
        }
    };
    if (verbose) {
        section(TItemState::Converted, Cli::Tr("Converted:"), false, true);
        section(TItemState::TagsUpdated, Cli::Tr("Tags updated:"), false, true);
        section(TItemState::Skipped, Cli::Tr("Skipped:"), true, false);
    }
    section(TItemState::Failed, Cli::Tr("Failed:"), true, false);
    if (verbose)
        section(TItemState::Cancelled,
                end.cancelRequested ? Cli::Tr("Not converted (cancelled):") : Cli::Tr("Not converted:"), false, false);
    std::fflush(out);
}

}  // namespace

int RunConvert(const std::vector<std::string> &rawArgs)
{
    TConvertOptions options;
    options.settings = DesignedSettings();
    const QString iniPath = WindowSettingsFilePath(QCoreApplication::applicationDirPath());
    const bool iniRead = QFileInfo(iniPath).isFile();
    if (iniRead) ApplyStoredSettings(options.settings, config::ReadStoredSettings(TIniFile(iniPath.toStdString())));
    std::string error, guess;
    if (!ParseConvertOptions(rawArgs, options, &error, &guess)) {
        // Nothing typed yet: the help is what is wanted.
        if (rawArgs.empty()) {
            std::fprintf(stderr, "trackmill-cli convert: %s\n\n%s", Shown(error).c_str(), Cli::Tr(kConvertUsage).c_str());
            return 2;
        }
        return UsageError("trackmill-cli convert", error, guess, "trackmill-cli convert --help");
    }
    if (options.help) {
        std::fputs(Cli::Tr(kConvertUsage).c_str(), stdout);
        return 0;
    }
    if (options.verbose) {
        // Where the run's defaults came from; standard output carries only events with --json.
        const std::string ini = ShownPath(QFile::encodeName(iniPath).toStdString());
        std::fputs(Formatted(iniRead ? Cli::Tr("Settings file: %s\n")
                                     : Cli::Tr("Settings file: none (%s does not exist); the default settings apply\n"),
                             ini.c_str())
                       .c_str(),
                   options.json ? stderr : stdout);
    }
    for (const std::string &note : options.notes) std::fprintf(stderr, "trackmill-cli: %s\n", Shown(note).c_str());
    TConvertHost::Output io;
    io.json = options.json;
    io.live = !options.json && os::IsTerminal(stdout);
    io.verbose = options.verbose;
    TConvertHost host(io);
    TSession session(host, QCoreApplication::applicationDirPath().toStdString(), 0);
    TranscodeJob &job = session.Job();
    job.SetSettings(options.settings);
    if (const std::string problem = job.OptionsProblem(); !problem.empty()) {
        std::fprintf(stderr, "trackmill-cli convert: %s\n", Shown(ReasonText(problem)).c_str());
        return 2;
    }
    host.Attach(job);
    TWorkQueue &queue = job.Queue();

    // Full paths, as a drop delivers them. Whatever is not taken is named with the reason,
    // and with --json it is an event too.
    // Refused: music that cannot be converted, which fails the run. Ignored: a file that is
    // not Musepack at all, as a drop on the window leaves it out.
    auto tell = [&](const char *what, const std::string &name, const std::string &reason) {
        const std::string said = what == std::string_view("refused") ? Cli::Tr("trackmill-cli: refused %s: %s\n")
                                                                     : Cli::Tr("trackmill-cli: ignored %s: %s\n");
        std::fputs(Formatted(said, ShownPath(name).c_str(), Shown(ReasonText(reason)).c_str()).c_str(), stderr);
        if (options.json)
            std::printf("%s\n", json::Object()
                                    .Text("event", what)
                                    .Path("source", "rawSource", name)
                                    .Text("reason", reason)
                                    .Str()
                                    .c_str());
    };
    QStringList names;
    for (const std::string &p : options.paths) names << FullPath(p);
    TTranscodeList &list = session.List();
    list.SetOnRefused([&tell](const QString &name, const QString &reason) {
        tell("refused", BytesOfName(name), reason.toStdString());
    });
    list.SetOnIgnored([&tell](const QString &name, const QString &reason) {
        tell("ignored", BytesOfName(name), reason.toStdString());
    });
    list.HandleDrop(names);
    const int refused = int(queue.Refused().size()), ignored = int(queue.Ignored().size());
    if (options.dryRun) {
        DryRun(queue, options.settings, options.json);
        return refused == 0 ? 0 : 1;
    }
    if (queue.IsEmpty()) {
        std::fputs(Cli::Tr("trackmill-cli: no Musepack files to convert\n").c_str(), stderr);
        // A reader of the events still sees a whole job: nothing planned, nothing done.
        if (options.json)
            std::printf("%s\n%s\n", PlannedEvent(0, options.settings.jobs).Str().c_str(),
                        EndedEvent(TJobEnd{}, refused, ignored).Str().c_str());
        return 1;
    }

    if (!job.Startup()) return 1;
    // Ctrl-C: the first cancels, the second stops the commands. A hang-up or termination
    // stops the commands straight away.
    TInterrupts interrupts([&job, &host](TInterrupts::Kind kind) {
        if (kind == TInterrupts::Kind::Interrupt && !job.CancelRequested()) {
            host.Note(Cli::Tr("cancel requested: the files in progress finish, no new file starts "
                              "(Ctrl-C again stops them too)"));
            job.Cancel();
        } else {
            host.Note(Cli::Tr("stopping the files in progress; their MP3s are removed"));
            job.Abort();
        }
    });
    job.Start();
    if (job.Running()) QCoreApplication::exec();
    if (host.OptionsWereRefused()) return 2;
    if (!host.Ended()) return 1;
    PrintSummary(options.json ? stderr : stdout, host, queue, options.verbose || options.json);
    const TJobEnd &end = host.End();
    const bool allDone = end.failed == 0 && end.cancelled == 0 && !end.cancelRequested && refused == 0 &&
                         host.ErrorsShown() == 0;
    return allDone ? 0 : 1;
}

}  // namespace trackmill
