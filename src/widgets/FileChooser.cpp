#include "widgets/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace trackmill {

namespace {

constexpr const char *kFilesFilter =
    QT_TRANSLATE_NOOP("TFileChooser", "Musepack files (*.mpc *.mpp *.mp+ *.MPC *.MPP *.MP+);;All files (*)");

}  // namespace

TFileChooser::TFileChooser()
    : folder_(QDir::homePath()),
      filesDialog_([](QWidget *parent, const QString &caption, const QString &folder, const QString &filter) {
          return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
      }),
      folderDialog_([](QWidget *parent, const QString &caption, const QString &folder) {
          return QFileDialog::getExistingDirectory(parent, caption, folder);
      })
{
}

QString TFileChooser::StartFolder() const
{
    // A folder that went away since: its nearest parent that is still there.
    QString folder = folder_;
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) break;
        folder = parent;
    }
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QStringList TFileChooser::ChooseFiles(QWidget *parent)
{
    const QStringList files =
        filesDialog_(parent, tr("Add files"), StartFolder(), tr(kFilesFilter));
    if (!files.isEmpty()) folder_ = QFileInfo(files.first()).path();
    return files;
}

QString TFileChooser::ChooseFolder(QWidget *parent)
{
    QString folder = folderDialog_(parent, tr("Add folder"), StartFolder());
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    if (!folder.isEmpty()) folder_ = QFileInfo(folder).path();
    return folder;
}

}  // namespace trackmill
