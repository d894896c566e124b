#include "config/SettingsPath.h"

#include "os/Conventions.h"
#include "os/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace trackmill {

namespace {
constexpr auto kConfigFile = "trackmill.ini";
}  // namespace

QString SettingsFilePathFor(const QString &executablePath, bool executableFolderWritable,
                            const QString &userConfigFolder)
{
    if (executableFolderWritable && !executablePath.isEmpty()) {
        // "Trackmill.exe" keeps its settings in "Trackmill.ini".
        QString base = executablePath;
        if (base.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) base.chop(4);
        return base + ".ini";
    }
    return QDir(QDir(userConfigFolder).filePath(os::kSettingsFolder)).filePath(kConfigFile);
}

namespace {

QString UserConfigFolder() { return QFile::decodeName(QByteArray::fromStdString(os::UserConfigFolder())); }

}  // namespace

bool IsWritableFolder(const QString &folder)
{
    return os::IsWritableFolder(QFile::encodeName(folder).toStdString());
}

bool SettingsBesideProgram(const QString &folder)
{
    if (os::IsSystemProgramFolder(QFile::encodeName(QFileInfo(folder).canonicalFilePath()).toStdString())) return false;
    return IsWritableFolder(folder);
}

QString WindowSettingsFilePath(const QString &programFolder)
{
    const QString configFolder = UserConfigFolder();
    QString windowProgram;
    const QString name = QString::fromLatin1(os::kWindowProgram);
    for (const QString &candidate : {QDir(programFolder).filePath(name), QDir(programFolder).filePath("../main/" + name)}) {
        if (QFileInfo(candidate).isExecutable()) {
            windowProgram = QDir::cleanPath(candidate);
            break;
        }
    }
    return windowProgram.isEmpty()
               ? SettingsFilePathFor(QString(), false, configFolder)
               : SettingsFilePathFor(windowProgram, SettingsBesideProgram(QFileInfo(windowProgram).absolutePath()),
                                     configFolder);
}

QString SettingsFilePath()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString path =
        SettingsFilePathFor(exe, !exe.isEmpty() && SettingsBesideProgram(QFileInfo(exe).absolutePath()), UserConfigFolder());
    // A folder we cannot create shows up later as "Unable to write to" at the first save.
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

}  // namespace trackmill
