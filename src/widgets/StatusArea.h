// The line below the window's buttons that tells what is going on: a progress bar, one
// line of text (the file being converted, the summary at the end, what a drop brought),
// "Show log" once there is a log, and "Stop" while files are being collected.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace trackmill {

inline constexpr const char *kStoppingText = "Stopping after the current files...";
inline constexpr const char *kJobRefusedText = "Files cannot be added while transcoding";

class TStatusArea : public QWidget {
    Q_OBJECT

public:
    explicit TStatusArea(QWidget *parent = nullptr);

    // --- collecting files ---
    // Counts while a drop or a dialog's choice is examined; shown at most ten times a
    // second, so that a large drop is not slowed by its own counter.
    void ShowCollecting(int examined, int added);
    // The end of a collection: how many were added, how many offered files were not
    // accepted, whether Stop or Esc ended it early.
    void ShowCollected(int added, int rejected, bool stopped);

    // --- the job ---
    void BeginJob(int total);
    // "File 3 of 12"
    void ShowFile(int number, int total);
    void SetProgress(int percent);
    void ShowStopping();
    // "12 converted, 1 skipped, 2 failed", and how many were not converted after a Cancel.
    void ShowSummary(int converted, int skipped, int failed, int notConverted);

    void ShowMessage(const QString &text);
    void SetLogAvailable(bool available);

    QString Text() const;
    int Progress() const;
    QProgressBar *ProgressBar() const { return bar_; }
    QPushButton *ShowLogButton() const { return showLog_; }
    QPushButton *StopButton() const { return stop_; }

signals:
    void ShowLogClicked();
    void StopClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetText(const QString &text);
    void FitTextHeight();

    QProgressBar *bar_;
    QLabel *text_;
    QPushButton *showLog_;
    QPushButton *stop_;
    QElapsedTimer lastCount_;
};

}  // namespace trackmill
