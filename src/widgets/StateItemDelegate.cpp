#include "widgets/StateItemDelegate.h"

#include "widgets/PlainText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace trackmill {

namespace {

// The luminance contrast of two colours, from 1 to 21 (the web's accessibility measure).
double ContrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

void TStateItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString state = index.data(kStateTextRole).toString();
    const auto tone = static_cast<TStateTone>(index.data(kStateToneRole).toInt());

    // The entry may be wider than the view; the state goes at the view's right edge.
    QRect rect = opt.rect;
    if (const auto *view = qobject_cast<const QAbstractItemView *>(opt.widget))
        rect.setRight(std::min(rect.right(), view->viewport()->width() - 1));
    const QFontMetrics fm(opt.font);
    QFont stateFont = opt.font;
    stateFont.setBold(tone != TStateTone::Plain);
    const int gap = fm.horizontalAdvance(QLatin1Char(' ')) * 2;
    const int stateWidth = state.isEmpty() ? 0 : QFontMetrics(stateFont).horizontalAdvance(state) + gap;

    QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    if (tone == TStateTone::Failed && !(opt.state & QStyle::State_Selected))
        opt.palette.setColor(QPalette::Text, QColor(0xb0, 0x00, 0x20));
    const QString text = opt.text;
    opt.text.clear();
    opt.rect = rect;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    QRect pathRect = textRect.adjusted(0, 0, -stateWidth, 0);
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                            : QPalette::Inactive;
    QColor pen = opt.palette.color(group, QPalette::Text);
    if (opt.state & QStyle::State_Selected) {
        // A style may draw the selection from its theme rather than the palette: the
        // Windows styles draw it pale, grey while the window is inactive. The text takes
        // whichever text colour reads best on what was drawn.
        QImage drawn(1, 1, QImage::Format_RGB32);
        drawn.fill(opt.palette.color(group, QPalette::Base));
        {
            QPainter probe(&drawn);
            probe.translate(-rect.center());
            style->drawControl(QStyle::CE_ItemViewItem, &opt, &probe, opt.widget);
        }
        const QColor background = drawn.pixelColor(0, 0);
        const QColor highlighted = opt.palette.color(group, QPalette::HighlightedText);
        if (ContrastRatio(highlighted, background) >= ContrastRatio(pen, background)) pen = highlighted;
    }
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(pen);
    painter->drawText(pathRect, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(text, Qt::ElideMiddle, pathRect.width()));
    if (!state.isEmpty()) {
        painter->setFont(stateFont);
        const QRect stateRect(textRect.right() - stateWidth + 1, textRect.top(), stateWidth, textRect.height());
        painter->drawText(stateRect, Qt::AlignRight | Qt::AlignVCenter, state);
    }
    painter->restore();
}

bool TStateItemDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (!event || !view || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = PlainTip(index.data(Qt::ToolTipRole).toString());
    QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
    // Without a tip of its own the entry shows the list's.
    event->setAccepted(!tip.isEmpty());
    return event->isAccepted();
}

}  // namespace trackmill
