// Settings across two runs of the window: the nine stored values, the position, and
// the file's layout.
#include "WindowFixture.h"

#include "main/LibraryDialog.h"
#include "widgets/ToolEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <sstream>

#include "widgets/ConsoleWindow.h"
#include "widgets/LogWindow.h"
#include <QCheckBox>

using namespace trackmill;

class WindowSettings : public tmtest::WindowTest {};

TEST_F(WindowSettings, EveryStoredValueAndThePositionComeBack)
{
    std::filesystem::create_directory(work / "out");
    TForm1 &f = Open();
    f.cbApetag->setChecked(false);
    f.cbID3v1->setChecked(false);
    f.cbID3v2->setChecked(false);
    f.DecoderOptionsEdit->setText("  -i  ");
    f.EncoderOptionsEdit->setText("\"--alt-preset insane\"");
    f.cbShutdown->setChecked(true);
    f.cbOutputdir->click();
    f.OutputFolderEdit->SetText(Q(work / "out"));
    f.ComboID3->setCurrentIndex(1);
    f.SetJobs(3);
    f.SetExistingFiles(TExistingPolicy::KeepBoth);
    TForm1::TLibrarySettings library = f.LibrarySettings();
    library.libraryFolder = (work / "music").string();
    library.layout = TOutputLayout::Flat;
    library.namePattern = "%artist%/%title%";
    library.embedFolderArt = false;
    f.SetLibrarySettings(library);
    f.Console->ShowConsoleBox()->click();  // "Show console during jobs" off, where a person sees it
    f.Console->SetUserGeometry(QRect(30, 40, 500, 200));
    f.move(f.pos() + QPoint(17, 9));
    const QPoint pos = f.pos();
    CloseAndDelete();

    const std::string ini = tmtest::ReadText(work / "trackmill.ini");
    std::vector<std::string> keys;
    std::istringstream lines(ini);
    for (std::string line; std::getline(lines, line);)
        if (auto eq = line.find('='); eq != std::string::npos) keys.push_back(line.substr(0, eq));
    const std::vector<std::string> tail = {"cbApetag_Checked",   "cbID3v1_Checked",     "cbID3v2_Checked",
                                           "Edit1_Text",         "Edit2_Text",          "cbShutdown_Checked",
                                           "cbOutputdir_Checked", "DirectoryEdit1_Text", "ComboID3_Tag"};
    // The designed seventeen keep their places; the keys added since follow them.
    ASSERT_EQ(keys.size(), 29u) << ini;
    EXPECT_EQ(std::vector<std::string>(keys.begin() + 8, keys.begin() + 17), tail) << ini;
    EXPECT_EQ(std::vector<std::string>(keys.begin() + 17, keys.end()),
              (std::vector<std::string>{"Jobs", "ExistingFiles", "KeepFolders", "LibraryFolder", "OutputLayout",
                                        "NamePattern", "CopyFolderArt", "EmbedFolderArt", "ShowConsole",
                                        "ConsolePos", "OutputFormat", "OpusOptions"})) << ini;
    EXPECT_NE(ini.find("ShowConsole=False\nConsolePos=30,40,500,200"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Jobs=3\nExistingFiles=KeepBoth\nKeepFolders=False"), std::string::npos) << ini;
    EXPECT_NE(ini.find("OutputLayout=Flat\nNamePattern=%artist%/%title%\nCopyFolderArt=True\nEmbedFolderArt=False"),
              std::string::npos) << ini;
    EXPECT_NE(ini.find("cbApetag_Checked=False"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ComboID3_Tag=1"), std::string::npos) << ini;

    TForm1 &g = Open();
    EXPECT_FALSE(g.cbApetag->isChecked());
    EXPECT_FALSE(g.cbID3v1->isChecked());
    EXPECT_FALSE(g.cbID3v2->isChecked());
    EXPECT_EQ(g.DecoderOptionsEdit->text(), "-i");  // blanks at the ends are not kept
    EXPECT_EQ(g.EncoderOptionsEdit->text(), "\"--alt-preset insane\"");
    EXPECT_TRUE(g.cbShutdown->isChecked());
    EXPECT_TRUE(g.cbOutputdir->isChecked());
    EXPECT_TRUE(g.OutputFolderEdit->isEnabled());
    EXPECT_EQ(g.OutputFolderEdit->Text(), Q(work / "out") + "/");
    EXPECT_EQ(g.ComboID3->currentIndex(), 1);
    EXPECT_EQ(g.ComboID3->Tag(), 1);
    EXPECT_EQ(g.Jobs(), 3);
    EXPECT_EQ(g.ExistingFiles(), TExistingPolicy::KeepBoth);
    EXPECT_EQ(g.LibrarySettings().libraryFolder, (work / "music").string());
    EXPECT_EQ(g.LibrarySettings().layout, TOutputLayout::Flat);
    EXPECT_FALSE(g.LibrarySettings().embedFolderArt);
    EXPECT_FALSE(g.ShowConsole());
    EXPECT_FALSE(g.LogWindow1->ShowConsoleBox()->isChecked());
    EXPECT_EQ(g.Console->UserGeometry(), QRect(30, 40, 500, 200));
    EXPECT_EQ(g.pos(), pos);

    // The fourth choice of "Existing files", stored by its own name.
    ASSERT_EQ(g.ComboExisting->count(), 4);
    EXPECT_EQ(g.ComboExisting->itemText(3), "Update tags");
    g.ComboExisting->setCurrentIndex(3);
    EXPECT_EQ(g.ExistingFiles(), TExistingPolicy::UpdateTags);
    CloseAndDelete();
    EXPECT_NE(tmtest::ReadText(work / "trackmill.ini").find("\nExistingFiles=UpdateTags\n"), std::string::npos);
    EXPECT_EQ(Open().ExistingFiles(), TExistingPolicy::UpdateTags);
}

TEST_F(WindowSettings, TheCommandLineToolReadsWhatTheWindowStored)
{
    // The window's file where trackmill-cli looks for it when no window program sits beside it.
    const std::filesystem::path config = work / "config";
    std::filesystem::create_directories(config / "trackmill");
    TForm1 &f = Open();
    f.FormStorage1->SetIniFileName(Q(config / "trackmill" / "trackmill.ini"));
    f.EncoderOptionsEdit->setText("-V 2");
    f.cbID3v2->setChecked(false);
    f.cbOutputdir->click();
    f.OutputFolderEdit->SetText(Q(work / "out"));
    f.ComboID3->setCurrentIndex(0);
    f.SetJobs(5);
    f.SetExistingFiles(TExistingPolicy::Overwrite);
    CloseAndDelete();

    ASSERT_TRUE(tmtest::MakeMpc(work / "a.mpc", 0.2));
    std::filesystem::create_directories(work / "cli");
    std::filesystem::copy_file(TRACKMILL_CLI, work / "cli" / "trackmill-cli");
    const std::map<std::string, std::string> env{{"XDG_CONFIG_HOME", config.string()}};
    const auto r = tmtest::Run({(work / "cli" / "trackmill-cli").string(), "convert", "--dry-run",
                                (work / "a.mpc").string()},
                               work.path().string(), 60000, env);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("encoder options '-V 2'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("output: " + (work / "out").string() + "/, folder structure kept"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("existing files: overwrite; 5 at once; tags: ID3v1 copied, ID3v2 not copied, APE to ID3v1.1"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(Q(work / "a.mpc").toStdString() + " -> " + (work / "out" / "a.mp3").string()), std::string::npos)
        << r.out;
}

TEST_F(WindowSettings, AFreshSettingsFileChoosesId3v23AndAStoredChoiceIsKept)
{
    TForm1 &f = Open();
    EXPECT_EQ(f.ComboID3->currentIndex(), 1);
    EXPECT_EQ(f.ComboID3->Tag(), 1);
    CloseAndDelete();
    EXPECT_NE(tmtest::ReadText(work / "trackmill.ini").find("ComboID3_Tag=1"), std::string::npos);

    tmtest::WriteText(work / "trackmill.ini", "[Default]\nComboID3_Tag=0\n");
    TForm1 &g = Open();
    EXPECT_EQ(g.ComboID3->currentIndex(), 0);
    EXPECT_EQ(g.ComboID3->Tag(), 0);
}

TEST_F(WindowSettings, AStoredTagThatFitsNoEntryLeavesNoSelection)
{
    tmtest::WriteText(work / "trackmill.ini", "[Default]\nComboID3_Tag=5\ncbShutdown_Checked=true\n");
    TForm1 &f = Open();
    EXPECT_EQ(f.ComboID3->currentIndex(), -1);
    EXPECT_EQ(f.ComboID3->Tag(), -1);
    EXPECT_TRUE(f.cbShutdown->isChecked());
    CloseAndDelete();
    EXPECT_NE(tmtest::ReadText(work / "trackmill.ini").find("ComboID3_Tag=-1"), std::string::npos);
}

TEST_F(WindowSettings, TheLibraryDialogsChoicesReachTheJobAndComeBack)
{
    std::filesystem::create_directory(work / "music");
    TForm1 &f = Open();
    const auto openDialog = [this] {
        form->OutputNamesButton->click();
        auto *d = form->findChild<TLibraryDialog *>();
        if (!d) return d;
        // The offscreen platform leaves activating a new window to the program.
        d->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([d] { return QApplication::activeWindow() == d; }, 5000));
        return d;
    };
    TLibraryDialog *d = openDialog();
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->rbSource->isChecked());
    EXPECT_FALSE(d->EditPattern->isEnabled());
    EXPECT_EQ(d->EditPattern->text(), kDefaultNamePattern);
    EXPECT_TRUE(d->cbCopyArt->isChecked());
    EXPECT_TRUE(d->cbEmbedArt->isChecked());

    // By keyboard: the access keys choose (a button's click comes a moment later), Enter
    // takes the choices.
    QTest::keyClick(d, Qt::Key_T, Qt::AltModifier);
    TM_TRY_VERIFY(d->rbTags->isChecked(), 5000);
    EXPECT_TRUE(d->EditPattern->isEnabled());
    QTest::keyClick(d, Qt::Key_N, Qt::AltModifier);
    TM_TRY_VERIFY(d->rbFlat->isChecked(), 5000);
    EXPECT_FALSE(d->EditPattern->isEnabled());
    QTest::keyClick(d, Qt::Key_T, Qt::AltModifier);
    TM_TRY_VERIFY(d->EditPattern->isEnabled(), 5000);
    QTest::keyClick(d, Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(d->EditPattern->hasFocus());
    d->EditPattern->selectAll();
    QTest::keyClicks(d->EditPattern, "%artist%/%year% %title%");
    QTest::keyClick(d, Qt::Key_Y, Qt::AltModifier);
    TM_TRY_VERIFY(!d->cbCopyArt->isChecked(), 5000);
    QTest::keyClick(d, Qt::Key_L, Qt::AltModifier);
    ASSERT_TRUE(d->FolderEdit->Edit()->hasFocus());
    d->FolderEdit->Edit()->selectAll();
    QTest::keyClicks(d->FolderEdit->Edit(), Q(work / "music"));
    QTest::keyClick(d->FolderEdit->Edit(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());

    TJobSettings s = f.Settings();
    EXPECT_EQ(s.layout, TOutputLayout::Tags);
    EXPECT_EQ(s.namePattern, "%artist%/%year% %title%");
    EXPECT_EQ(s.libraryDir, (work / "music").string() + "/");
    EXPECT_FALSE(s.copyFolderArt);
    EXPECT_TRUE(s.embedFolderArt);
    EXPECT_EQ(f.OutputNamesButton->toolTip(), "From the tags: %artist%/%year% %title%; folder art embedded");

    // Cancel (Esc) changes nothing; an emptied library folder is none.
    d = openDialog();
    d->rbSource->setChecked(true);
    d->FolderEdit->SetText("  ");
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_EQ(f.Settings().layout, TOutputLayout::Tags);
    d = openDialog();
    EXPECT_TRUE(d->rbTags->isChecked());
    EXPECT_EQ(d->FolderEdit->Text(), Q(work / "music"));
    d->FolderEdit->SetText("  ");
    d->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(f.Settings().libraryDir, "");
    d = openDialog();
    d->FolderEdit->SetText(Q(work / "music"));
    d->Buttons->button(QDialogButtonBox::Ok)->click();
    CloseAndDelete();

    const std::string ini = tmtest::ReadText(work / "trackmill.ini");
    EXPECT_NE(ini.find("KeepFolders=True\nLibraryFolder=" + (work / "music").string() +
                       "\nOutputLayout=Tags\nNamePattern=%artist%/%year% %title%\nCopyFolderArt=False\nEmbedFolderArt=True"),
              std::string::npos) << ini;

    TForm1 &g = Open();
    d = openDialog();
    EXPECT_TRUE(d->rbTags->isChecked());
    EXPECT_TRUE(d->EditPattern->isEnabled());
    EXPECT_EQ(d->EditPattern->text(), "%artist%/%year% %title%");
    EXPECT_EQ(d->FolderEdit->Text(), Q(work / "music"));
    EXPECT_FALSE(d->cbCopyArt->isChecked());
    EXPECT_TRUE(d->cbEmbedArt->isChecked());
    // An emptied pattern is the default one.
    d->EditPattern->clear();
    d->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(g.Settings().namePattern, kDefaultNamePattern);

    // A folder name that is not UTF-8, left as it was shown, keeps its bytes.
    TForm1::TLibrarySettings latin1 = g.LibrarySettings();
    latin1.libraryFolder = (work / "m\xfasica").string();
    g.SetLibrarySettings(latin1);
    openDialog()->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(g.LibrarySettings().libraryFolder, latin1.libraryFolder);
}
