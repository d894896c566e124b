#include "widgets/ShutdownNotice.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace trackmill {

TShutdownNotice::TShutdownNotice(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), text_(new QLabel(this)),
      cancel_(new QPushButton(tr("Cancel shutdown"), this))
{
    setObjectName(QStringLiteral("ShutdownNotice"));
    setWindowTitle(QStringLiteral("Trackmill"));
    text_->setObjectName(QStringLiteral("ShutdownText"));
    cancel_->setObjectName(QStringLiteral("CancelShutdownButton"));
    cancel_->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    tick_.setInterval(1000);
    connect(&tick_, &QTimer::timeout, this, &TShutdownNotice::UpdateText);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        tick_.stop();
        hide();
        emit Expired();
    });
    connect(cancel_, &QPushButton::clicked, this, &TShutdownNotice::Cancel);
}

void TShutdownNotice::Start(int delayMs)
{
    end_ = QDeadlineTimer(std::max(0, delayMs));
    deadline_.start(std::max(0, delayMs));
    tick_.start();
    UpdateText();
    show();
    raise();
    activateWindow();
    cancel_->setFocus();
}

void TShutdownNotice::Cancel()
{
    if (!deadline_.isActive()) return;
    deadline_.stop();
    tick_.stop();
    hide();
    emit Cancelled();
}

QString TShutdownNotice::Text() const
{
    return text_->text();
}

void TShutdownNotice::UpdateText()
{
    const qint64 seconds = (end_.remainingTime() + 999) / 1000;
    text_->setText(tr("Transcoding has finished. The computer shuts down in %1 s.").arg(seconds));
}

void TShutdownNotice::closeEvent(QCloseEvent *event)
{
    Cancel();
    QWidget::closeEvent(event);
}

void TShutdownNotice::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace trackmill
