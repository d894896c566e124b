// The settings storage on a window built like the main window: what a close or a
// destroy writes, what a show restores, and hand-edited or unwritable files.
#include "settings/WindowPosition.h"
#include "settings/FormPlacement.h"

#include "support/TestSupport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace trackmill;
using tmtest::ReadText;
using tmtest::TempDir;
using tmtest::WriteText;

const QStringList kStoredProps = {"cbApetag.Checked",    "cbID3v1.Checked",     "cbID3v2.Checked",
                                  "Edit1.Text",          "Edit2.Text",          "cbShutdown.Checked",
                                  "cbOutputdir.Checked", "DirectoryEdit1.Text", "ComboID3.Tag"};
const std::vector<std::string> kNineKeys = {"cbApetag_Checked",    "cbID3v1_Checked",     "cbID3v2_Checked",
                                            "Edit1_Text",          "Edit2_Text",          "cbShutdown_Checked",
                                            "cbOutputdir_Checked", "DirectoryEdit1_Text", "ComboID3_Tag"};

// The main window's stored controls with their designed values.
class Window : public QWidget {
public:
    std::function<void(QCloseEvent *)> onClose;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        if (onClose) onClose(e);
    }
};

struct Form {
    explicit Form(const std::filesystem::path &ini)
    {
        window = new Window;
        window->setObjectName("Form1");
        window->setFixedSize(636, 391);
        window->move(200, 150);
        edit1 = Make<QLineEdit>("Edit1");
        edit2 = Make<QLineEdit>("Edit2");
        edit2->setText("--alt-preset cbr 128");
        cbID3v1 = Check("cbID3v1", true);
        cbID3v2 = Check("cbID3v2", true);
        cbApetag = Check("cbApetag", true);
        cbShutdown = Check("cbShutdown", false);
        cbOutputdir = Check("cbOutputdir", false);
        directoryEdit1 = Make<QLineEdit>("DirectoryEdit1");
        directoryEdit1->setText(QDir::homePath() + "/");
        comboID3 = Make<QComboBox>("ComboID3");
        comboID3->addItems({"ID3V1.1", "ID3V2.3"});
        comboID3->setProperty("Tag", 0);
        storage = new TFormStorage(window);
        storage->SetIniSection("Default");
        storage->SetOptions(fpPosition);
        storage->SetStoredProps(kStoredProps);
        storage->SetIniFileName(QString::fromStdString(ini.string()));
    }
    ~Form() { delete window.data(); }

    template <class W> W *Make(const char *name)
    {
        auto *w = new W(window);
        w->setObjectName(name);
        return w;
    }
    QCheckBox *Check(const char *name, bool checked)
    {
        auto *c = Make<QCheckBox>(name);
        c->setChecked(checked);
        return c;
    }
    int Tag() const { return comboID3->property("Tag").toInt(); }

    QPointer<Window> window;
    QLineEdit *edit1, *edit2, *directoryEdit1;
    QCheckBox *cbID3v1, *cbID3v2, *cbApetag, *cbShutdown, *cbOutputdir;
    QComboBox *comboID3;
    TFormStorage *storage;
};

class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetScreenMetricsProvider([this] { return screen; });
        SetApplicationErrorDisplay([this](const QString &t) { errors << t; });
    }
    void TearDown() override
    {
        SetScreenMetricsProvider({});
        SetApplicationErrorDisplay({});
    }
    std::string Value(const std::string &key) { return TIniFile(path.string()).ReadString("Default", key, "<none>"); }
    std::vector<std::string> Keys() { return TIniFile(path.string()).ReadSection("Default"); }

    ScreenMetrics screen{1024, 768, 96};
    QStringList errors;
    TempDir dir;
    std::filesystem::path path = dir / "trackmill.ini";
};

