#include "main/Storage.h"

#include "main/Form1.h"
#include "config/StoredSettings.h"
#include "settings/FormPlacement.h"
#include "config/SettingsPath.h"

#include "widgets/ConsoleWindow.h"
#include "widgets/ToolEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace trackmill {

namespace {

QString WindowText(const std::string &stored)
{
    return QString::fromStdString(std::string(config::WindowText(stored)));
}

// In the order the values are stored: a control's change handler sees those before it set.
void Restore(TForm1 &form, const config::TStoredSettings &stored)
{
    const auto check = [](QCheckBox *box, const std::optional<bool> &on) {
        if (on) box->setChecked(*on);
    };
    const auto edit = [](QLineEdit *edit, const std::optional<std::string> &text) {
        if (text && edit->text() != WindowText(*text)) edit->setText(WindowText(*text));
    };
    check(form.cbApetag, stored.convertApe);
    check(form.cbID3v1, stored.copyId3v1);
    check(form.cbID3v2, stored.copyId3v2);
    edit(form.DecoderOptionsEdit, stored.decoderOptions);
    edit(form.EncoderOptionsEdit, stored.encoderOptions);
    check(form.cbShutdown, stored.shutdown);
    check(form.cbOutputdir, stored.useOutputDir);
    if (stored.outputDir) form.OutputFolderEdit->SetText(WindowText(*stored.outputDir));
    // The combo box follows its tag in FormStorage1RestorePlacement.
    if (stored.apeTarget) form.ComboID3->SetTag(*stored.apeTarget);

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
    // A format this version does not know is MP3.
    form.SetOutputFormat(stored.format.value_or(config::kOutputFormat.defaultValue));
    edit(form.OpusOptionsEdit, stored.opusOptions);
}

}  // namespace

TFormPlacement *CreateFormStorage(TForm1 &form)
{
    auto *storage = new TFormPlacement(&form);
    storage->setObjectName(QStringLiteral("FormStorage1"));
    storage->SetIniSection(QString::fromLatin1(config::kSection));
    storage->SetOptions(fpPosition);
    storage->SetOnRestorePlacement([&form](TFormPlacement *sender) {
        if (const TIniFile *ini = sender->IniFile()) Restore(form, config::ReadStoredSettings(*ini));
        form.FormStorage1RestorePlacement(sender);
    });
    // The last save can come while the window is being destroyed, when it is a TForm1 no
    // longer; its controls are still there then, so they are read directly.
    QCheckBox *apetag = form.cbApetag, *id3v1 = form.cbID3v1, *id3v2 = form.cbID3v2;
    QCheckBox *shutdown = form.cbShutdown, *outputdir = form.cbOutputdir;
    QLineEdit *decoder = form.DecoderOptionsEdit, *encoder = form.EncoderOptionsEdit, *opus = form.OpusOptionsEdit;
    QComboBox *format = form.ComboFormat;
    TDirectoryEdit *folder = form.OutputFolderEdit;
    TTagComboBox *apeTarget = form.ComboID3;
    QSpinBox *jobs = form.JobsSpin;
    QComboBox *existing = form.ComboExisting;
    std::shared_ptr<TForm1::TLibrarySettings> library = form.StoredLibrary();
    TConsoleWindow *console = form.Console;
    storage->SetOnSavePlacement([=](TFormPlacement *sender) {
        TIniFile *ini = sender->IniFile();
        if (!ini) return;
        config::TSettingValues v;
        v.convertApe = apetag->isChecked();
        v.copyId3v1 = id3v1->isChecked();
        v.copyId3v2 = id3v2->isChecked();
        v.decoderOptions = decoder->text().toStdString();
        v.encoderOptions = encoder->text().toStdString();
        v.shutdown = shutdown->isChecked();
        v.useOutputDir = outputdir->isChecked();
        v.outputDir = folder->Text().toStdString();
        v.apeTarget = apeTarget->Tag();
        v.jobs = jobs->value();
        v.existing = ChoiceOf(*existing, config::kExistingFiles);
        v.layout = library->layout;
        v.libraryFolder = library->libraryFolder;
        v.namePattern = library->namePattern;
        v.copyFolderArt = library->copyFolderArt;
        v.embedFolderArt = library->embedFolderArt;
        v.showConsole = console->ShowDuringJobs();
        if (const auto g = console->UserGeometry()) v.consolePos = {{g->x(), g->y(), g->width(), g->height()}};
        v.format = ChoiceOf(*format, config::kOutputFormat);
        v.opusOptions = opus->text().toStdString();
        config::WriteStoredSettings(*ini, v);
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

void RestoreOutputFormat(TForm1 &form)
{
    const TIniFile ini(StorageIniFileName(form).toStdString());
    form.SetOutputFormat(config::ReadStoredSettings(ini).format.value_or(config::kOutputFormat.defaultValue));
}

}  // namespace trackmill
