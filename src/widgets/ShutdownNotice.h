// The notice before the computer is shut down at the end of a job: counts down and can
// be cancelled, so that a switch left ticked never powers a machine off unannounced.
#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace trackmill {

inline constexpr int kShutdownNoticeMs = 30000;

class TShutdownNotice : public QWidget {
    Q_OBJECT

public:
    explicit TShutdownNotice(QWidget *parent = nullptr);

    // Shows the notice; Expired follows after the delay unless Cancel is pressed first.
    void Start(int delayMs = kShutdownNoticeMs);
    // Cancelled by the user (the button, Esc, closing the notice) or by the program.
    void Cancel();
    bool Running() const { return deadline_.isActive(); }
    QPushButton *CancelButton() const { return cancel_; }
    QString Text() const;

signals:
    void Expired();
    void Cancelled();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void UpdateText();

    QLabel *text_;
    QPushButton *cancel_;
    QTimer deadline_;
    QTimer tick_;
    QDeadlineTimer end_;  // for the seconds shown
};

}  // namespace trackmill
