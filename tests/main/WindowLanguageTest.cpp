// The window in German: every caption and hint comes from the catalogue (a text the
// catalogue knows under another context would stay English), and numbers follow the
// locale.
#include "WindowFit.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QRegularExpression>

#include <map>

using namespace trackmill;

namespace {

// What the window says: each control's caption and hint, the presets, the title.
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
    for (QAction *a : f.PresetsMenu->actions())
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
