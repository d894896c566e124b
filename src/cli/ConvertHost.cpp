#include "cli/ConvertHost.h"

#include "system/Platform.h"

#include <QCoreApplication>

namespace trackmill {

TConvertHost::TConvertHost(TTranscodeList &list, TJobSettings settings, std::FILE *out, std::FILE *err)
    : list_(list), settings_(std::move(settings)), out_(out), err_(err)
{
    timer_.setSingleShot(true);
}

void TConvertHost::Attach(TranscodeJob &job)
{
    job_ = &job;
    total_ = list_.Count();
    runner_.SetOnTerminated([this](TAppRunner &r) { job_->ProcessEnded(static_cast<int>(r.ExitCode())); });
    runner_.SetOnOutput([this](TAppRunner &, const std::string &text) {
        std::fwrite(text.data(), 1, text.size(), out_);
        std::fflush(out_);
    });
    QObject::connect(&timer_, &QTimer::timeout, [this] { job_->TimerFired(); });
}

bool TConvertHost::ProgramFound(const std::string &name)
{
    return platform::ProgramExists(name);
}

bool TConvertHost::StartProcess(const std::string &application, const std::string &commandLine)
{
    runner_.SetApplicationName(application);
    runner_.SetCommandLine(commandLine);
    const bool started = runner_.Run();
    if (!started && !runner_.LastError().empty())
        std::fprintf(err_, "trackmill-cli: %s\n", runner_.LastError().c_str());
    return started;
}

void TConvertHost::ArmTimer(int milliseconds)
{
    timer_.start(milliseconds);
}

void TConvertHost::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void TConvertHost::ShowErrorBox(const std::string &message)
{
    ++errorsShown_;
    std::fprintf(err_, "trackmill-cli: %s\n", message.c_str());
    std::fflush(err_);
}

void TConvertHost::ShowStandardError(const std::string &message)
{
    // The standard display adds "." after a last character above ".".
    const bool dot = !message.empty() && static_cast<unsigned char>(message.back()) > '.';
    ShowErrorBox(message + (dot ? "." : ""));
}

void TConvertHost::FileStarted(const TFileStart &start)
{
    ++fileNumber_;
    std::fprintf(out_, "[%d/%d] %s -> %s\n", fileNumber_, total_, start.source.c_str(), start.output.c_str());
    std::fflush(out_);
}

void TConvertHost::FileFinished(const TFileResult &result)
{
    if (result.ok) {
        std::fprintf(out_, "[%d/%d] done: %s\n", fileNumber_, total_, result.output.c_str());
    } else {
        std::fprintf(out_, "[%d/%d] FAILED: %s (%s)\n", fileNumber_, total_, result.source.c_str(),
                     result.why.c_str());
        failures_.push_back(result);
    }
    std::fflush(out_);
}

void TConvertHost::JobEnded(const TJobEnd &end)
{
    ended_ = true;
    end_ = end;
    QCoreApplication::exit(0);
}

}  // namespace trackmill
