// The "Add files..." and "Add folder..." dialogs: each opens where the last choice was
// made, in the folder of the files or the parent of the folder chosen. The dialogs can be
// replaced, so that tests answer them.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace trackmill {

class TFileChooser {
    Q_DECLARE_TR_FUNCTIONS(TFileChooser)

public:
    using FilesDialog = std::function<QStringList(QWidget *parent, const QString &caption, const QString &folder,
                                                  const QString &filter)>;
    using FolderDialog = std::function<QString(QWidget *parent, const QString &caption, const QString &folder)>;

    TFileChooser();

    // The chosen files, none when the dialog was cancelled.
    QStringList ChooseFiles(QWidget *parent);
    // The chosen folder, empty when the dialog was cancelled.
    QString ChooseFolder(QWidget *parent);

    // Where the next dialog opens: the home folder until a choice was made.
    const QString &Folder() const { return folder_; }

    void SetFilesDialog(FilesDialog dialog) { filesDialog_ = std::move(dialog); }
    void SetFolderDialog(FolderDialog dialog) { folderDialog_ = std::move(dialog); }

private:
    QString StartFolder() const;

    QString folder_;
    FilesDialog filesDialog_;
    FolderDialog folderDialog_;
};

}  // namespace trackmill
