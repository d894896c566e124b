#include "main/Storage.h"

#include "main/Form1.h"
#include "config/StoredSettings.h"
#include "settings/Placemnt.h"
#include "config/SettingsPath.h"

#include "widgets/ConsoleWindow.h"

#include <QComboBox>
#include <QSpinBox>

namespace trackmill {

TFormStorage *CreateFormStorage(TForm1 &form)
{
    auto *storage = new TFormStorage(&form);
    storage->setObjectName(QStringLiteral("FormStorage1"));
    storage->SetIniSection(QString::fromLatin1(config::kSection));
    storage->SetOptions(fpPosition);
    storage->SetStoredProps(kStoredProps);
    storage->SetOnRestorePlacement([&form](TFormPlacement *sender) {
        // The settings without a control of their own, stored after the designed keys.
        if (const TIniFile *ini = sender->IniFile()) {
            const config::TStoredSettings stored = config::ReadStoredSettings(*ini);
            if (stored.jobs) form.SetJobs(*stored.jobs);
            if (stored.existing) form.SetExistingFiles(*stored.existing);
            TForm1::TLibrarySettings library = form.LibrarySettings();
            if (stored.layout) library.layout = *stored.layout;
            if (stored.libraryFolder) library.libraryFolder = *stored.libraryFolder;
            if (stored.namePattern) library.namePattern = *stored.namePattern;
            if (stored.copyFolderArt) library.copyFolderArt = *stored.copyFolderArt;
            if (stored.embedFolderArt) library.embedFolderArt = *stored.embedFolderArt;
            form.SetLibrarySettings(library);
            if (stored.showConsole) form.SetShowConsole(*stored.showConsole);
            if (stored.consolePos) {
                const auto &r = *stored.consolePos;
                form.Console->SetUserGeometry(QRect(r[0], r[1], r[2], r[3]));
            }
        }
        form.FormStorage1RestorePlacement(sender);
    });
    // The last save can come while the window is being destroyed, when it is a TForm1 no
    // longer; its controls are still there then, so they are read directly.
    QSpinBox *jobs = form.SpinEdit1;
    QComboBox *existing = form.ComboExisting;
    std::shared_ptr<TForm1::TLibrarySettings> library = form.StoredLibrary();
    TConsoleWindow *console = form.Console;
    storage->SetOnSavePlacement([jobs, existing, library, console](TFormPlacement *sender) {
        if (TIniFile *ini = sender->IniFile()) {
            config::TAddedSettings added;
            added.jobs = jobs->value();
            added.existing = ExistingFilesOf(*existing);
            added.layout = library->layout;
            added.libraryFolder = library->libraryFolder;
            added.namePattern = library->namePattern;
            added.copyFolderArt = library->copyFolderArt;
            added.embedFolderArt = library->embedFolderArt;
            added.showConsole = console->ShowDuringJobs();
            if (const auto g = console->UserGeometry()) added.consolePos = {{g->x(), g->y(), g->width(), g->height()}};
            config::WriteAddedSettings(*ini, added);
        }
    });
    return storage;
}

void SetIniFileName(TForm1 &form)
{
    form.FormStorage1->SetIniFileName(SettingsFilePath());
}

QString StorageIniFileName(const TForm1 &form)
{
    return form.FormStorage1->IniFileName();
}

}  // namespace trackmill
