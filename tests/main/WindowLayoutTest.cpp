// The window as a person first meets it: controls, captions, hints, geometry, keys, the
// preset menu and the small rules that keep the controls consistent.
#include "WindowFixture.h"

#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include "widgets/FileDrop.h"
#include "collect/TreeScan.h"
#include "engine/TranscodeJob.h"
#include "shutdown/XReboot.h"

using namespace trackmill;

namespace {

QString CaptionOf(QWidget *w)
{
    if (auto *l = qobject_cast<QLabel *>(w)) return QString(l->text()).remove('&');
    // As shown: the access key's "&" is not part of the caption.
    if (auto *b = qobject_cast<QAbstractButton *>(w)) return QString(b->text()).remove('&');
    return {};
}

void ShowHint(QWidget *w)
{
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(w, &help);
}

}  // namespace

class Window : public tmtest::WindowTest {};

TEST_F(Window, ControlsHaveTheirNamesCaptionsAndHints)
{
    TForm1 &f = Open();
    EXPECT_EQ(f.windowTitle(), "Trackmill v1.2 (MPC -> MP3 transcoder)");
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowMinimizeButtonHint);

    const std::vector<std::tuple<const char *, const char *, QString>> rows = {
        {"Label1", "QLabel", "Decoder options (mpcdec)"},
        {"Label2", "QLabel", "Encoder options (lame)"},
        {"Label3", "QLabel", "Files to transcode (drop MPC, MPP, MP+ files or folders from the file manager)"},
        {"Label4", "QLabel", "Fileinfo"},
        {"Button1", "QPushButton", "Transcode"},
        {"Edit1", "QLineEdit", ""},
        {"Edit2", "QLineEdit", ""},
        {"ListBox1", "QListView", ""},
        {"cbID3v1", "QCheckBox", "Copy ID3V1.x tags (if present)"},
        {"cbID3v2", "QCheckBox", "Copy ID3V2.x tags (if present)"},
        {"Button2", "QPushButton", "Clear all"},
        {"cbApetag", "QCheckBox", "Convert APE 1.x/2.x tags to "},
        {"Button3", "QPushButton", "Delete items"},
        {"lbInfo", "QListWidget", ""},
        {"cbShutdown", "QCheckBox", "Shutdown after transcoding"},
        {"cbOutputdir", "QCheckBox", "Place transcoded files in this directory"},
        {"DirectoryEdit1", "trackmill::TDirectoryEdit", ""},
        {"Button4", "QPushButton", "Cancel"},
        {"ComboID3", "trackmill::TTagComboBox", ""},
    };
    for (const auto &[name, kind, caption] : rows) {
        SCOPED_TRACE(name);
        auto *w = f.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), kind);
        EXPECT_EQ(CaptionOf(w), caption);
    }

    for (QWidget *w : {static_cast<QWidget *>(f.DecoderLabel), static_cast<QWidget *>(f.EncoderLabel),
                       static_cast<QWidget *>(f.FilesLabel), static_cast<QWidget *>(f.InfoLabel),
                       static_cast<QWidget *>(f.TranscodeButton)})
        EXPECT_TRUE(w->font().bold()) << w->objectName().toStdString();
    EXPECT_FALSE(f.ClearButton->font().bold());

    EXPECT_EQ(f.TranscodeButton->toolTip(), "Click here to start transcoding files");
    EXPECT_EQ(f.EncoderOptionsEdit->toolTip(), "Right click for list of predefined presets");
    EXPECT_EQ(f.FileList->toolTip(), "Click on a filename to see fileinformation");
    EXPECT_EQ(f.ClearButton->toolTip(), "Clear all files in the list");
    EXPECT_EQ(f.DeleteButton->toolTip(), "Delete selected files from the list");
    EXPECT_EQ(f.cbShutdown->toolTip(),
              "Enable this checkbox to automatically shutdown the PC when all files have been transcoded");
    EXPECT_EQ(f.cbOutputdir->toolTip(),
              "Converted files will be placed in the same folder as\nthe source files unless you check this option");
    EXPECT_EQ(f.CancelButton->toolTip(), "Transcoding will end after the current file has been processed");
    // The decoder is asked for its usage text when the hint is first shown, not before
    // the window opens.
    EXPECT_TRUE(f.DecoderOptionsEdit->toolTip().isEmpty());
    ShowHint(f.DecoderOptionsEdit);
    if (tmtest::HaveTool("mpcdec")) {
        EXPECT_TRUE(f.DecoderOptionsEdit->toolTip().contains("mpcdec")) << f.DecoderOptionsEdit->toolTip().toStdString();
    }
    EXPECT_FALSE(f.DecoderOptionsEdit->toolTip().isEmpty());

    // Initial values.
    EXPECT_EQ(f.DecoderOptionsEdit->text(), "");
    EXPECT_EQ(f.EncoderOptionsEdit->text(), "--alt-preset cbr 128");
    EXPECT_TRUE(f.cbID3v1->isChecked());
    EXPECT_TRUE(f.cbID3v2->isChecked());
    EXPECT_TRUE(f.cbApetag->isChecked());
    EXPECT_FALSE(f.cbShutdown->isChecked());
    EXPECT_FALSE(f.cbOutputdir->isChecked());
    EXPECT_EQ(f.OutputFolderEdit->Text(), QDir::homePath() + "/");
    EXPECT_FALSE(f.OutputFolderEdit->DirectInput());
    EXPECT_FALSE(f.OutputFolderEdit->isEnabled());  // follows cbOutputdir after the restore
    EXPECT_EQ(f.ComboID3->currentIndex(), 1);  // "ID3V2.3" (D19)
    EXPECT_EQ(f.ComboID3->Tag(), 1);
    EXPECT_TRUE(f.ComboID3->isEditable());
    EXPECT_EQ(f.ComboID3->count(), 2);
    EXPECT_EQ(f.ComboID3->itemText(0), "ID3V1.1");
    EXPECT_EQ(f.ComboID3->itemText(1), "ID3V2.3");
    EXPECT_FALSE(f.CancelButton->isEnabled());
    EXPECT_EQ(f.FileList->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(f.InfoPanel->selectionMode(), QAbstractItemView::SingleSelection);

    // Non-visual components with their settings.
    EXPECT_EQ(f.TreeScanner1->FileMask(), "*.mp*");
    EXPECT_TRUE(f.TreeScanner1->Recursive());
    EXPECT_EQ(f.FileDrop1->DropControl(), f.FileList);
    EXPECT_TRUE(f.FileDrop1->EnableDrop());
    EXPECT_FALSE(f.JobTimer->isActive());
    EXPECT_EQ(f.JobTimer->interval(), 100);
    EXPECT_EQ(f.XWinReboot1->ExitWindowsFlags(), 13u);
    EXPECT_EQ(f.FormStorage1->IniSection(), "Default");
}

