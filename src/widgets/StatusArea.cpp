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
      showLog_(new QPushButton(tr("Show &log"), this)), stop_(new QPushButton(tr("&Stop"), this)),
      room_(new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum))
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
    // The buttons come and go in room kept for them all, so that the bar and the text keep
    // their places whichever are shown.
    row->addSpacerItem(room_);
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
    // Two lines of text, whatever the text: a line that wraps must not push the rows above.
    text_->setFixedHeight(fm.boundingRect(QRect(0, 0, 1000, 1000), Qt::TextWordWrap, QStringLiteral("X\nX")).height());
    KeepRoomForButtons();
    FitText();
}

void TStatusArea::KeepRoomForButtons()
{
    // Room for every button the line can show at once, shown or not: a window whose least
    // size grew when one appeared would widen by itself after a job and never shrink back.
    // Each button shown takes its width and the spacing before it out of that room.
    const int spacing = std::max(0, layout()->spacing());
    int all = 0, shown = 0;
    for (const QPushButton *button : {details_, openFolder_})
        all += spacing + button->sizeHint().width();
    all += spacing + std::max(showLog_->sizeHint().width(), stop_->sizeHint().width());
    for (const QPushButton *button : {details_, openFolder_, stop_, showLog_})
        if (!button->isHidden()) shown += spacing + button->sizeHint().width();
    const int room = roomForButtons_ ? std::max(0, all - shown) : 0;
    if (room_->sizeHint().width() == room) return;
    room_->changeSize(room, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    layout()->invalidate();
}

void TStatusArea::ShowButtons(std::initializer_list<std::pair<QPushButton *, bool>> buttons)
{
    // A button shown before its room is given back would widen the window for a moment,
    // and a window does not shrink back by itself.
    room_->changeSize(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    layout()->invalidate();
    for (const auto &[button, shown] : buttons) button->setVisible(shown);
    KeepRoomForButtons();
}

void TStatusArea::SetRoomForButtons(bool reserved)
{
    if (reserved == roomForButtons_) return;
    roomForButtons_ = reserved;
    KeepRoomForButtons();
    updateGeometry();
}

void TStatusArea::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FixLeastWidths();
    QWidget::changeEvent(event);
}

void TStatusArea::SetText(const QString &text)
{
    full_ = text;
    text_->setToolTip(PlainTip(text));
    FitText();
}

void TStatusArea::FitText()
{
    // What does not fit its two lines ends in "…"; the tooltip has it whole.
    const int width = text_->width();
    const int lines = text_->height();
    const QFontMetrics fm(text_->font());
    const auto fits = [&](const QString &shown) {
        return fm.boundingRect(QRect(0, 0, width, 100 * lines), Qt::TextWordWrap, shown).height() <= lines;
    };
    QString shown = full_;
    if (width > 0 && !fits(shown)) {
        qsizetype low = 0, high = full_.size();
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (fits(full_.left(mid).trimmed() + QChar(0x2026)))
                low = mid;
            else
                high = mid - 1;
        }
        shown = full_.left(low).trimmed() + QChar(0x2026);
    }
    if (text_->text() != shown) text_->setText(shown);
}

bool TStatusArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == text_ && event->type() == QEvent::Resize) FitText();
    return QWidget::eventFilter(watched, event);
}

void TStatusArea::ShowCollecting(bool collecting)
{
    stop_->setToolTip(tr("Stop adding files (Esc)"));
    // The line keeps its width.
    ShowButtons({{showLog_, !collecting}, {stop_, collecting}});
}

void TStatusArea::ShowPlanning(bool planning)
{
    stop_->setToolTip(tr("Stop planning; no file is started (Esc)"));
    ShowButtons({{showLog_, !planning}, {stop_, planning}});
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
    ShowButtons({{details_, available}});
}

void TStatusArea::SetOutputFolder(const QString &folder)
{
    openFolder_->setToolTip(PlainTip(folder));
    ShowButtons({{openFolder_, !folder.isEmpty()}});
}

QString TStatusArea::Text() const
{
    return full_;
}

int TStatusArea::Progress() const
{
    return bar_->value();
}

}  // namespace trackmill
