// Where the settings file lives: beside the executable when that folder is writable,
// else in the user's configuration folder.
#pragma once

#include <QString>

namespace trackmill {

// The executable's path + ".ini" when its folder is writable; otherwise
// $XDG_CONFIG_HOME/trackmill/trackmill.ini, with ~/.config when XDG_CONFIG_HOME is
// unset or not absolute. The chosen folder is created when missing.
QString SettingsFilePath();

// The rule above without looking at the system: the caller says whether the
// executable's folder is writable and gives the two environment values.
QString SettingsFilePathFor(const QString &executablePath, bool executableFolderWritable,
                            const QString &xdgConfigHome, const QString &home);

// True when a file can be created in the folder.
bool IsWritableFolder(const QString &folder);

}  // namespace trackmill