TEST_F(Window, TabOrderRunsThroughTheThirteenStopsThenTheListAndTheAddedControls)
{
    TForm1 &f = Open();
    QWidget *showLog = f.StatusArea1->ShowLogButton();
    // The browse button right after its folder; the status line's buttons in their row's
    // order, "Parallel conversions" at its end.
    // The output format before the encoder line it chooses.
    const QList<QWidget *> order = {f.DecoderOptionsEdit, f.ComboFormat, f.EncoderOptionsEdit, f.cbID3v1, f.cbID3v2, f.cbApetag,
                                    f.ComboID3,    f.cbShutdown,     f.cbOutputdir, f.OutputFolderEdit,
                                    static_cast<QWidget *>(f.OutputFolderEdit->Button()),
                                    f.TranscodeButton,     f.ClearButton,        f.DeleteButton, f.CancelButton,
                                    f.FileList,    f.AddFilesButton,        f.AddFolderButton, f.OutputNamesButton,
                                    f.ComboExisting, f.StatusArea1->DetailsButton(),
                                    f.StatusArea1->OpenFolderButton(), showLog, f.JobsSpin, f.DecoderOptionsEdit};
    // Every stop enabled, so Tab visits each.
    f.cbOutputdir->click();
    f.CancelButton->setEnabled(true);
    showLog->setEnabled(true);
    f.StatusArea1->SetDetailsAvailable(true);
    f.StatusArea1->SetOutputFolder("/tmp/");
    f.activateWindow();
    f.DecoderOptionsEdit->setFocus();
    QWidget *w = f.DecoderOptionsEdit;
    for (int i = 1; i < order.size(); ++i) {
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisible() ||
               (w->focusProxy() && w->focusProxy() != w) ||
               (w->parentWidget() && w->parentWidget() != &f && w->parentWidget() != f.OutputFolderEdit &&
                w->parentWidget() != f.OutputFolderEdit->Edit() &&
                w->parentWidget() != f.ComboID3 && w->parentWidget() != f.StatusArea1))
            w = w->nextInFocusChain();
        QWidget *expected = order[i];
        const bool match = w == expected || w->parentWidget() == expected ||
                           (w->parentWidget() && w->parentWidget()->parentWidget() == expected);
        EXPECT_TRUE(match) << "stop " << i << " is " << w->objectName().toStdString() << " ("
                           << w->metaObject()->className() << "), expected " << expected->objectName().toStdString();
    }
    EXPECT_EQ(f.InfoPanel->focusPolicy(), Qt::ClickFocus);
}