TEST_F(Placement, FirstCloseWritesEveryKeyInOrderWithTheDesignedValues)
{
    Form f(path);
    f.window->show();
    const QRect frame = f.window->frameGeometry();
    ASSERT_TRUE(f.window->close());
    std::vector<std::string> expected = {"Flags",     "ShowCmd",           "PixelsPerInch", "MinMaxPos(1024x768)",
                                         "MinMaxPos", "NormPos(1024x768)", "NormPos",       "Visible"};
    expected.insert(expected.end(), kNineKeys.begin(), kNineKeys.end());
    EXPECT_EQ(Keys(), expected);
    EXPECT_EQ(Value("Flags"), "0");
    EXPECT_EQ(Value("ShowCmd"), "1");
    EXPECT_EQ(Value("PixelsPerInch"), "96");
    EXPECT_EQ(Value("MinMaxPos"), "-1,-1,-1,-1");
    EXPECT_EQ(Value("NormPos"), QStringLiteral("%1,%2,%3,%4")
                                    .arg(frame.left()).arg(frame.top())
                                    .arg(frame.left() + frame.width()).arg(frame.top() + frame.height())
                                    .toStdString());
    EXPECT_EQ(Value("NormPos(1024x768)"), Value("NormPos"));
    EXPECT_EQ(Value("Visible"), "0");
    const std::vector<std::string> designed = {"True",  "True",  "True", "", "--alt-preset cbr 128", "False",
                                               "False", (QDir::homePath() + "/").toStdString(), "0"};
    for (std::size_t i = 0; i < kNineKeys.size(); ++i) EXPECT_EQ(Value(kNineKeys[i]), designed[i]) << kNineKeys[i];
    EXPECT_TRUE(f.storage->Saved());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Placement, DestroyWithoutCloseSavesWithVisibleOne)
{
    auto f = std::make_unique<Form>(path);
    f->window->show();
    f->edit2->setText("--preset x");
    f.reset();
    EXPECT_EQ(Value("Visible"), "1");
    EXPECT_EQ(Value("Edit2_Text"), "--preset x");  // the controls were still there
    EXPECT_EQ(Keys().size(), 17u);
}

