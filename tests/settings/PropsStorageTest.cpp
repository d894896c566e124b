// Value texts of each property kind, both ways, through Qt's property system.
#include "settings/PropsStorage.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMap>
#include <QSignalSpy>
#include <QSpinBox>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using namespace trackmill;

// A storage over an in-memory section, so each test sees exactly what would be written.
struct MemoryStorage {
    MemoryStorage()
    {
        storage.SetSectionName("S");
        storage.SetOnWriteValue([this](const QString &, const QString &k, const QString &v) {
            written << k;
            values[k] = v;
        });
        storage.SetOnReadValue([this](const QString &, const QString &k, const QString &d) { return values.value(k, d); });
    }
    void Store(QObject *owner, const QStringList &paths) { storage.StoreComponentProps(owner, paths); }
    void Load(QObject *owner, const QStringList &paths) { storage.LoadComponentProps(owner, paths); }

    TPropsStorage storage;
    QMap<QString, QString> values;
    QStringList written;
};

template <class W> W *Child(QWidget &parent, const char *name)
{
    auto *w = new W(&parent);
    w->setObjectName(name);
    return w;
}

TEST(PropsStorage, KindsBecomeTextsAsTheFileHoldsThem)
{
    QWidget owner;
    auto *edit = Child<QLineEdit>(owner, "Edit1");
    edit->setText("  padded text  ");
    edit->setEchoMode(QLineEdit::Password);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *spin = Child<QDoubleSpinBox>(owner, "Spin");
    spin->setValue(2.5);
    auto *box = Child<QCheckBox>(owner, "cbBox");
    box->setProperty("Big", QVariant(qlonglong(5000000000)));
    box->setProperty("Letter", QVariant(QChar(u'Q')));
    box->setProperty("Note", QString());
    MemoryStorage m;
    m.Store(&owner, {"Edit1.Text", "Edit1.EchoMode", "Edit1.Alignment", "Spin.Value", "cbBox.Checked", "cbBox.Big",
                     "cbBox.Letter", "cbBox.Note", "cbBox.Font", "cbBox.Missing", "Nobody.Text"});
    EXPECT_EQ(m.written, (QStringList{"Edit1_Text", "Edit1_EchoMode", "Edit1_Alignment", "Spin_Value",
                                      "cbBox_Checked", "cbBox_Big", "cbBox_Letter", "cbBox_Note"}));
    EXPECT_EQ(m.values["Edit1_Text"], "padded text");
    EXPECT_EQ(m.values["Edit1_EchoMode"], "Password");
    EXPECT_EQ(m.values["Edit1_Alignment"], "[AlignRight,AlignVCenter]");
    EXPECT_EQ(m.values["Spin_Value"], "2.5");
    EXPECT_EQ(m.values["cbBox_Checked"], "False");
    EXPECT_EQ(m.values["cbBox_Big"], "5000000000");
    EXPECT_EQ(m.values["cbBox_Letter"], "Q");
    EXPECT_EQ(m.values["cbBox_Note"], "");  // an empty text is still written
}

TEST(PropsStorage, TextsBecomeValuesAndBadOnesAreHandledByKind)
{
    QWidget owner;
    auto *edit = Child<QLineEdit>(owner, "Edit1");
    auto *spin = Child<QSpinBox>(owner, "Count");
    spin->setRange(-100, 100);
    spin->setValue(7);
    auto *dbl = Child<QDoubleSpinBox>(owner, "Spin");
    dbl->setValue(1.5);
    auto *box = Child<QCheckBox>(owner, "cbBox");
    box->setProperty("Tag", 3);
    MemoryStorage m;
    m.values = {{"Edit1_Text", "  new text "},  {"Edit1_EchoMode", "noecho"},    {"Edit1_Alignment", "[ alignleft , AlignTop ]"},
                {"Count_Value", "12x"},          {"Spin_Value", "3.25"},          {"cbBox_Checked", "TRUE"},
                {"cbBox_Tag", "-2"}};
    const QStringList paths = {"Edit1.Text", "Edit1.EchoMode", "Edit1.Alignment", "Count.Value", "Spin.Value",
                               "cbBox.Checked", "cbBox.Tag"};
    m.Load(&owner, paths);
    EXPECT_EQ(edit->text(), "new text");
    EXPECT_EQ(edit->echoMode(), QLineEdit::NoEcho);
    EXPECT_EQ(edit->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(spin->value(), 0);  // not a number
    EXPECT_DOUBLE_EQ(dbl->value(), 3.25);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(box->property("Tag"), QVariant(-2));  // keeps its type

    // Names the type lacks and a bad float leave the value as it is.
    m.values = {{"Edit1_EchoMode", "Bogus"}, {"Spin_Value", "abc"}, {"cbBox_Checked", "1"}, {"Count_Value", "99999999999"}};
    spin->setValue(5);
    m.Load(&owner, paths);
    EXPECT_EQ(edit->echoMode(), QLineEdit::NoEcho);
    EXPECT_DOUBLE_EQ(dbl->value(), 3.25);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(spin->value(), 0);
}

TEST(PropsStorage, AnEqualValueIsNotSetAgain)
{
    QWidget owner;
    auto *edit = Child<QLineEdit>(owner, "Edit1");
    edit->setText("same");
    auto *box = Child<QCheckBox>(owner, "cbBox");
    box->setChecked(true);
    QSignalSpy edited(edit, &QLineEdit::textChanged);
    QSignalSpy toggled(box, &QCheckBox::toggled);
    MemoryStorage m;
    m.values = {{"Edit1_Text", "same"}, {"cbBox_Checked", "true"}};
    m.Load(&owner, {"Edit1.Text", "cbBox.Checked"});
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(toggled.count(), 0);
    m.values = {{"Edit1_Text", "other"}, {"cbBox_Checked", "false"}};
    m.Load(&owner, {"Edit1.Text", "cbBox.Checked"});
    EXPECT_EQ(edited.count(), 1);
    EXPECT_EQ(toggled.count(), 1);
}

TEST(PropsStorage, NamesAndPathsCompareWithoutCase)
{
    QLineEdit edit;
    edit.setProperty("Tag", 1);
    const TPropInfoList list(&edit);
    ASSERT_NE(list.Find("TEXT"), nullptr);
    EXPECT_EQ(list.Find("text")->name, "Text");
    EXPECT_EQ(list.Find("tag")->name, "Tag");
    EXPECT_EQ(list.Find("onTextChanged"), nullptr);  // signals are no properties
    EXPECT_EQ(DeclaredPropertyName("checked"), "Checked");

    QString component, property;
    EXPECT_TRUE(SplitPropPath(" Edit1 . Text ", component, property));
    EXPECT_EQ(component, "Edit1");
    EXPECT_EQ(property, "Text");
    EXPECT_FALSE(SplitPropPath("Edit1", component, property));
    EXPECT_FALSE(SplitPropPath("Edit1.", component, property));
    EXPECT_TRUE(SplitPropPath("a.b.c", component, property));  // split at the first point
    EXPECT_EQ(property, "b.c");

    QWidget owner;
    auto *exact = Child<QLineEdit>(owner, "edit1");
    auto *other = Child<QLineEdit>(owner, "EDIT1");
    EXPECT_EQ(FindOwnedComponent(&owner, "EDIT1"), other);
    EXPECT_EQ(FindOwnedComponent(&owner, "Edit1"), exact);
    EXPECT_EQ(TrimBlanks(QString("\t\x01 x y \r\n")), "x y");
}

}  // namespace
