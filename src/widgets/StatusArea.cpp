#include "widgets/StatusArea.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace trackmill {

namespace {

constexpr int kCountIntervalMs = 100;

QString Number(int n)
{
    return QLocale::system().toString(n);
}

QString Files(int n)
{
    return n == 1 ? QStringLiteral("1 file") : Number(n) + QStringLiteral(" files");
}

}  // namespace

TStatusArea::TStatusArea(QWidget *parent)
    : QWidget(parent), bar_(new QProgressBar(this)), text_(new QLabel(this)),
      showLog_(new QPushButton(QStringLiteral("Show log"), this)), stop_(new QPushButton(QStringLiteral("Stop"), this))
{
    setObjectName(QStringLiteral("StatusArea1"));
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);  // "0%" says nothing before the first job
    text_->setObjectName(QStringLiteral("StatusText"));
    text_->setTextFormat(Qt::PlainText);
    // A long line wraps rather than widening the window beyond the screen.
    text_->setWordWrap(true);
    text_->installEventFilter(this);
    showLog_->setObjectName(QStringLiteral("ShowLogButton"));
    showLog_->setToolTip(QStringLiteral("What the programs printed for each file of the last job"));
    showLog_->setAutoDefault(true);
    showLog_->setEnabled(false);
    stop_->setObjectName(QStringLiteral("StopButton"));
    stop_->setToolTip(QStringLiteral("Stop adding files (Esc)"));
    stop_->setAutoDefault(true);
    stop_->hide();

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(bar_, 2);
    row->addWidget(text_, 3);
    row->addWidget(stop_);
    row->addWidget(showLog_);
    connect(showLog_, &QPushButton::clicked, this, &TStatusArea::ShowLogClicked);
    connect(stop_, &QPushButton::clicked, this, &TStatusArea::StopClicked);
}

void TStatusArea::SetText(const QString &text)
{
    text_->setText(text);
    text_->setToolTip(text);
    FitTextHeight();
}

void TStatusArea::FitTextHeight()
{
    // The layouts size a wrapping label for one line; it says how many it needs only
    // once it knows its width.
    const int height = text_->heightForWidth(text_->width());
    if (height > 0 && height != text_->minimumHeight()) text_->setMinimumHeight(height);
}

bool TStatusArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == text_ && event->type() == QEvent::Resize) FitTextHeight();
    return QWidget::eventFilter(watched, event);
}

void TStatusArea::ShowCollecting(int examined, int added)
{
    if (lastCount_.isValid() && lastCount_.elapsed() < kCountIntervalMs && stop_->isVisible()) return;
    lastCount_.start();
    // Stop takes the place of Show log, so the line keeps its width.
    showLog_->hide();
    stop_->show();
    SetText(QStringLiteral("Collecting: %1 examined, %2 added").arg(Number(examined), Number(added)));
}

void TStatusArea::ShowCollected(int added, int rejected, bool stopped)
{
    stop_->hide();
    showLog_->show();
    lastCount_.invalidate();
    QString text;
    if (stopped)
        text = QStringLiteral("Stopped: %1 added").arg(Files(added));
    else if (added == 0 && rejected == 0)
        text = QStringLiteral("No Musepack files found");
    else
        text = QStringLiteral("%1 added").arg(Files(added));
    if (rejected > 0) text += QStringLiteral(", %1 not accepted").arg(Number(rejected));
    SetText(text);
}

void TStatusArea::BeginJob(int total)
{
    bar_->setValue(0);
    bar_->setTextVisible(true);
    SetText(total > 0 ? QStringLiteral("File 1 of %1").arg(Number(total)) : QString());
}

void TStatusArea::ShowFile(int number, int total)
{
    SetText(QStringLiteral("File %1 of %2").arg(Number(number), Number(total)));
}

void TStatusArea::SetProgress(int percent)
{
    bar_->setValue(std::clamp(percent, 0, 100));
}

void TStatusArea::ShowStopping()
{
    SetText(QString::fromLatin1(kStoppingText));
}

void TStatusArea::ShowSummary(int converted, int skipped, int failed, int notConverted)
{
    QString text = QStringLiteral("%1 converted, %2 skipped, %3 failed")
                       .arg(Number(converted), Number(skipped), Number(failed));
    if (notConverted > 0) text += QStringLiteral(", %1 not converted").arg(Number(notConverted));
    SetText(text);
}

void TStatusArea::ShowMessage(const QString &text)
{
    SetText(text);
}

void TStatusArea::SetLogAvailable(bool available)
{
    showLog_->setEnabled(available);
}

QString TStatusArea::Text() const
{
    return text_->text();
}

int TStatusArea::Progress() const
{
    return bar_->value();
}

}  // namespace trackmill
