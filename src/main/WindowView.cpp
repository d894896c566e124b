#include "main/WindowView.h"

#include "main/Form1.h"
#include "shutdown/XReboot.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/FileDrop.h"
#include "widgets/LogWindow.h"
#include "widgets/ShutdownNotice.h"
#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"
#include "widgets/WindowDrop.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <system_error>

namespace trackmill {

TForm1View::TForm1View(TForm1 &form) : form_(form), home_(std::make_unique<QObject>()) {}

TForm1View::~TForm1View()
{
    for (auto &[id, thread] : aside_) thread.join();
}

void TForm1View::RunAside(std::function<void()> work, std::function<void()> done)
{
    const std::uint64_t id = ++asideCount_;
    auto told = [this, id, done = std::move(done)] {
        // The thread has nothing left to do but end.
        if (auto ended = aside_.extract(id)) ended.mapped().join();
        done();
    };
    auto run = std::make_shared<std::function<void()>>(std::move(work));
    QObject *home = home_.get();
    try {
        aside_.emplace(id, std::thread([run, home, told] {
            (*run)();
            QMetaObject::invokeMethod(home, told, Qt::QueuedConnection);
        }));
    } catch (const std::system_error &) {
        // No thread to spare: the work is done here, its end still told later.
        (*run)();
        QMetaObject::invokeMethod(home, told, Qt::QueuedConnection);
    }
}

struct TForm1View::Guard {
    explicit Guard(bool &flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Guard() { flag_ = was_; }
    bool &flag_;
    bool was_;
};

void TForm1View::FocusRow(int row)
{
    QListView *list = form_.FileList;
    const QModelIndex index = list->model()->index(row, 0);
    if (!index.isValid()) return;
    Guard guard(updating_);
    if (list->currentIndex() != index) list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    list->scrollTo(index);
}

void TForm1View::SetControls(const TControlStates &states)
{
    form_.TranscodeButton->setEnabled(states.transcode);
    form_.ClearButton->setEnabled(states.clearAll);
    form_.DeleteButton->setEnabled(states.deleteItems);
    form_.CancelButton->setEnabled(states.cancel);
    form_.OutputFolderEdit->setEnabled(states.outputDirEdit);
    form_.cbOutputdir->setEnabled(states.outputDirSwitch);
    form_.FileDrop1->SetEnableDrop(states.adding);
    form_.WindowDrop1->SetEnabled(states.adding);
    for (QWidget *w : std::initializer_list<QWidget *>{form_.AddFilesButton, form_.AddFolderButton, form_.OutputNamesButton,
                                                       form_.ComboExisting, form_.JobsSpin})
        w->setEnabled(states.adding);
}

void TForm1View::ShowInfo(const QStringList &lines)
{
    form_.InfoPanel->clear();
    form_.InfoPanel->addItems(lines);
}

void TForm1View::ShowStatus(const QString &text)
{
    form_.StatusArea1->ShowMessage(text);
}

void TForm1View::ShowProgress(int percent)
{
    form_.StatusArea1->SetProgress(percent);
}

void TForm1View::ShowCollecting(bool collecting)
{
    form_.StatusArea1->ShowCollecting(collecting);
}

void TForm1View::ShowPlanning(bool planning)
{
    form_.StatusArea1->ShowPlanning(planning);
}

void TForm1View::SetBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm1View::SetLogAvailable(bool available)
{
    form_.StatusArea1->SetLogAvailable(available);
}

void TForm1View::ShowError(const QString &message)
{
    form_.ShowErrorBox(message);
}

void TForm1View::ShowReport(const QString &text)
{
    form_.ReportFailures(text);
}

void TForm1View::StartShutdownNotice()
{
    form_.ShutdownNotice1->Start(form_.ShutdownDelay());
}

void TForm1View::CancelShutdownNotice()
{
    form_.ShutdownNotice1->Cancel();
}

bool TForm1View::ShutdownNoticeRunning() const
{
    return form_.ShutdownNotice1->Running();
}

void TForm1View::SetDetailsAvailable(bool available)
{
    form_.StatusArea1->SetDetailsAvailable(available);
}

void TForm1View::ShowDetails(const QString &heading, const QStringList &lines)
{
    form_.ShowDetails(heading, lines);
}

void TForm1View::SetOutputFolder(const QString &folder)
{
    form_.StatusArea1->SetOutputFolder(folder);
}

void TForm1View::OpenFolder(const QString &folder)
{
    form_.OpenFolder(folder);
}

void TForm1View::NotifyJobEnded(const QString &summary)
{
    // A person watching the window sees the summary there.
    if (form_.isActiveWindow()) return;
    form_.Notify(QCoreApplication::translate("TWindowView", "Transcoding finished"), summary);
}

void TForm1View::ConsoleBeginJob()
{
    form_.Console->BeginJob();
}

void TForm1View::ConsoleBeginFile(const TWorkItem &item, const QString &command)
{
    const std::string &source = item.source;
    const QString name = QFile::decodeName(QByteArray::fromStdString(source.substr(source.find_last_of('/') + 1)));
    form_.Console->BeginFile(item.id, name, command);
}

void TForm1View::ConsoleAppend(const TWorkItem &item, const QByteArray &bytes)
{
    form_.Console->AppendOutput(item.id, bytes);
}

void TForm1View::ConsoleEndFile(const TWorkItem &item, const QString &last)
{
    form_.Console->EndFile(item.id, last);
}

void TForm1View::ConsoleEndJob()
{
    form_.Console->EndJob();
}

void TForm1View::LogBeginJob()
{
    form_.LogWindow1->BeginJob();
}

void TForm1View::LogBeginFile(const TWorkItem &item, const QString &command)
{
    form_.LogWindow1->BeginFile(item.id, ShownPath(item.source), command);
}

void TForm1View::LogAppend(const TWorkItem &item, const QByteArray &bytes)
{
    form_.LogWindow1->AppendOutput(item.id, bytes);
}

void TForm1View::LogEndFile(const TWorkItem &item)
{
    form_.LogWindow1->EndFile(item.id, ShownPath(item.source),
                              StateName(item.state), ReasonText(item.reason),
                              item.state == TItemState::Failed);
}

bool TForm1View::LogEmpty() const
{
    return form_.LogWindow1->IsEmpty();
}

void TForm1View::ArmTimer(int milliseconds)
{
    form_.JobTimer->setInterval(milliseconds);
    form_.JobTimer->start();
}

void TForm1View::SetProgressPolling(bool on)
{
    if (on)
        form_.progressTimer_->start();
    else
        form_.progressTimer_->stop();
}

bool TForm1View::RequestShutdown()
{
    return form_.XWinReboot1->Execute();
}

}  // namespace trackmill
