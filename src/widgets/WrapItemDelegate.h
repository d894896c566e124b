// Entries of a list that wrap between words at the list's width, each as tall as its
// wrapped text: a list view sizes wrapped entries for a width of its own and cuts them.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace trackmill {

class TWrapItemDelegate : public QStyledItemDelegate {
public:
    explicit TWrapItemDelegate(QAbstractItemView *view);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The width an entry's text wraps at: the list's less the style's text margins.
    int TextWidth() const;

private:
    QAbstractItemView *view_;
};

}  // namespace trackmill
