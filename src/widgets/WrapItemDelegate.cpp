#include "widgets/WrapItemDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QStyle>

#include <algorithm>
#include <climits>

namespace trackmill {

TWrapItemDelegate::TWrapItemDelegate(QAbstractItemView *view) : QStyledItemDelegate(view), view_(view) {}

int TWrapItemDelegate::TextWidth() const
{
    const QStyle *style = view_->style() ? view_->style() : QApplication::style();
    // As the style lays out an entry's text: a margin on either side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1;
    return std::max(1, view_->viewport()->width() - 2 * margin);
}

QSize TWrapItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    const int width = TextWidth();
    const QRect wrapped = option.fontMetrics.boundingRect(QRect(0, 0, width, INT_MAX / 2), Qt::TextWordWrap, text);
    size.setHeight(std::max(size.height(), wrapped.height()));
    // Never wider than the list: a wider entry would scroll sideways instead of wrapping.
    size.setWidth(std::min(size.width(), view_->viewport()->width()));
    return size;
}

}  // namespace trackmill
