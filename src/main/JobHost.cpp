#include "main/JobHost.h"

#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "main/ListPresenter.h"
#include "shutdown/XReboot.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/FileDrop.h"
#include "widgets/LogWindow.h"
#include "widgets/ShutdownNotice.h"
#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"
#include "widgets/WindowDrop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace trackmill {

namespace {

// The files a message box names in each of its lists; the log has them all.
constexpr int kFailuresNamed = 20;

QString Decoded(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

TJobSettings TForm1JobHost::Settings() const
{
    TJobSettings s;
    s.decoderOptions = form_.Edit1->text().toStdString();
    s.encoderOptions = form_.Edit2->text().toStdString();
    s.useOutputDir = form_.cbOutputdir->isChecked();
    s.outputDir = QFile::encodeName(form_.DirectoryEdit1->Text()).toStdString();
    s.tags.copyID3v1 = form_.cbID3v1->isChecked();
    s.tags.copyID3v2 = form_.cbID3v2->isChecked();
    s.tags.convertApe = form_.cbApetag->isChecked();
    s.tags.apeTarget = form_.ComboID3->currentIndex();
    s.shutdownAfterJob = form_.cbShutdown->isChecked() && !form_.ClosingDuringJob();
    s.jobs = form_.Jobs();
    s.existing = form_.ExistingFiles();
    s.keepFolders = form_.KeepFolders();
    return s;
}

void TForm1JobHost::ArmTimer(int milliseconds)
{
    form_.Timer1->setInterval(milliseconds);
    form_.Timer1->start();
}

void TForm1JobHost::ProcessEvents()
{
    QCoreApplication::processEvents();
}

bool TForm1JobHost::RequestShutdown()
{
    return form_.XWinReboot1->Execute();
}

bool TForm1JobHost::GiveShutdownNotice()
{
    form_.ShutdownNotice1->Start(form_.ShutdownDelay());
    return true;
}

void TForm1JobHost::ShowErrorBox(const std::string &message)
{
    form_.ShowErrorBox(QString::fromStdString(message));
}

void TForm1JobHost::ShowFileInfo(const std::string &path)
{
    // The entry the user clicked during the job stays shown.
    if (!form_.pickedDuringJob_) form_.ShowFileInfo(Decoded(path));
}

void TForm1JobHost::ClearFileInfo()
{
    form_.ClearFileInfo();
}

void TForm1JobHost::SetControlStates(const TControlStates &states)
{
    form_.Button1->setEnabled(states.transcode);
    form_.Button2->setEnabled(states.clearAll);
    form_.Button3->setEnabled(states.deleteItems);
    form_.Button4->setEnabled(states.cancel);
    form_.DirectoryEdit1->setEnabled(states.outputDirEdit);
    form_.cbOutputdir->setEnabled(states.outputDirSwitch);
    form_.FileDrop1->SetEnableDrop(states.enableDrop);
    // Files are added, and the job's own settings changed, only between jobs.
    form_.WindowDrop1->SetEnabled(states.enableDrop);
    for (QWidget *w : std::initializer_list<QWidget *>{form_.Button5, form_.Button6, form_.cbKeepFolders,
                                                       form_.ComboExisting, form_.SpinEdit1})
        w->setEnabled(states.enableDrop);
}

void TForm1JobHost::FocusItem(int index)
{
    if (!form_.pickedDuringJob_) form_.presenter_->FocusRow(index);
}

int TForm1JobHost::OverallPercent() const
{
    if (total_ <= 0) return 0;
    long long sum = 100LL * finished_;
    for (const auto &[id, percent] : running_) sum += percent;
    return int(sum / total_);
}

void TForm1JobHost::JobPlanned(int total)
{
    total_ = total;
    finished_ = 0;
    running_.clear();
    omissions_.clear();
    form_.pickedDuringJob_ = false;
    form_.progressTimer_->start();
    form_.presenter_->SetJobRunning(true);
    form_.LogWindow1->BeginJob();
    form_.StatusArea1->SetLogAvailable(false);
    form_.StatusArea1->BeginJob(total);
}

void TForm1JobHost::FileStarted(const TWorkItem &item, const std::string &shownCommand)
{
    const QString command = QString::fromStdString(shownCommand);
    form_.Console->BeginFile(command);
    form_.LogWindow1->BeginFile(item.id, Decoded(item.source), command);
    running_[item.id] = 0;
    if (!form_.Job().CancelRequested()) form_.StatusArea1->ShowFile(item.number, total_);
}

void TForm1JobHost::FileProgress(const TWorkItem &item)
{
    running_[item.id] = item.percent;
    form_.StatusArea1->SetProgress(OverallPercent());
}

void TForm1JobHost::FileOutput(const TWorkItem &item, const std::string &line)
{
    const QByteArray bytes = QByteArray::fromStdString(line);
    form_.Console->AppendOutput(bytes);
    form_.LogWindow1->AppendOutput(item.id, bytes);
}

void TForm1JobHost::FileFinished(const TWorkItem &item)
{
    if (item.state == TItemState::Converted) form_.Console->EndFile(0);
    if (item.state == TItemState::Converted && !item.tags.omitted.empty()) {
        form_.Console->AppendOutput(QByteArray::fromStdString(item.source + ": " + item.tags.omitted + "\n"));
        omissions_.emplace_back(Decoded(item.source), QString::fromStdString(item.tags.omitted));
    }
    if (item.state == TItemState::Failed || item.state == TItemState::Skipped)
        form_.Console->AppendOutput(QByteArray::fromStdString(item.source + ": " + ItemStateName(item.state) + ": " +
                                                              item.reason + "\n"));
    // A file never started after a Cancel is not part of the log.
    if (item.state != TItemState::Cancelled || running_.count(item.id))
        form_.LogWindow1->EndFile(item.id, Decoded(item.source), QString::fromLatin1(ItemStateName(item.state)),
                                  QString::fromStdString(item.reason), item.state == TItemState::Failed);
    running_.erase(item.id);
    if (item.state != TItemState::Cancelled) ++finished_;
    form_.StatusArea1->SetProgress(OverallPercent());
}

QString TForm1JobHost::FailureReport(const TWorkQueue &queue)
{
    QStringList named;
    int failed = 0;
    for (const TWorkItem &item : queue.Items()) {
        if (item.state != TItemState::Failed) continue;
        if (++failed <= kFailuresNamed) named << Decoded(item.source) + QStringLiteral(": ") + QString::fromStdString(item.reason);
    }
    if (failed == 0) return {};
    QString text = failed == 1 ? QStringLiteral("1 file could not be converted:\n\n")
                               : QStringLiteral("%1 files could not be converted:\n\n").arg(failed);
    text += named.join(QLatin1Char('\n'));
    if (failed > kFailuresNamed)
        text += QStringLiteral("\n\n... and %1 more; \"Show log\" names them all.").arg(failed - kFailuresNamed);
    return text;
}

QString TForm1JobHost::OmissionReport(const std::vector<std::pair<QString, QString>> &omissions)
{
    if (omissions.empty()) return {};
    const int count = int(omissions.size());
    QString text = count == 1 ? QStringLiteral("1 converted file did not get all of its tags:\n\n")
                              : QStringLiteral("%1 converted files did not get all of their tags:\n\n").arg(count);
    QStringList named;
    for (int i = 0; i < count && i < kFailuresNamed; ++i)
        named << omissions[std::size_t(i)].first + QStringLiteral(": ") + omissions[std::size_t(i)].second;
    text += named.join(QLatin1Char('\n'));
    if (count > kFailuresNamed)
        text += QStringLiteral("\n\n... and %1 more; \"Show log\" names them all.").arg(count - kFailuresNamed);
    return text;
}

void TForm1JobHost::JobEnded(const TJobEnd &end)
{
    form_.progressTimer_->stop();
    form_.Console->EndJob();
    form_.presenter_->SetJobRunning(false);
    form_.StatusArea1->SetProgress(finished_ == total_ ? 100 : OverallPercent());
    form_.StatusArea1->ShowSummary(end.converted, end.skipped, end.failed, end.cancelled);
    form_.StatusArea1->SetLogAvailable(!form_.LogWindow1->IsEmpty());
    running_.clear();
    QString report = end.failed > 0 ? FailureReport(form_.List().Queue()) : QString();
    const QString omitted = OmissionReport(omissions_);
    if (!report.isEmpty() && !omitted.isEmpty()) report += QStringLiteral("\n\n");
    form_.ReportFailures(report + omitted);
}

}  // namespace trackmill
