// The programs in the user's language: our catalogue, built into each program, and Qt's
// for its standard dialogs when the system has it.
#pragma once

#include <QLocale>

namespace trackmill {

// The language the user asked messages in. As for every program of the system, LC_ALL,
// else LC_MESSAGES, else LANG decides; "C" or "POSIX" there means the English source texts,
// whatever LANGUAGE says. Otherwise Qt's reading of the system (LANGUAGE included).
QLocale MessagesLocale();

// Installs the catalogues for `locale` into the application; false when there is none of
// ours for it (the English source texts are then shown).
bool InstallTranslations(const QLocale &locale = MessagesLocale());

// Takes the catalogues InstallTranslations installed out again.
void RemoveTranslations();

}  // namespace trackmill
