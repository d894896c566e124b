// Where the settings file lives: beside the executable when that folder is writable,
// else in the user's configuration folder.
#pragma once

#include <QString>

namespace trackmill {

// The executable's path + ".ini" when SettingsBesideProgram holds for its folder; otherwise trackmill.ini in
// a folder "trackmill" of the user's configuration folder (os::UserConfigFolder). The
// chosen folder is created when missing.
QString SettingsFilePath();

// The rule above without looking at the system: the caller says whether the
// executable's folder is writable and where the user's settings go.
QString SettingsFilePathFor(const QString &executablePath, bool executableFolderWritable,
                            const QString &userConfigFolder);

// The settings file of the window, seen from another program of ours in programFolder:
// the window's program is looked for beside it (or, in the build tree, in "../main/"),
// and its file is chosen by the rule above, whether it exists or not.
QString WindowSettingsFilePath(const QString &programFolder);

// True when a file can be created in the folder.
bool IsWritableFolder(const QString &folder);

// Whether a program in `folder` keeps its settings beside itself: the folder is writable
// and is not one of the system's program folders (/usr/bin, /usr/local/bin and the like,
// where a package puts the programs and where even root must not leave a file of its own).
bool SettingsBesideProgram(const QString &folder);

}  // namespace trackmill
