// Whether the window's controls all fit: each inside the client area with room for its
// caption, none overlapping another, in the designed rows and columns. Shared by the
// layout tests on Linux and under Wine.
#pragma once

#include "main/Form1.h"
#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tmtest {

using trackmill::TForm1;

inline std::vector<QWidget *> Controls(TForm1 &f)
{
    return {f.Label1, f.Label2,   f.Label3, f.Label4,     f.Button1,     f.Edit1,          f.Edit2,
            f.ListBox1, f.cbID3v1, f.cbID3v2, f.Button2, f.cbApetag, f.Button3, f.lbInfo,
            f.cbShutdown, f.cbOutputdir, f.DirectoryEdit1, f.Button4, f.ComboID3,
            // the added ones
            f.Button5, f.Button6, f.Button7, f.Label5, f.ComboExisting, f.Label6, f.SpinEdit1,
            f.StatusArea1};
}

inline std::string Name(const QWidget *w) { return w->objectName().toStdString(); }

inline std::string Describe(TForm1 &f)
{
    std::ostringstream out;
    out << "client " << f.width() << "x" << f.height() << "\n";
    for (QWidget *w : Controls(f)) {
        const QRect r = w->geometry();
        out << "  " << Name(w) << " " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << "\n";
    }
    return out.str();
}

// The room a caption needs: its text for a label (all its lines when it wraps), the
// whole of what the style draws for a check box or a button.
inline void ExpectCaptionFits(QWidget *w)
{
    SCOPED_TRACE(Name(w));
    if (auto *l = qobject_cast<QLabel *>(w)) {
        const QFontMetrics fm(l->font());
        // An access key's "&" is drawn as the next letter's underline.
        const QString text = l->buddy() ? QString(l->text()).remove('&') : l->text();
        if (l->wordWrap()) {
            EXPECT_LE(l->heightForWidth(l->width()), l->height());
            for (const QString &word : text.split(' ', Qt::SkipEmptyParts))
                EXPECT_LE(fm.horizontalAdvance(word), l->width());
        } else {
            EXPECT_LE(fm.horizontalAdvance(text), l->width());
            EXPECT_LE(fm.height(), l->height());
        }
    } else if (qobject_cast<QAbstractButton *>(w)) {
        EXPECT_LE(w->sizeHint().width(), w->width());
        EXPECT_LE(QFontMetrics(w->font()).height(), w->height());
    } else {
        EXPECT_LE(w->minimumSizeHint().width(), w->width());
        EXPECT_LE(w->minimumSizeHint().height(), w->height());
    }
}

inline void ExpectFits(TForm1 &f)
{
    SCOPED_TRACE(Describe(f));
    const std::vector<QWidget *> controls = Controls(f);
    for (QWidget *w : controls) {
        EXPECT_TRUE(w->isVisible()) << Name(w);
        EXPECT_TRUE(f.rect().contains(w->geometry())) << Name(w) << " leaves the client area";
        ExpectCaptionFits(w);
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << Name(controls[i]) << " overlaps " << Name(controls[j]);

    // The designed arrangement: its rows top to bottom, its columns left to right.
    const auto above = [](QWidget *a, QWidget *b) {
        EXPECT_LE(a->geometry().bottom(), b->geometry().top()) << Name(a) << " above " << Name(b);
    };
    const auto leftOf = [](QWidget *a, QWidget *b) {
        EXPECT_LE(a->geometry().right(), b->geometry().left()) << Name(a) << " left of " << Name(b);
    };
    for (auto [a, b] : std::vector<std::pair<QWidget *, QWidget *>>{
             {f.Label1, f.Edit1}, {f.Edit1, f.Label2}, {f.Label2, f.Edit2}, {f.Edit2, f.cbID3v1},
             {f.cbID3v1, f.cbID3v2}, {f.cbID3v2, f.cbApetag}, {f.cbApetag, f.Label3}, {f.ComboID3, f.Label3},
             {f.Label3, f.ListBox1}, {f.ListBox1, f.Button2}, {f.ListBox1, f.cbOutputdir},
             {f.ListBox1, f.Button1},
             {f.cbOutputdir, f.DirectoryEdit1}, {f.Label4, f.lbInfo}, {f.lbInfo, f.Button1},
             {f.Button1, f.Button4},
             {f.Button2, f.Button5}, {f.Button3, f.Button6}, {f.cbShutdown, f.Button7},
             {f.cbShutdown, f.ComboExisting}, {f.ComboExisting, f.Label3}, {f.Button7, f.Label3},
             {f.Button5, f.StatusArea1},
             {f.DirectoryEdit1, f.StatusArea1}, {f.Button4, f.Label6}, {f.Button4, f.SpinEdit1}})
        above(a, b);
    for (auto [a, b] : std::vector<std::pair<QWidget *, QWidget *>>{
             {f.cbApetag, f.ComboID3}, {f.Button2, f.Button3}, {f.Edit1, f.lbInfo}, {f.ListBox1, f.lbInfo},
             {f.DirectoryEdit1, f.Button1}, {f.Button5, f.Button6}, {f.Label5, f.ComboExisting},
             {f.Label6, f.SpinEdit1}})
        leftOf(a, b);
    // On a screen too narrow for them these two rows stack.
    if (f.cbShutdown->y() == f.cbID3v1->y()) {
        leftOf(f.cbID3v1, f.cbShutdown);
    } else {
        above(f.cbApetag, f.cbShutdown);
        above(f.cbShutdown, f.Label3);
    }
    if (f.cbOutputdir->y() == f.Button3->y()) {
        leftOf(f.Button3, f.cbOutputdir);
    } else {
        above(f.Button3, f.cbOutputdir);
    }
    EXPECT_EQ(f.Label1->y(), f.Label4->y());
    EXPECT_EQ(f.ListBox1->geometry().bottom(), f.lbInfo->geometry().bottom());
    EXPECT_EQ(f.Button2->y(), f.Button1->y());
}

}  // namespace tmtest
