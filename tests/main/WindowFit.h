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
    return {f.DecoderLabel, f.EncoderLabel,   f.FilesLabel, f.InfoLabel,     f.TranscodeButton,     f.DecoderOptionsEdit,          f.EncoderOptionsEdit,
            f.FileList, f.cbID3v1, f.cbID3v2, f.ClearButton, f.cbApetag, f.DeleteButton, f.InfoPanel,
            f.cbShutdown, f.cbOutputdir, f.OutputFolderEdit, f.CancelButton, f.ComboID3,
            // the added ones
            f.AddFilesButton, f.AddFolderButton, f.OutputNamesButton, f.ExistingLabel, f.ComboExisting, f.JobsLabel, f.JobsSpin,
            f.StatusArea1, f.FormatLabel, f.ComboFormat};
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
             {f.DecoderLabel, f.DecoderOptionsEdit}, {f.DecoderOptionsEdit, f.EncoderLabel}, {f.EncoderLabel, f.EncoderOptionsEdit}, {f.EncoderOptionsEdit, f.cbID3v1},
             {f.cbID3v1, f.cbID3v2}, {f.cbID3v2, f.cbApetag}, {f.cbApetag, f.FilesLabel}, {f.ComboID3, f.FilesLabel},
             {f.FilesLabel, f.FileList}, {f.FileList, f.ClearButton}, {f.FileList, f.cbOutputdir},
             {f.FileList, f.TranscodeButton},
             {f.cbOutputdir, f.OutputFolderEdit}, {f.InfoLabel, f.InfoPanel}, {f.InfoPanel, f.TranscodeButton},
             {f.TranscodeButton, f.CancelButton},
             {f.ClearButton, f.AddFilesButton}, {f.DeleteButton, f.AddFolderButton}, {f.cbShutdown, f.OutputNamesButton},
             {f.cbShutdown, f.ComboExisting}, {f.ComboExisting, f.FilesLabel}, {f.OutputNamesButton, f.FilesLabel},
             {f.AddFilesButton, f.StatusArea1},
             {f.OutputFolderEdit, f.StatusArea1}, {f.CancelButton, f.JobsLabel}, {f.CancelButton, f.JobsSpin},
             {f.DecoderOptionsEdit, f.FormatLabel}, {f.FormatLabel, f.ComboFormat}, {f.ComboFormat, f.cbShutdown}})
        above(a, b);
    for (auto [a, b] : std::vector<std::pair<QWidget *, QWidget *>>{
             {f.cbApetag, f.ComboID3}, {f.ClearButton, f.DeleteButton}, {f.DecoderOptionsEdit, f.InfoPanel}, {f.FileList, f.InfoPanel},
             {f.OutputFolderEdit, f.TranscodeButton}, {f.AddFilesButton, f.AddFolderButton}, {f.ExistingLabel, f.ComboExisting},
             {f.JobsLabel, f.JobsSpin}, {f.EncoderLabel, f.FormatLabel}, {f.EncoderOptionsEdit, f.ComboFormat},
             {f.ComboFormat, f.InfoPanel}})
        leftOf(a, b);
    // On a screen too narrow for them these two rows stack.
    if (f.cbShutdown->y() == f.cbID3v1->y()) {
        leftOf(f.cbID3v1, f.cbShutdown);
    } else {
        above(f.cbApetag, f.cbShutdown);
        above(f.cbShutdown, f.FilesLabel);
    }
    if (f.cbOutputdir->y() == f.DeleteButton->y()) {
        leftOf(f.DeleteButton, f.cbOutputdir);
    } else {
        above(f.DeleteButton, f.cbOutputdir);
    }
    EXPECT_EQ(f.DecoderLabel->y(), f.InfoLabel->y());
    EXPECT_EQ(f.FileList->geometry().bottom(), f.InfoPanel->geometry().bottom());
    EXPECT_EQ(f.ClearButton->y(), f.TranscodeButton->y());
}

}  // namespace tmtest
