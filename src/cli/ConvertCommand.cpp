// trackmill-cli convert: collects the paths as a drop on the window does, runs the
// engine's job on them (several files at once, each through its own script, each judged
// by what the programs did), then names every file that was not converted and why.
#include "cli/Commands.h"
#include "cli/ConvertHost.h"
#include "cli/ConvertSettings.h"
#include "cli/Json.h"
#include "cli/Usage.h"
#include "collect/TranscodeList.h"
#include "config/SettingsPath.h"
#include "config/StoredSettings.h"
#include "engine/Acceptance.h"
#include "engine/FolderArt.h"
#include "engine/OutputPlan.h"
#include "formats/TextUtil.h"
#include "system/Interrupts.h"
#include "system/JobPlatform.h"
#include "system/Platform.h"
#include "system/ProcessPool.h"
#include "system/os/Files.h"
#include "system/os/Path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <map>
#include <set>

namespace trackmill {

namespace {

std::string Shown(const std::string &text) { return EscapeControls(text); }

void PrintSettings(std::FILE *out, const TJobSettings &s)
{
    std::fprintf(out, "Settings: decoder options '%s', encoder options '%s'\n", Shown(s.decoderOptions).c_str(),
                 Shown(s.encoderOptions).c_str());
    std::string layout;
    if (s.useOutputDir) {
        switch (s.layout) {
        case TOutputLayout::Source: layout = ", folder structure kept"; break;
        case TOutputLayout::Tags: layout = ", names from the tags: " + s.namePattern; break;
        case TOutputLayout::Flat: layout = ", flat"; break;
        }
    }
    std::fprintf(out, "  output: %s%s\n",
                 s.useOutputDir ? Shown(s.outputDir.empty() ? "the working folder" : s.outputDir).c_str() : "beside each source",
                 Shown(layout).c_str());
    std::fprintf(out, "  library folder: %s; folder art: %s\n",
                 s.libraryDir.empty() ? "none" : Shown(s.libraryDir).c_str(),
                 !s.copyFolderArt && !s.embedFolderArt ? "not used"
                 : !s.embedFolderArt                   ? "copied"
                 : !s.copyFolderArt                    ? "embedded where a file has none"
                                                       : "copied, and embedded where a file has none");
    std::fprintf(out, "  existing files: %s; %d at once; tags: ID3v1 %s, ID3v2 %s, APE %s\n",
                 ExistingOptionName(s.existing), s.jobs, s.tags.copyID3v1 ? "copied" : "not copied",
                 s.tags.copyID3v2 ? "copied" : "not copied",
                 !s.tags.convertApe ? "not converted" : s.tags.apeTarget == 0 ? "to ID3v1.1" : "to ID3v2.3");
}

const char *PlanAction(TPlannedOutput::Kind kind)
{
    switch (kind) {
    case TPlannedOutput::Kind::Write: return "write";
    case TPlannedOutput::Kind::Renamed: return "rename";
    case TPlannedOutput::Kind::Overwrite: return "overwrite";
    case TPlannedOutput::Kind::Skipped: return "skip";
    case TPlannedOutput::Kind::Refused: return "refuse";
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
        if (p.kind == TPlannedOutput::Kind::Skipped || p.kind == TPlannedOutput::Kind::Refused) continue;
        const std::string from = os::FolderOf(queue.At(i).source), to = os::FolderOf(p.output);
        if (!seen.emplace(from, to).second) continue;
        auto image = images.find(from);
        if (image == images.end()) image = images.emplace(from, FindFolderImage(from)).first;
        if (image->second.empty()) continue;
        const TArtCopyPlan art = PlanArtCopy(os::Join(from, image->second), to, s.existing);
        if (art.action != TArtCopyPlan::Action::None)
            std::printf("  folder image %s -> %s%s\n", Shown(os::Join(from, image->second)).c_str(),
                        Shown(art.target).c_str(), art.action == TArtCopyPlan::Action::Overwrite ? " (overwrite)" : "");
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
        std::printf("Plan for %d file%s (nothing is converted):\n", queue.Count(), queue.Count() == 1 ? "" : "s");
    for (int i = 0; i < queue.Count(); ++i) {
        const TPlannedOutput &p = plans[static_cast<std::size_t>(i)];
        const bool hasOutput = p.kind != TPlannedOutput::Kind::Skipped && p.kind != TPlannedOutput::Kind::Refused;
        if (json) {
            std::printf("%s\n", json::Object()
                                    .Text("event", "plan")
                                    .Int("file", i + 1)
                                    .Text("source", queue.At(i).source)
                                    .Text("output", hasOutput ? p.output : std::string())
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
            std::printf("  %s -> %s (%s)\n", source.c_str(), ShownPath(p.output).c_str(), Shown(p.reason).c_str());
            break;
        case TPlannedOutput::Kind::Skipped: std::printf("  %s: skipped (%s)\n", source.c_str(), Shown(p.reason).c_str()); break;
        case TPlannedOutput::Kind::Refused: std::printf("  %s: refused (%s)\n", source.c_str(), Shown(p.reason).c_str()); break;
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
    const int total = end.converted + end.skipped + end.failed + end.cancelled;
    std::fprintf(out, "\nConverted %d of %d file%s", end.converted, total, total == 1 ? "" : "s");
    if (end.skipped) std::fprintf(out, ", %d skipped", end.skipped);
    if (end.failed) std::fprintf(out, ", %d failed", end.failed);
    if (end.cancelled) std::fprintf(out, ", %d not converted", end.cancelled);
    if (refused) std::fprintf(out, ", %d refused", refused);
    if (ignored) std::fprintf(out, ", %d ignored (not Musepack)", ignored);
    std::fprintf(out, ".\n");
    auto section = [&](TItemState state, const char *title, bool withReason, bool withOutput) {
        bool first = true;
        for (const TWorkItem &item : host.Finished()) {
            if (item.state != state) continue;
            if (first) std::fprintf(out, "%s\n", title);
            first = false;
            std::string line = "  " + ShownPath(item.source);
            if (withOutput) line += " -> " + ShownPath(item.output);
            if (withReason) line += ": " + Shown(item.reason);
            if (state == TItemState::Converted && !item.tags.omitted.empty())
                line += " (" + Shown(item.tags.omitted) + ")";
            std::fprintf(out, "%s\n", line.c_str());
        }
    };
    if (verbose) {
        section(TItemState::Converted, "Converted:", false, true);
        section(TItemState::Skipped, "Skipped:", true, false);
    }
    section(TItemState::Failed, "Failed:", true, false);
    if (verbose)
        section(TItemState::Cancelled, end.cancelRequested ? "Not converted (cancelled):" : "Not converted:", false,
                false);
    std::fflush(out);
}

}  // namespace

int RunConvert(const std::vector<std::string> &rawArgs)
{
    TConvertOptions options;
    options.settings = DesignedSettings();
    const QString iniPath = FindWindowSettingsFile(QCoreApplication::applicationDirPath());
    if (!iniPath.isEmpty()) ApplyStoredSettings(options.settings, config::ReadStoredSettings(TIniFile(iniPath.toStdString())));
    std::string error, guess;
    if (!ParseConvertOptions(rawArgs, options, &error, &guess)) {
        // Nothing typed yet: the help is what is wanted.
        if (rawArgs.empty()) {
            std::fprintf(stderr, "trackmill-cli convert: %s\n\n%s", Shown(error).c_str(), kConvertUsage);
            return 2;
        }
        return UsageError("trackmill-cli convert", error, guess, "trackmill-cli convert --help");
    }
    if (options.help) {
        std::fputs(kConvertUsage, stdout);
        return 0;
    }
    for (const std::string &note : options.notes) std::fprintf(stderr, "trackmill-cli: %s\n", Shown(note).c_str());
    const TJobPlatform jobPlatform = platform::JobPlatform(QCoreApplication::applicationDirPath().toStdString(), 0);
    if (const std::string problem = OptionLinesProblem(jobPlatform, options.settings); !problem.empty()) {
        std::fprintf(stderr, "trackmill-cli convert: %s\n", Shown(problem).c_str());
        return 2;
    }

    TConvertHost::Output io;
    io.json = options.json;
    io.live = !options.json && os::IsTerminal(stdout);
    io.verbose = options.verbose;
    TConvertHost host(io);
    TProcessPool runner;
    TranscodeJob job(runner, host, jobPlatform);
    job.SetSettings(options.settings);
    host.Attach(job);
    TWorkQueue &queue = job.Queue();

    // Full paths, as a drop delivers them. Whatever is not taken is named with the reason,
    // and with --json it is an event too.
    // Refused: music that cannot be converted, which fails the run. Ignored: a file that is
    // not Musepack at all, as a drop on the window leaves it out.
    auto tell = [&](const char *what, const std::string &name, const std::string &reason) {
        std::fprintf(stderr, "trackmill-cli: %s %s: %s\n", what, ShownPath(name).c_str(), Shown(reason).c_str());
        if (options.json)
            std::printf("%s\n", json::Object().Text("event", what).Text("source", name).Text("reason", reason)
                                     .Str().c_str());
    };
    QStringList names;
    std::vector<std::string> unusable;
    for (const std::string &p : options.paths) {
        const QString decoded = QFile::decodeName(QByteArray::fromStdString(p));
        if (QFile::encodeName(decoded).toStdString() != p) {
            tell("refused", p, "the name is not valid UTF-8");
            unusable.push_back(p);
            continue;
        }
        names << QDir::cleanPath(QDir::current().absoluteFilePath(decoded));
    }
    TTranscodeList list(queue, [](const QString &path) { return HasValidMusepackHeader(QFile::encodeName(path).toStdString()); });
    list.SetOnRefused([&tell](const QString &name, const QString &reason) {
        tell("refused", QFile::encodeName(name).toStdString(), reason.toStdString());
    });
    list.SetOnIgnored([&tell](const QString &name, const QString &reason) {
        tell("ignored", QFile::encodeName(name).toStdString(), reason.toStdString());
    });
    list.HandleDrop(names);
    // After the drop, which forgets what the one before it left out.
    for (const std::string &p : unusable) queue.NoteRefused(p, "the name is not valid UTF-8");
    const int refused = int(queue.Refused().size()), ignored = int(queue.Ignored().size());
    if (options.dryRun) {
        DryRun(queue, options.settings, options.json);
        return refused == 0 ? 0 : 1;
    }
    if (queue.IsEmpty()) {
        std::fprintf(stderr, "trackmill-cli: no Musepack files to convert\n");
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
            host.Note("cancel requested: the files in progress finish, no new file starts "
                      "(Ctrl-C again stops them too)");
            job.Cancel();
        } else {
            host.Note("stopping the files in progress; their MP3s are removed");
            job.Abort();
        }
    });
    job.Start();
    if (job.Running()) QCoreApplication::exec();
    if (!host.Ended()) return 1;
    PrintSummary(options.json ? stderr : stdout, host, queue, options.verbose || options.json);
    const TJobEnd &end = host.End();
    const bool allDone = end.failed == 0 && end.cancelled == 0 && !end.cancelRequested && refused == 0 &&
                         host.ErrorsShown() == 0;
    return allDone ? 0 : 1;
}

}  // namespace trackmill
