#include "widgets/StatusArea.h"

#include "widgets/PlainText.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace trackmill {


TStatusArea::TStatusArea(QWidget *parent)
    : QWidget(parent), bar_(new QProgressBar(this)), text_(new QLabel(this)),
      details_(new QPushButton(tr("Deta&ils"), this)),
      openFolder_(new QPushButton(tr("&Open output folder"), this)),
      showLog_(new QPushButton(tr("Show &log"), this)), stop_(new QPushButton(tr("&Stop"), this))
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
    showLog_->setToolTip(tr("What the programs printed for each file of the last job"));
    showLog_->setAutoDefault(true);
    showLog_->setEnabled(false);
    stop_->setObjectName(QStringLiteral("StopButton"));
    stop_->setToolTip(tr("Stop adding files (Esc)"));
    stop_->setAutoDefault(true);
    stop_->hide();
    details_->setObjectName(QStringLiteral("DetailsButton"));
    details_->setToolTip(tr("Which files were not accepted, and why"));
    details_->setAutoDefault(true);
    details_->hide();
    openFolder_->setObjectName(QStringLiteral("OpenFolderButton"));
    openFolder_->setAutoDefault(true);
    openFolder_->hide();

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(bar_, 2);
    row->addWidget(text_, 3);
    row->addWidget(details_);
    row->addWidget(openFolder_);
    row->addWidget(stop_);
    row->addWidget(showLog_);
    connect(showLog_, &QPushButton::clicked, this, &TStatusArea::ShowLogClicked);
    connect(stop_, &QPushButton::clicked, this, &TStatusArea::StopClicked);
    connect(details_, &QPushButton::clicked, this, &TStatusArea::DetailsClicked);
    connect(openFolder_, &QPushButton::clicked, this, &TStatusArea::OpenFolderClicked);
    FixLeastWidths();
}

void TStatusArea::FixLeastWidths()
{
    // The bar's own least width is the style's choice (the Windows style asks for a third of
    // the window) and the text's its widest word: both are bounded here by the face, so that
    // neither a style nor the text can widen the window.
    const QFontMetrics fm(font());
    bar_->setMinimumWidth(0);
    bar_->setMinimumWidth(std::min(bar_->minimumSizeHint().width(), 4 * fm.horizontalAdvance(QStringLiteral("100%"))));
    text_->setMinimumWidth(8 * fm.averageCharWidth());
}

void TStatusArea::SetRoomForButtons(bool reserved)
{
    if (reserved == roomForButtons_) return;
    roomForButtons_ = reserved;
    updateGeometry();
}

QSize TStatusArea::minimumSizeHint() const
{
    const QSize least = QWidget::minimumSizeHint();
    if (!roomForButtons_) return least;
    // Room for every button the line can show at once, shown or not: a window whose least
    // size grew when one appeared would widen by itself after a job and never shrink back.
    const auto *row = static_cast<QBoxLayout *>(layout());
    const int spacing = std::max(0, row->spacing());
    int width = bar_->minimumWidth() + spacing + text_->minimumWidth();
    for (const QPushButton *button : {details_, openFolder_})
        width += spacing + button->sizeHint().width();
    width += spacing + std::max(showLog_->sizeHint().width(), stop_->sizeHint().width());
    const QMargins margins = row->contentsMargins();
    return QSize(std::max(least.width(), width + margins.left() + margins.right()), least.height());
}

void TStatusArea::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FixLeastWidths();
    QWidget::changeEvent(event);
}

void TStatusArea::SetText(const QString &text)
{
    text_->setText(text);
    text_->setToolTip(PlainTip(text));
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

void TStatusArea::ShowCollecting(bool collecting)
{
    // The line keeps its width.
    showLog_->setVisible(!collecting);
    stop_->setVisible(collecting);
}

void TStatusArea::SetProgress(int percent)
{
    bar_->setTextVisible(true);
    bar_->setValue(std::clamp(percent, 0, 100));
}

void TStatusArea::ShowMessage(const QString &text)
{
    SetText(text);
}

void TStatusArea::SetLogAvailable(bool available)
{
    showLog_->setEnabled(available);
}

void TStatusArea::SetDetailsAvailable(bool available)
{
    details_->setVisible(available);
}

void TStatusArea::SetOutputFolder(const QString &folder)
{
    openFolder_->setToolTip(PlainTip(folder));
    openFolder_->setVisible(!folder.isEmpty());
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
