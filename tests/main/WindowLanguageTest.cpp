// The window in German: every caption and hint comes from the catalogue (a text the
// catalogue knows under another context would stay English), and numbers follow the
// locale.
#include "WindowFit.h"
#include "WindowFixture.h"

#include "widgets/LogWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QMenu>
#include <QRegularExpression>

#include <map>

using namespace trackmill;
namespace fs = std::filesystem;

namespace {

// What the window says: each control's caption and hint, both formats' presets, the title.
std::map<std::string, QString> Texts(TForm1 &f)
{
    std::map<std::string, QString> texts;
    std::vector<QWidget *> controls = tmtest::Controls(f);
    for (QWidget *b : {f.StatusArea1->DetailsButton(), f.StatusArea1->OpenFolderButton(), f.StatusArea1->StopButton(),
                       f.StatusArea1->ShowLogButton()})
        controls.push_back(b);
    for (QWidget *w : controls) {
        const std::string name = tmtest::Name(w);
        if (auto *l = qobject_cast<QLabel *>(w)) texts[name] = l->text();
        if (auto *b = qobject_cast<QAbstractButton *>(w)) texts[name] = b->text();
        // The decoder's line shows mpcdec's own usage.
        if (w != f.DecoderOptionsEdit && !w->toolTip().isEmpty()) texts[name + " hint"] = w->toolTip();
    }
    for (int i = 0; i < f.ComboExisting->count(); ++i) texts["ComboExisting " + std::to_string(i)] = f.ComboExisting->itemText(i);
    for (QMenu *menu : {f.PresetsMenu, f.OpusPresetsMenu})
        for (QAction *a : menu->actions())
            if (!a->isSeparator()) texts[a->objectName().toStdString()] = a->text();
    texts["title"] = f.windowTitle();
    return texts;
}

}  // namespace

class WindowLanguage : public tmtest::WindowTest {};

TEST_F(WindowLanguage, GermanCaptionsHintsAndNumbers)
{
    const std::map<std::string, QString> english = Texts(Open());
    CloseAndDelete();

    Speak(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(tmtest::MakeMpc(work / "Lange Nacht.mpc", 31.0));
    TForm1 &f = Open();
    const std::map<std::string, QString> german = Texts(f);
    ASSERT_EQ(german.size(), english.size());
    for (const auto &[name, text] : english) {
        SCOPED_TRACE(name);
        // A preset that names only its bit rate reads the same in German.
        if (text.contains(QRegularExpression(QStringLiteral(": CBR \\d+ kbit/s$")))) continue;
        EXPECT_NE(german.at(name), text);
    }
    EXPECT_EQ(f.TranscodeButton->text(), QStringLiteral("&Umwandeln"));
    tmtest::ExpectFits(f);

    // The panel in German too, its frames counted with the German thousands separator.
    DropFiles({work / "Lange Nacht.mpc"});
    f.FileList->setCurrentIndex(Entry(0));
    QCoreApplication::processEvents();
    QStringList panel;
    for (int i = 0; i < f.InfoPanel->count(); ++i) panel << f.InfoPanel->item(i)->text();
    EXPECT_TRUE(panel.join('\n').contains(QRegularExpression(QStringLiteral(": 1\\.\\d{3}\\b")))) << panel.join('\n').toStdString();
    EXPECT_TRUE(panel.contains(QStringLiteral("Tags in der Datei"))) << panel.join('\n').toStdString();
}

// In German, what Qt itself says too (the add dialog, the "Output names" buttons) and the
// reasons of a real job: a damaged source, an MP3 already there, as the list's tooltip, the
// message and the log show them; the panel names an APE album artist in German.
class WindowLanguageJob : public tmtest::ConvertingWindowTest {};

TEST_F(WindowLanguageJob, QtsDialogsTheReasonsAndTheLogInGerman)
{
    Speak(QLocale(QLocale::German, QLocale::Germany));
    const fs::path good = work / "Gut.mpc", broken = work / "Kaputt.mpc", there = work / "Schon.mpc";
    ASSERT_TRUE(tmtest::MakeMpc(good, 0.5, {"--tag", "Album Artist=Die Band"}));
    ASSERT_TRUE(tmtest::MakeMpc(broken, 0.5));
    ASSERT_TRUE(tmtest::MakeMpc(there, 0.5));
    const tmtest::Bytes whole = tmtest::ReadBytes(broken);
    tmtest::WriteBytes(broken, tmtest::Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
    tmtest::WriteText(work / "Schon.mp3", "the user's own");
    TForm1 &f = Open();

    // Qt's own file dialog, answered once it is up.
    QStringList dialogButtons;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) return;
        poll.stop();
        for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) dialogButtons << b->text();
        dialog->reject();
    });
    poll.start(0);
    f.AddFilesButton->click();
    EXPECT_TRUE(dialogButtons.contains(QStringLiteral("Abbrechen"))) << dialogButtons.join('|').toStdString();
    f.OutputNamesButton->click();
    auto *names = f.findChild<QDialogButtonBox *>();
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    names->button(QDialogButtonBox::Cancel)->click();

    DropFiles({good, broken, there});
    f.FileList->setCurrentIndex(Entry(0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(PanelLines().contains(QStringLiteral("   Albuminterpret: Die Band"))) << PanelLines().join('\n').toStdString();

    f.TranscodeButton->click();
    TM_TRY_VERIFY(!f.Job().Running(), 120000);
    ASSERT_EQ(ListEntries(), QStringList({Q(broken)}));
    const QString tip = Entry(0).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("die Quelle ist beschädigt: das Dekodieren brach nach "))) << tip.toStdString();
    TM_TRY_VERIFY(!messages.empty(), 5000);
    EXPECT_TRUE(messages.back().text.contains(Q(broken) + QStringLiteral(": ") + tip)) << messages.back().text.toStdString();
    ASSERT_TRUE(f.LogWindow1->SelectFile(Q(there)));
    EXPECT_TRUE(f.LogWindow1->ShownText().contains(QStringLiteral("[übersprungen: vorhanden: ") + Q(work / "Schon.mp3")))
        << f.LogWindow1->ShownText().toStdString();
    ASSERT_TRUE(f.LogWindow1->SelectFile(Q(broken)));
    EXPECT_TRUE(f.LogWindow1->ShownText().contains(QStringLiteral("[fehlgeschlagen: ") + tip)) << f.LogWindow1->ShownText().toStdString();
}
