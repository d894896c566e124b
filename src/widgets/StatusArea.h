// The line below the window's buttons that tells what is going on: a progress bar, one
// line of text (the file being converted, the summary at the end, what a drop brought),
// "Show log" once there is a log, and "Stop" while files are being collected or a job planned.
#pragma once

#include <QString>
#include <QWidget>

#include <initializer_list>
#include <utility>

class QLabel;
class QProgressBar;
class QSpacerItem;
class QPushButton;

namespace trackmill {

class TStatusArea : public QWidget {
    Q_OBJECT

public:
    explicit TStatusArea(QWidget *parent = nullptr);

    // While files are being collected "Stop" takes the place of "Show log".
    void ShowCollecting(bool collecting);
    // The same while a job is being planned, for the plan.
    void ShowPlanning(bool planning);
    // Shows the bar with its percentage from the first job on.
    void SetProgress(int percent);
    void ShowMessage(const QString &text);
    void SetLogAvailable(bool available);
    // "Details" beside the text, for what a collection left out.
    void SetDetailsAvailable(bool available);
    // "Open output folder" beside the summary; an empty folder hides it.
    void SetOutputFolder(const QString &folder);

    QString Text() const;
    int Progress() const;
    QPushButton *ShowLogButton() const { return showLog_; }
    QPushButton *StopButton() const { return stop_; }
    QPushButton *DetailsButton() const { return details_; }
    QPushButton *OpenFolderButton() const { return openFolder_; }
    // The line's least width never follows the text. With room for the buttons (the
    // default) neither its width nor the bar's and the text's places change whichever
    // buttons are shown; without, it grows by those shown, for a screen too narrow to keep
    // room for all of them. Its height is always that of two lines of text.
    void SetRoomForButtons(bool reserved);

signals:
    void ShowLogClicked();
    void StopClicked();
    void DetailsClicked();
    void OpenFolderClicked();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetText(const QString &text);
    // The text as its two lines hold it.
    void FitText();
    void FixLeastWidths();
    void KeepRoomForButtons();
    void ShowButtons(std::initializer_list<std::pair<QPushButton *, bool>> buttons);

    QProgressBar *bar_;
    QLabel *text_;
    QPushButton *details_;
    QPushButton *openFolder_;
    QPushButton *showLog_;
    QPushButton *stop_;
    QSpacerItem *room_;  // what the buttons not shown leave of their room
    QString full_;   // the text as given
    bool roomForButtons_ = true;
};

}  // namespace trackmill
