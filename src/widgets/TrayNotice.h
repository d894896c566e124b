// The end-of-job notice where the desktop has no notification service for a program
// without a tray icon (Windows): a tray icon's message. The icon is there only while its
// notice is news: it goes when the person comes back to the window, clicks the message or
// the icon, or a newer notice replaces it. A program that sits in the tray for good is
// one a Windows user expects to run in the background, which Trackmill does not.
#pragma once

#include <QObject>
#include <QString>

class QSystemTrayIcon;
class QWidget;

namespace trackmill {

class TTrayNotice : public QObject {
    Q_OBJECT

public:
    // The notice of `window`, which it brings to the front when clicked.
    explicit TTrayNotice(QWidget *window);

    // Shows the icon with the message; false where the desktop has no tray.
    bool Send(const QString &summary, const QString &body);
    // Whether the icon is in the tray.
    bool Shown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Withdraw();
    void Raise();

    QWidget *window_;
    QSystemTrayIcon *icon_ = nullptr;  // made with the first notice
};

}  // namespace trackmill
