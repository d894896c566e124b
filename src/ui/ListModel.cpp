#include "ui/ListModel.h"

namespace trackmill {

struct TListModel::Change {
    explicit Change(bool &flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Change() { flag_ = was_; }
    Change(const Change &) = delete;
    Change &operator=(const Change &) = delete;
    bool &flag_;
    bool was_;
};

int TListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.parent().isValid() || index.row() >= Count()) return {};
    const TListRow &row = Row(index.row());
    switch (role) {
    case Qt::DisplayRole: return row.text;
    // An entry without a reason shows the list's own hint.
    case Qt::ToolTipRole: return row.tip.isEmpty() ? QVariant() : QVariant(row.tip);
    case StateRole: return row.state;
    case ToneRole: return int(row.tone);
    default: return {};
    }
}

void TListModel::Insert(int row, const TListRow &shown)
{
    if (row < 0 || row > Count()) return;
    Change change(changing_);
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, shown);
    endInsertRows();
}

void TListModel::Update(int row, const TListRow &shown)
{
    if (row < 0 || row >= Count()) return;
    TListRow &old = rows_[std::size_t(row)];
    if (old == shown) return;
    QList<int> roles;
    if (old.text != shown.text) roles << Qt::DisplayRole;
    if (old.state != shown.state) roles << StateRole;
    if (old.tone != shown.tone) roles << ToneRole;
    if (old.tip != shown.tip) roles << Qt::ToolTipRole;
    Change change(changing_);
    old = shown;
    emit dataChanged(index(row), index(row), roles);
}

void TListModel::Remove(int row)
{
    if (row < 0 || row >= Count()) return;
    Change change(changing_);
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void TListModel::Clear()
{
    Change change(changing_);
    beginResetModel();
    rows_.clear();
    endResetModel();
}

}  // namespace trackmill
