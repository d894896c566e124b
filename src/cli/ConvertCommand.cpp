// trackmill-cli convert: collects the paths as a drop on the window does and runs the
// window's transcode job on them, then names every file that was not converted.
#include "cli/Commands.h"
#include "cli/ConvertHost.h"
#include "cli/ConvertSettings.h"

#include "engine/Acceptance.h"
#include "system/JobPlatform.h"
#include "system/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace trackmill {

namespace {

int signalPipe[2] = {-1, -1};

void OnInterrupt(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
    // A second Ctrl-C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}

// Ctrl-C asks for the window's Cancel: the job stops after the current file.
class TInterruptToCancel {
public:
    explicit TInterruptToCancel(TranscodeJob &job)
    {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
        notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, [&job] {
            char c;
            while (::read(signalPipe[0], &c, 1) > 0) {}
            std::fputs("trackmill-cli: cancel requested, stopping after the current file\n", stderr);
            job.Cancel();
        });
        std::signal(SIGINT, OnInterrupt);
    }
    ~TInterruptToCancel()
    {
        std::signal(SIGINT, SIG_DFL);
        delete notifier_;
        for (int &fd : signalPipe) {
            if (fd >= 0) ::close(fd);
            fd = -1;
        }
    }
    TInterruptToCancel(const TInterruptToCancel &) = delete;
    TInterruptToCancel &operator=(const TInterruptToCancel &) = delete;

private:
    QSocketNotifier *notifier_ = nullptr;
};


}  // namespace

int RunConvert(const QStringList &args)
{
    std::vector<std::string> argv;
    for (const QString &a : args) argv.push_back(a.toStdString());

    TConvertOptions options;
    options.settings = DesignedSettings();
    if (const auto ini = FindWindowIni(QCoreApplication::applicationFilePath().toStdString()))
        ApplyStoredSettings(options.settings, *ini);
    std::string error;
    if (!ParseConvertOptions(argv, options, &error)) {
        std::fprintf(stderr, "trackmill-cli convert: %s\n\n%s", error.c_str(), kConvertUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kConvertUsage, stdout);
        return 0;
    }
    // An empty stored folder text means the working folder, as in the window.
    if (options.settings.useOutputDir && !options.settings.outputDir.empty() &&
        !QFileInfo(QString::fromStdString(options.settings.outputDir)).isDir()) {
        std::fprintf(stderr, "trackmill-cli convert: the output folder %s does not exist\n",
                     options.settings.outputDir.c_str());
        return 2;
    }

    // Full paths, as a drop delivers them.
    QStringList names;
    int missing = 0;
    for (const std::string &p : options.paths) {
        const QString name = QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdString(p)));
        if (!QFileInfo::exists(name)) {
            std::fprintf(stderr, "trackmill-cli: %s: no such file or folder\n", p.c_str());
            ++missing;
        }
        names << name;
    }

    TTranscodeList list([](const QString &path) { return HasValidMusepackHeader(path.toStdString()); });
    list.HandleDrop(names);
    for (const QString &name : names) {
        if (QFileInfo(name).isFile() && !list.Contains(name))
            std::fprintf(stderr, "trackmill-cli: skipped %s (not a Musepack file)\n", name.toUtf8().constData());
    }

    TConvertHost host(list, options.settings, stdout, stderr);
    TranscodeJob job(host, platform::JobPlatform());
    host.Attach(job);
    if (!job.Startup()) return 1;

    TInterruptToCancel interrupt(job);
    job.Start();
    if (job.Running()) QCoreApplication::exec();
    if (!host.Ended()) return 1;  // nothing was started: the reason is on standard error

    const TJobEnd &end = host.End();
    std::printf("\nConverted %d of %d files.\n", end.converted, end.converted + end.failed + end.remaining);
    if (!host.Failures().empty()) {
        std::printf("Failed:\n");
        for (const TFileResult &f : host.Failures()) std::printf("  %s: %s\n", f.source.c_str(), f.why.c_str());
    }
    if (list.Count() > 0) {
        std::printf("Not converted (%s):\n", end.cancelled ? "cancelled" : "stopped");
        for (const QString &f : list.Items()) std::printf("  %s\n", f.toUtf8().constData());
    }
    std::fflush(stdout);
    const bool allDone = host.Failures().empty() && list.Count() == 0 && missing == 0 && host.ErrorsShown() == 0;
    return allDone ? 0 : 1;
}

}  // namespace trackmill
