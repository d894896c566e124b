// Settings across two runs of the window: the nine stored values, the position, and
// the file's layout.
#include "WindowFixture.h"

#include "widgets/ToolEdit.h"

#include <QCheckBox>
#include <QLineEdit>

#include <sstream>

using namespace trackmill;

class WindowSettings : public tmtest::WindowTest {};

TEST_F(WindowSettings, EveryStoredValueAndThePositionComeBack)
{
    std::filesystem::create_directory(work / "out");
    TForm1 &f = Open();
    f.cbApetag->setChecked(false);
    f.cbID3v1->setChecked(false);
    f.cbID3v2->setChecked(false);
    f.Edit1->setText("  -i  ");
    f.Edit2->setText("\"--alt-preset insane\"");
    f.cbShutdown->setChecked(true);
    f.cbOutputdir->click();
    f.DirectoryEdit1->SetText(Q(work / "out"));
    f.ComboID3->setCurrentIndex(1);
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
    ASSERT_EQ(keys.size(), 17u) << ini;
    EXPECT_EQ(std::vector<std::string>(keys.end() - 9, keys.end()), tail) << ini;
    EXPECT_NE(ini.find("cbApetag_Checked=False"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ComboID3_Tag=1"), std::string::npos) << ini;

    TForm1 &g = Open();
    EXPECT_FALSE(g.cbApetag->isChecked());
    EXPECT_FALSE(g.cbID3v1->isChecked());
    EXPECT_FALSE(g.cbID3v2->isChecked());
    EXPECT_EQ(g.Edit1->text(), "-i");  // blanks at the ends are not kept
    EXPECT_EQ(g.Edit2->text(), "\"--alt-preset insane\"");
    EXPECT_TRUE(g.cbShutdown->isChecked());
    EXPECT_TRUE(g.cbOutputdir->isChecked());
    EXPECT_TRUE(g.DirectoryEdit1->isEnabled());
    EXPECT_EQ(g.DirectoryEdit1->Text(), Q(work / "out") + "/");
    EXPECT_EQ(g.ComboID3->currentIndex(), 1);
    EXPECT_EQ(g.ComboID3->Tag(), 1);
    EXPECT_EQ(g.pos(), pos);
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
