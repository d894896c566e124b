// How the window's settings are stored: its position by the placement, the control values
// and the settings without a control of their own by the settings schema, all in one INI file.
#pragma once

#include <QString>

namespace trackmill {

class TForm1;
class TFormPlacement;

// Creates FormStorage1 for the window (section "Default", the position, and the schema's
// settings after it; restore handler FormStorage1RestorePlacement). Owned by the window.
TFormPlacement *CreateFormStorage(TForm1 &form);
// Names the INI file (beside the executable, or under $XDG_CONFIG_HOME).
void SetIniFileName(TForm1 &form);
QString StorageIniFileName(const TForm1 &form);
// Reads the output format alone, before the rest of the settings come when the window is
// first shown: start-up looks for that format's encoder.
void RestoreOutputFormat(TForm1 &form);

}  // namespace trackmill
