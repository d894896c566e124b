// Draws a list entry with its state at the right edge ("waiting", "converting 42 %",
// "failed"), the entry's own text shortened in the middle where both do not fit, so the
// state is always in view without scrolling sideways.
#pragma once

#include <QStyledItemDelegate>

namespace trackmill {

// The state's text, and how it is drawn.
inline constexpr int kStateTextRole = Qt::UserRole + 1;
inline constexpr int kStateToneRole = Qt::UserRole + 2;
enum class TStateTone { Plain, Active, Failed };

class TStateItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // An entry's tooltip (why it failed, naming paths) is shown as it stands, never as markup.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};

}  // namespace trackmill
