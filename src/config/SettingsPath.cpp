#include "config/SettingsPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace trackmill {

namespace {
constexpr auto kConfigFolder = "trackmill";
constexpr auto kConfigFile = "trackmill.ini";
}  // namespace

QString SettingsFilePathFor(const QString &executablePath, bool executableFolderWritable,
                            const QString &xdgConfigHome, const QString &home)
{
    if (executableFolderWritable && !executablePath.isEmpty()) return executablePath + ".ini";
    // Relative values are to be ignored (XDG base directory rules).
    QString base = xdgConfigHome;
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir(home).filePath(".config");
    return QDir(QDir(base).filePath(kConfigFolder)).filePath(kConfigFile);
}

bool IsWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString FindWindowSettingsFile(const QString &programFolder)
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME"), home = QDir::homePath();
    QString windowProgram;
    for (const QString &candidate : {QDir(programFolder).filePath(QStringLiteral("trackmill")),
                                     QDir(programFolder).filePath(QStringLiteral("../main/trackmill"))}) {
        if (QFileInfo(candidate).isExecutable()) {
            windowProgram = QDir::cleanPath(candidate);
            break;
        }
    }
    const QString path =
        windowProgram.isEmpty()
            ? SettingsFilePathFor(QString(), false, xdg, home)
            : SettingsFilePathFor(windowProgram, IsWritableFolder(QFileInfo(windowProgram).absolutePath()), xdg, home);
    return QFileInfo(path).isFile() ? path : QString();
}

QString SettingsFilePath()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString path = SettingsFilePathFor(exe, !exe.isEmpty() && IsWritableFolder(QFileInfo(exe).absolutePath()),
                                             qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
    // A folder we cannot create shows up later as "Unable to write to" at the first save.
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

}  // namespace trackmill
