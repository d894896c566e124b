// TLibraryDialog: where the MP3s go below the output folder and what happens to folder
// art; the window's "Output names..." button opens it.
#pragma once

#include "main/Form1.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace trackmill {

class TDirectoryEdit;

class TLibraryDialog : public QDialog {
    Q_OBJECT

public:
    explicit TLibraryDialog(QWidget *parent = nullptr);

    void SetChoices(const TForm1::TLibrarySettings &settings);
    TForm1::TLibrarySettings Choices() const;

    TDirectoryEdit *FolderEdit;      // "Library folder"; empty: none
    QRadioButton *rbSource;          // "Same folders as the sources"
    QRadioButton *rbTags;            // "From the tags"
    QLabel *LabelPattern;
    QLineEdit *EditPattern;          // enabled only for "From the tags"
    QRadioButton *rbFlat;            // "One folder"
    QCheckBox *cbCopyArt;            // "Copy folder art"
    QCheckBox *cbEmbedArt;           // "Embed folder art when a file has none"
    QDialogButtonBox *Buttons;

private:
    void LayoutChanged();

    // What SetChoices was given: a folder or pattern left as shown keeps its bytes, which
    // the text fields could not carry when they are not valid UTF-8.
    TForm1::TLibrarySettings shown_;
    QString shownFolder_, shownPattern_;
};

// The choices in one line, for the button's tooltip.
QString DescribeLibrary(const TForm1::TLibrarySettings &settings);

}  // namespace trackmill