TEST_F(Window, PresetMenuReplacesTheWholeEncoderLine)
{
    TForm1 &f = Open();
    const QList<QAction *> actions = f.PresetsMenu->actions();
    ASSERT_EQ(actions.size(), 18);
    QStringList names, captions;
    int separators = 0;
    for (QAction *a : actions) {
        names << a->objectName();
        if (a->isSeparator()) ++separators;
        else captions << a->text().section(": ", 0, 0);
    }
    EXPECT_EQ(separators, 4);
    EXPECT_EQ(names, QStringList({"altpresetfaststandard1", "altpresetstandard1", "N1", "altpresetfastextreme1",
                                  "altpresetextreme1", "N2", "altpresetfastinsane1", "altpresetinsane1", "N4",
                                  "altpreset961", "altpreset1121", "altpreset1281", "altpreset1601", "N3",
                                  "altpresetcbr961", "altpresetcbr1121", "altpresetcbr1281", "altpresetcbr1601"}));
    EXPECT_EQ(captions, QStringList({"--alt-preset fast standard", "--alt-preset standard",
                                     "--alt-preset fast extreme", "--alt-preset extreme", "--alt-preset fast insane",
                                     "--alt-preset insane", "--alt-preset 96", "--alt-preset 112", "--alt-preset 128",
                                     "--alt-preset 160", "--alt-preset cbr 96", "--alt-preset cbr 112",
                                     "--alt-preset cbr 128", "--alt-preset cbr 160"}));

    // A right click in the encoder line opens its standard menu with the presets in it,
    // each saying what it makes, the line's own marked.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 10), f.EncoderOptionsEdit->mapToGlobal(QPoint(20, 10)));
    QCoreApplication::sendEvent(f.EncoderOptionsEdit, &click);
    auto *menu = f.findChild<QMenu *>("Edit2Menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QStringList entries;
    for (QAction *a : menu->actions()) entries << a->text();
    EXPECT_TRUE(entries.filter("Copy").size() == 1 && entries.filter("Paste").size() == 1) << entries.join('|').toStdString();
    EXPECT_EQ(menu->actions().last()->menu(), f.PresetsMenu);
    emit f.PresetsMenu->aboutToShow();
    EXPECT_EQ(actions[16]->text(), "--alt-preset cbr 128: CBR 128 kbit/s");
    for (QAction *a : actions) EXPECT_EQ(a->isChecked(), a == actions[16]) << a->text().toStdString();
    menu->close();

    f.EncoderOptionsEdit->setText("-V 2 --something typed");
    actions[3]->trigger();
    EXPECT_EQ(f.EncoderOptionsEdit->text(), "--alt-preset fast extreme");
    actions[17]->trigger();
    EXPECT_EQ(f.EncoderOptionsEdit->text(), "--alt-preset cbr 160");

    // The shared handler only takes menu items.
    f.PresetClick(f.TranscodeButton);
    EXPECT_EQ(f.EncoderOptionsEdit->text(), "--alt-preset cbr 160");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Trackmill");
    EXPECT_EQ(messages[0].text, "Invalid class typecast.");
}

// lame 3.100 refuses "--alt-preset fast insane": the item keeps its caption and writes the
// preset lame takes, which the real lame encodes with, and the menu marks that one.
TEST_F(Window, TheFastInsanePresetWritesWhatLameTakes)
{
    TM_REQUIRE_TOOL("lame");
    TForm1 &f = Open();
    QAction *fastInsane = f.PresetsMenu->findChild<QAction *>("altpresetfastinsane1");
    ASSERT_NE(fastInsane, nullptr);
    EXPECT_TRUE(fastInsane->text().startsWith("--alt-preset fast insane: ")) << fastInsane->text().toStdString();
    fastInsane->trigger();
    EXPECT_EQ(f.EncoderOptionsEdit->text(), "--alt-preset insane");
    emit f.PresetsMenu->aboutToShow();
    for (QAction *a : f.PresetsMenu->actions()) EXPECT_EQ(a->isChecked(), a->objectName() == "altpresetinsane1");

    const std::filesystem::path wav = work / "short.wav", mp3 = work / "short.mp3";
    tmtest::MakeSineWav(wav, 0.2);
    std::vector<std::string> argv{"lame", "--quiet"};
    for (const QString &word : f.EncoderOptionsEdit->text().split(' ')) argv.push_back(word.toStdString());
    argv.insert(argv.end(), {wav.string(), mp3.string()});
    const tmtest::RunResult r = tmtest::Run(argv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GT(std::filesystem::file_size(mp3), 0u);
}

TEST_F(Window, FolderTextIsKeptEndingInASeparator)
{
    EXPECT_EQ(NormalizeFolderText(""), "");
    EXPECT_EQ(NormalizeFolderText("/"), "/");
    EXPECT_EQ(NormalizeFolderText("/music/"), "/music/");
    EXPECT_EQ(NormalizeFolderText("/music"), "/music/");
    // No drive letters here: a one-letter relative folder is just a folder.
    EXPECT_EQ(NormalizeFolderText("C"), "C/");
    EXPECT_EQ(NormalizeFolderText("C:"), "C:/");

    TForm1 &f = Open();
    int changes = 0;
    QObject::connect(f.OutputFolderEdit, &TDirectoryEdit::Change, [&] { ++changes; });
    f.OutputFolderEdit->SetText("/srv/music");
    EXPECT_EQ(f.OutputFolderEdit->Text(), "/srv/music/");
    EXPECT_EQ(changes, 2);  // the change, then the normalised text; nothing more

    // A folder chosen in the dialog arrives without its separator and gets it back.
    f.cbOutputdir->click();
    std::filesystem::create_directory(work / "out");
    f.OutputFolderEdit->SetFolderDialog([&](QWidget *, const QString &, const QString &start) {
        EXPECT_EQ(start, "/");  // /srv/music/ does not exist here
        return Q(work / "out") + "/";
    });
    f.OutputFolderEdit->DoClick();
    EXPECT_EQ(f.OutputFolderEdit->Text(), Q(work / "out") + "/");
    f.OutputFolderEdit->SetFolderDialog([](QWidget *, const QString &, const QString &) { return QString("/"); });
    f.OutputFolderEdit->DoClick();
    EXPECT_EQ(f.OutputFolderEdit->Text(), "/");
}

TEST_F(Window, OutputFolderSwitchEnablesTheFieldAndKeepsItsText)
{
    TForm1 &f = Open();
    const QString text = f.OutputFolderEdit->Text();
    EXPECT_FALSE(f.OutputFolderEdit->isEnabled());
    QTest::mouseClick(f.cbOutputdir, Qt::LeftButton, {}, QPoint(5, f.cbOutputdir->height() / 2));
    EXPECT_TRUE(f.cbOutputdir->isChecked());
    EXPECT_TRUE(f.OutputFolderEdit->isEnabled());
    QTest::mouseClick(f.cbOutputdir, Qt::LeftButton, {}, QPoint(5, f.cbOutputdir->height() / 2));
    EXPECT_FALSE(f.OutputFolderEdit->isEnabled());
    EXPECT_EQ(f.OutputFolderEdit->Text(), text);
}

TEST_F(Window, ComboTagMirrorsTheSelectedIndex)
{
    TForm1 &f = Open();
    f.ComboID3->setCurrentIndex(1);
    EXPECT_EQ(f.ComboID3->Tag(), 1);
    f.ComboID3->setCurrentIndex(0);
    EXPECT_EQ(f.ComboID3->Tag(), 0);

    // The restore step selects the entry named by a stored Tag; one that fits no entry
    // leaves the box without a selection and the mirror at -1.
    f.ComboID3->SetTag(1);
    f.FormStorage1RestorePlacement(f.FormStorage1);
    EXPECT_EQ(f.ComboID3->currentIndex(), 1);
    EXPECT_EQ(f.ComboID3->Tag(), 1);
    f.ComboID3->SetTag(7);
    f.FormStorage1RestorePlacement(f.FormStorage1);
    EXPECT_EQ(f.ComboID3->currentIndex(), -1);
    EXPECT_EQ(f.ComboID3->Tag(), -1);
}

TEST_F(Window, EnterClicksTranscodeAndEscClicksCancel)
{
    TForm1 &f = Open();
    f.activateWindow();
    f.EncoderOptionsEdit->setFocus();
    ASSERT_TRUE(f.TranscodeButton->isEnabled() || !tmtest::HaveTool("lame"));
    QTest::keyClick(f.EncoderOptionsEdit, Qt::Key_Return);
    TM_TRY_COMPARE(int(messages.size()), 1, 2000);
    EXPECT_EQ(messages[0].caption, "An error occured");
    EXPECT_EQ(messages[0].text, "The list of files to transcode is empty");
    EXPECT_EQ(messages[0].kind, TMessageKind::Error);

    // In a check box too.
    f.cbID3v1->setFocus();
    QTest::keyClick(f.cbID3v1, Qt::Key_Enter);
    TM_TRY_COMPARE(int(messages.size()), 2, 2000);

    // In the target box and in the browse-only folder field as well.
    f.ComboID3->setFocus();
    QTest::keyClick(f.ComboID3, Qt::Key_Return);
    TM_TRY_COMPARE(int(messages.size()), 3, 2000);
    f.cbOutputdir->click();
    f.OutputFolderEdit->setFocus();
    QTest::keyClick(f.OutputFolderEdit->Edit(), Qt::Key_Return);
    TM_TRY_COMPARE(int(messages.size()), 4, 2000);

    // Esc does nothing while Cancel is disabled (a click would have pressed the button
    // already), and cancels once it is enabled.
    QSignalSpy cancels(f.CancelButton, &QPushButton::clicked);
    QTest::keyClick(f.DecoderOptionsEdit, Qt::Key_Escape);
    EXPECT_FALSE(f.CancelButton->isDown());
    EXPECT_FALSE(f.Job().CancelRequested());
    f.CancelButton->setEnabled(true);
    QTest::keyClick(f.DecoderOptionsEdit, Qt::Key_Escape);
    EXPECT_TRUE(f.CancelButton->isDown());
    TM_TRY_VERIFY(f.Job().CancelRequested(), 2000);
    QTest::keyClick(f.OutputFolderEdit->Edit(), Qt::Key_Escape);
    TM_TRY_COMPARE(cancels.count(), 2, 2000);
    QTest::keyClick(f.ComboID3, Qt::Key_Escape);
    TM_TRY_COMPARE(cancels.count(), 3, 2000);
}

TEST_F(Window, MissingProgramsAreReportedInOrderAndTranscodeStaysDisabled)
{
    // Neither program in the working folder nor on PATH.
    const QByteArray path = qgetenv("PATH");
    std::filesystem::create_directory(work / "empty");
    qputenv("PATH", QByteArray::fromStdString((work / "empty").string()));
    Open(false);
    qputenv("PATH", path);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              "LAME not found. Place the program in the same directory as trackmill or install it on the PATH");
    EXPECT_EQ(messages[1].text,
              "MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH");
    EXPECT_EQ(messages[0].caption, "An error occured");
    EXPECT_FALSE(form->TranscodeButton->isEnabled());
    EXPECT_TRUE(form->ClearButton->isEnabled());
    ShowHint(form->DecoderOptionsEdit);
    EXPECT_FALSE(form->DecoderOptionsEdit->toolTip().isEmpty());  // the fixed usage text

    // A program placed in the working folder is never taken, nor through "." on PATH;
    // one in an absolute PATH folder is.
    form.reset();
    messages.clear();
    std::filesystem::create_directory(work / "tools");
    for (const auto &where : {work / "lame", work / "tools" / "mpcdec"}) {
        tmtest::WriteText(where, "#!/bin/sh\nexit 0\n");
        std::filesystem::permissions(where, std::filesystem::perms::owner_all);
    }
    qputenv("PATH", QByteArray::fromStdString(".:" + (work / "tools").string()));
    Open(false);
    qputenv("PATH", path);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("LAME not found"));
}
