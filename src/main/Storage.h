// How the window's settings storage is made and named: the nine stored control values,
// the window position, and the INI file they live in.
#pragma once

#include <QString>

namespace trackmill {

class TForm1;
class TFormStorage;

// Creates FormStorage1 for the window (section "Default", position and kStoredProps,
// restore handler FormStorage1RestorePlacement). Owned by the window.
TFormStorage *CreateFormStorage(TForm1 &form);
// Names the INI file (beside the executable, or under $XDG_CONFIG_HOME).
void SetIniFileName(TForm1 &form);
QString StorageIniFileName(const TForm1 &form);

}  // namespace trackmill
