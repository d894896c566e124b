// The window's list as an item model: one row a file of the queue, its path and its state.
// The presenter fills it; the window's list view only reads it, so a column or an order of
// its own later changes the model, not the window.
#pragma once

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace trackmill {

enum class TRowTone { Plain, Active, Failed };

// One entry of the list: the path, and its state at the right edge.
struct TListRow {
    QString text;
    QString state;  // "waiting", "converting 42 %", "failed"; empty for a file at rest
    TRowTone tone = TRowTone::Plain;
    QString tip;    // why it failed
    bool operator==(const TListRow &) const = default;
};

class TListModel : public QAbstractListModel {
    Q_OBJECT

public:
    // Besides the path (Qt::DisplayRole) and why the file failed (Qt::ToolTipRole, plain
    // text): the state's text, and its TRowTone as an int.
    enum Role { StateRole = Qt::UserRole + 1, ToneRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int Count() const { return int(rows_.size()); }
    const TListRow &Row(int row) const { return rows_.at(std::size_t(row)); }
    // True while rows come, change or go: a view's current row and selection that move
    // meanwhile are moved by the list, not by the user.
    bool Changing() const { return changing_; }

private:
    friend class TWindowPresenter;
    void Insert(int row, const TListRow &shown);
    void Update(int row, const TListRow &shown);
    void Remove(int row);
    void Clear();

    struct Change;
    std::vector<TListRow> rows_;
    bool changing_ = false;
};

}  // namespace trackmill
