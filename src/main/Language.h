// The window in the user's language: the program's own catalogue, built in, and Qt's for
// its standard dialogs when the system has it.
#pragma once

#include <QLocale>

namespace trackmill {

// Installs the catalogues for `locale` into the application; false when there is none of
// ours for it (the English source texts are then shown).
bool InstallTranslations(const QLocale &locale = QLocale());

// Takes the catalogues InstallTranslations installed out again.
void RemoveTranslations();

}  // namespace trackmill
