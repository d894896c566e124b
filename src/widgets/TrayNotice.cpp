#include "widgets/TrayNotice.h"

#include <QEvent>
#include <QIcon>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

namespace trackmill {

namespace {
constexpr int kShownMs = 10000;
}  // namespace

TTrayNotice::TTrayNotice(QWidget *window) : QObject(window), window_(window)
{
    window_->installEventFilter(this);
}

bool TTrayNotice::Send(const QString &summary, const QString &body)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    if (!icon_) {
        icon_ = new QSystemTrayIcon(this);
        connect(icon_, &QSystemTrayIcon::messageClicked, this, &TTrayNotice::Raise);
        connect(icon_, &QSystemTrayIcon::activated, this, &TTrayNotice::Raise);
    }
    // Without an icon of its own (Windows has no icon theme) the tray would show nothing.
    QIcon icon = window_->windowIcon();
    if (icon.isNull()) icon = window_->style()->standardIcon(QStyle::SP_MessageBoxInformation);
    icon_->setIcon(icon);
    icon_->setToolTip(window_->windowTitle());
    icon_->show();
    icon_->showMessage(summary, body, QSystemTrayIcon::Information, kShownMs);
    return true;
}

bool TTrayNotice::Shown() const
{
    return icon_ && icon_->isVisible();
}

void TTrayNotice::Withdraw()
{
    if (icon_) icon_->hide();
}

void TTrayNotice::Raise()
{
    Withdraw();
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

bool TTrayNotice::eventFilter(QObject *watched, QEvent *event)
{
    // The person is back at the window, where the summary is.
    if (watched == window_ && event->type() == QEvent::WindowActivate) Withdraw();
    return QObject::eventFilter(watched, event);
}

}  // namespace trackmill
