#include "main/JobHost.h"

#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "shutdown/XReboot.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/FileDrop.h"
#include "widgets/ToolEdit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace trackmill {

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

void TForm1JobHost::ShowErrorBox(const std::string &message)
{
    form_.ShowErrorBox(QString::fromStdString(message));
}

void TForm1JobHost::ShowFileInfo(const std::string &path)
{
    form_.ShowFileInfo(QFile::decodeName(QByteArray::fromStdString(path)));
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
}

void TForm1JobHost::FocusItem(int index)
{
    QListWidget *list = form_.ListBox1;
    if (index < 0 || index >= list->count()) return;
    form_.listUpdating_ = true;
    if (list->currentRow() != index) list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    list->scrollToItem(list->item(index));
    form_.listUpdating_ = false;
}

void TForm1JobHost::JobPlanned(int)
{
    form_.progressTimer_->start();
}

void TForm1JobHost::FileStarted(const TWorkItem &, const std::string &shownCommand)
{
    form_.Console->BeginFile(QString::fromStdString(shownCommand));
}

void TForm1JobHost::FileOutput(const TWorkItem &, const std::string &text)
{
    form_.Console->AppendOutput(QByteArray::fromStdString(text));
}

void TForm1JobHost::FileFinished(const TWorkItem &item)
{
    if (item.state == TItemState::Converted) form_.Console->EndFile(0);
    if (item.state == TItemState::Failed || item.state == TItemState::Skipped)
        form_.Console->AppendOutput(QByteArray::fromStdString(item.source + ": " + ItemStateName(item.state) + ": " +
                                                              item.reason + "\n"));
}

void TForm1JobHost::JobEnded(const TJobEnd &)
{
    form_.progressTimer_->stop();
    form_.Console->EndJob();
}

}  // namespace trackmill
