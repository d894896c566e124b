#include "main/JobHost.h"

#include "collect/FileDrop.h"
#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "system/AppRun.h"
#include "system/Platform.h"
#include "system/XReboot.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/ToolEdit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace trackmill {

int TForm1JobHost::ListCount() const
{
    return form_.List().Count();
}

std::string TForm1JobHost::ListEntry0() const
{
    return form_.List().Item(0).toStdString();
}

void TForm1JobHost::RemoveListEntry0()
{
    form_.List().Delete(0);
}

void TForm1JobHost::FocusListEntry0()
{
    QListWidget *list = form_.ListBox1;
    if (list->count() == 0)
        return;
    form_.listUpdating_ = true;
    if (list->currentRow() != 0)
        list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    list->scrollToItem(list->item(0));
    form_.listUpdating_ = false;
}

TJobSettings TForm1JobHost::Settings() const
{
    TJobSettings s;
    s.decoderOptions = form_.Edit1->text().toStdString();
    s.encoderOptions = form_.Edit2->text().toStdString();
    s.useOutputDir = form_.cbOutputdir->isChecked();
    s.outputDir = form_.DirectoryEdit1->Text().toStdString();
    s.tags.copyID3v1 = form_.cbID3v1->isChecked();
    s.tags.copyID3v2 = form_.cbID3v2->isChecked();
    s.tags.convertApe = form_.cbApetag->isChecked();
    s.tags.apeTarget = form_.ComboID3->currentIndex();
    s.shutdownAfterJob = form_.cbShutdown->isChecked();
    return s;
}

bool TForm1JobHost::ProgramFound(const std::string &name)
{
    return platform::ProgramExists(name);
}

bool TForm1JobHost::StartProcess(const std::string &application, const std::string &commandLine)
{
    TAppRunner *runner = form_.AppRunner1;
    if (!runner)
        return false;
    runner->SetApplicationName(application);
    runner->SetCommandLine(commandLine);
    return runner->Run();
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

void TForm1JobHost::ShowStandardError(const std::string &message)
{
    form_.ShowStandardError(QString::fromStdString(message));
}

void TForm1JobHost::ShowFileInfo(const std::string &path)
{
    form_.ShowFileInfo(QString::fromStdString(path));
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

void TForm1JobHost::FileStarted(const TFileStart &start)
{
    form_.Console->BeginFile(QString::fromStdString(start.command));
}

void TForm1JobHost::FileFinished(const TFileResult &result)
{
    form_.Console->EndFile(result.exitCode);
    if (!result.ok && !result.why.empty())
        form_.Console->AppendOutput(QByteArray::fromStdString(result.source + ": " + result.why + "\n"));
}

void TForm1JobHost::JobEnded(const TJobEnd &)
{
    form_.Console->EndJob();
}

}  // namespace trackmill
