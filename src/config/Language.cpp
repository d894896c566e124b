#include "config/Language.h"

#include "os/Conventions.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace trackmill {

namespace {

std::vector<std::unique_ptr<QTranslator>> &Installed()
{
    static std::vector<std::unique_ptr<QTranslator>> installed;
    return installed;
}

}  // namespace

QLocale MessagesLocale()
{
    return os::UntranslatedMessagesWanted() ? QLocale::c() : QLocale();
}

bool InstallTranslations(const QLocale &locale)
{
    RemoveTranslations();
    if (locale.language() == QLocale::C) return false;
    // The user's languages in their order: English, the source texts, ends the search as
    // surely as a language we have a catalogue for.
    QString language;
    auto ours = std::make_unique<QTranslator>();
    for (const QString &wanted : locale.uiLanguages()) {
        if (wanted == QLatin1String("C") || wanted.startsWith(QLatin1String("en"))) return false;
        language = QString(wanted).replace(u'-', u'_');
        if (ours->load(QStringLiteral("trackmill_") + language, QStringLiteral(":/i18n"))) break;
        language.clear();
    }
    if (language.isEmpty()) return false;
    QCoreApplication::installTranslator(ours.get());
    Installed().push_back(std::move(ours));
    // The texts of Qt's own dialogs (file chooser, message boxes, button boxes): from the
    // "translations" folder beside the program (Windows carries it there), else the system's.
    auto qt = std::make_unique<QTranslator>();
    const QString qtName = QStringLiteral("qtbase_") + language;
    if (qt->load(qtName, QCoreApplication::applicationDirPath() + QStringLiteral("/translations")) ||
        qt->load(qtName, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        Installed().push_back(std::move(qt));
    }
    return true;
}

void RemoveTranslations()
{
    for (const auto &t : Installed()) QCoreApplication::removeTranslator(t.get());
    Installed().clear();
}

}  // namespace trackmill