TEST_F(Placement, NothingIsWrittenWhenTheWindowWasNeverShown)
{
    {
        Form f(path);
        f.window->close();
    }
    {
        Form f(path);
        f.storage->SetActive(false);
        f.window->show();
        EXPECT_FALSE(f.storage->Restored());
        f.window->close();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(Placement, SavedValuesComeBackInTheNextRun)
{
    {
        Form f(path);
        f.window->show();
        f.window->move(40, 50);
        f.cbApetag->setChecked(false);
        f.cbShutdown->setChecked(true);
        f.edit1->setText("  \"--quoted\"  ");
        f.edit2->setText("'single'");
        f.directoryEdit1->setText("/srv/out/");
        f.comboID3->setProperty("Tag", 1);
        f.window->close();
    }
    Form f(path);
    bool raised = false;
    f.storage->SetOnRestorePlacement([&](TFormPlacement *sender) {
        // Everything is in place when the event comes.
        raised = true;
        EXPECT_EQ(sender, f.storage);
        EXPECT_EQ(f.window->pos(), QPoint(40, 50));
        EXPECT_FALSE(f.cbApetag->isChecked());
        EXPECT_TRUE(f.cbShutdown->isChecked());
        EXPECT_EQ(f.edit1->text(), "\"--quoted\"");
        EXPECT_EQ(f.edit2->text(), "'single'");
        EXPECT_EQ(f.directoryEdit1->text(), "/srv/out/");
        EXPECT_EQ(f.Tag(), 1);
    });
    f.window->show();
    EXPECT_TRUE(raised);
    EXPECT_EQ(f.window->size(), QSize(636, 391));
}

TEST_F(Placement, FixedWindowKeepsItsSizeAndOtherDensityKeepsItsPlace)
{
    WriteText(path, "[Default]\nPixelsPerInch=96\nNormPos=40,50,1000,900\ncbShutdown_Checked=True\n");
    {
        Form f(path);
        f.window->show();
        EXPECT_EQ(f.window->pos(), QPoint(40, 50));
        EXPECT_EQ(f.window->size(), QSize(636, 391));
    }
    WriteText(path, "[Default]\nPixelsPerInch=120\nNormPos=40,50,676,441\ncbShutdown_Checked=True\n");
    Form f(path);
    f.window->show();
    EXPECT_EQ(f.window->pos(), QPoint(200, 150));
    EXPECT_TRUE(f.cbShutdown->isChecked());  // the values are applied all the same
}

TEST_F(Placement, HandEditedFileIsReadAndRewrittenWithoutLosingAnything)
{
    const std::string garbage("\x01\xFF\xFE\x00 noise \xC3(", 12);
    const std::string text = "; written by hand\r\n"
                             "[Other]\r\nKeep=me\r\n\r\n"
                             "[default]\r\n"
                             "CBSHUTDOWN_CHECKED= true \r\n"   // other case, blanks
                             "cbOutputdir_Checked=1\r\n"       // no value name: unchanged
                             "cbID3v1_Checked=False\r\n"
                             "cbID3v1_Checked=True\r\n"        // duplicate: the first counts
                             "cbApetag_Checked=Yes\r\n"        // no such name: unchanged
                             "ComboID3_Tag=abc\r\n"            // text in an integer key: 0
                             "no equals sign\r\n" + garbage + "\r\n"
                             "[Unclosed\r\nx=1";
    WriteText(path, text);
    Form f(path);
    f.comboID3->setProperty("Tag", 1);
    f.window->show();
    EXPECT_TRUE(f.cbShutdown->isChecked());
    EXPECT_FALSE(f.cbOutputdir->isChecked());
    EXPECT_FALSE(f.cbID3v1->isChecked());
    EXPECT_TRUE(f.cbApetag->isChecked());
    EXPECT_EQ(f.Tag(), 0);
    EXPECT_EQ(f.edit2->text(), "--alt-preset cbr 128");  // missing key: designed value
    f.window->close();

    const std::string after = ReadText(path);
    for (const std::string part : {"; written by hand\r\n", "[Other]\r\nKeep=me\r\n", "no equals sign\r\n",
                                   "[Unclosed\r\nx=1", "CBSHUTDOWN_CHECKED=True\r\n", "cbID3v1_Checked=True\r\n",
                                   "cbOutputdir_Checked=False\r\n", "cbApetag_Checked=True\r\n", "ComboID3_Tag=0\r\n",
                                   "Edit2_Text=--alt-preset cbr 128\r\n"})
        EXPECT_NE(after.find(part), std::string::npos) << part;
    EXPECT_NE(after.find(garbage), std::string::npos);
    EXPECT_EQ(TIniFile(path.string()).ReadString("Unclosed", "x", ""), "1");
    EXPECT_EQ(TIniFile(path.string()).ReadString("Other", "Keep", ""), "me");
}

TEST_F(Placement, UnwritableFileReportsOnceAndTheWindowStillCloses)
{
    WriteText(path, "[Default]\nEdit2_Text=--preset y\n");
    ::chmod(path.c_str(), 0444);
    const std::filesystem::path noFolder = dir / "gone" / "trackmill.ini";
    for (const auto &p : {path, noFolder}) {
        errors.clear();
        {
            Form f(p);
            f.window->show();
            EXPECT_TRUE(f.window->close());
            EXPECT_FALSE(f.window->isVisible());
        }  // the destroy must not try again
        EXPECT_EQ(errors, QStringList{QString::fromStdString("Unable to write to " + p.string() + ".")});
    }
    EXPECT_EQ(ReadText(path), "[Default]\nEdit2_Text=--preset y\n");
}

TEST_F(Placement, ASecondScreenSizeAddsItsOwnKeys)
{
    QSize frame;
    {
        Form f(path);
        f.window->show();
        f.window->move(10, 20);
        frame = f.window->frameGeometry().size();
        f.window->close();
    }
    screen = {1280, 1024, 96};
    {
        Form f(path);
        f.window->show();
        f.window->move(30, 40);
        f.window->close();
    }
    const auto norm = [&](int x, int y) {
        return QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + frame.width()).arg(y + frame.height()).toStdString();
    };
    EXPECT_EQ(Value("NormPos(1024x768)"), norm(10, 20));
    EXPECT_EQ(Value("NormPos(1280x1024)"), norm(30, 40));
    EXPECT_EQ(Value("NormPos"), norm(30, 40));
    EXPECT_EQ(Keys().size(), 19u);
    EXPECT_EQ(Keys().back(), "NormPos(1280x1024)");
}

TEST_F(Placement, StoredPathsBindWhateverTheirCaseAndBadOnesAreDropped)
{
    Form f(path);
    f.storage->SetStoredProps({"cbapetag.checked", " edit1 . TEXT ", "nosuch.Checked", "cbShutdown.NoSuchProp",
                               "noPoint", ".Text", "ComboID3."});
    f.window->show();
    f.window->close();
    std::vector<std::string> keys = Keys();
    keys.erase(keys.begin(), keys.begin() + 8);
    EXPECT_EQ(keys, (std::vector<std::string>{"cbApetag_Checked", "Edit1_Text"}));
    EXPECT_EQ(f.storage->StoredProps(), (QStringList{"cbApetag.checked", "Edit1.TEXT", "cbShutdown.NoSuchProp"}));
}

TEST_F(Placement, TheWindowsOwnCloseHandlerDecidesFirst)
{
    Form f(path);
    bool allow = false;
    int calls = 0;
    f.window->onClose = [&](QCloseEvent *e) {
        ++calls;
        if (!allow) e->ignore();
    };
    int saves = 0;
    f.storage->SetOnSavePlacement([&](TFormPlacement *) {
        ++saves;
        EXPECT_EQ(Value("ComboID3_Tag"), "0");  // raised after the values are written
    });
    f.window->show();
    EXPECT_FALSE(f.window->close());
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    allow = true;
    EXPECT_TRUE(f.window->close());
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(saves, 1);
}

}  // namespace
