// TDirectoryEdit: a one-line folder field with a browse button at its right end.
// With DirectInput off the text changes only through the button, Alt+Down, or code.
#pragma once

#include <QKeySequence>
#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

namespace trackmill {

class TDirectoryEdit : public QWidget {
    Q_OBJECT
    // Published so that settings code can reach it by name.
    Q_PROPERTY(QString Text READ Text WRITE SetText NOTIFY Change)

public:
    // Shows a folder picker starting at `start`; returns the chosen folder, or an empty
    // text when the user cancelled. Injectable so tests can answer without a dialog.
    using FolderDialog =
        std::function<QString(QWidget *parent, const QString &title, const QString &start)>;

    explicit TDirectoryEdit(QWidget *parent = nullptr);

    QString Text() const;
    void SetText(const QString &text);

    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool on);

    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString &dir) { initialDir_ = dir; }

    void SetDialogText(const QString &text) { dialogText_ = text; }

    // Raised after every change of Text, whoever made it.
    std::function<void(TDirectoryEdit *)> OnChange;

    void SetFolderDialog(FolderDialog dialog) { dialog_ = std::move(dialog); }
    static QString DefaultFolderDialog(QWidget *parent, const QString &title, const QString &start);

    // The folder the dialog opens at for the current text.
    QString StartFolder() const;

    QLineEdit *Edit() const { return edit_; }
    QToolButton *Button() const { return button_; }

public slots:
    // What the button and Alt+Down do.
    void DoClick();

signals:
    void Change(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *edit_;
    QToolButton *button_;
    bool directInput_ = true;
    QString initialDir_;
    QString dialogText_;
    QKeySequence clickKey_{Qt::ALT | Qt::Key_Down};
    FolderDialog dialog_;
};

// A chosen folder as the field shows it: no trailing separator, except the root "/".
QString StripTrailingSeparator(const QString &folder);

}  // namespace trackmill
