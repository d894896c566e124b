#include "main/ListPresenter.h"

#include "collect/TranscodeList.h"
#include "widgets/StateItemDelegate.h"

#include <QListWidget>

namespace trackmill {

struct TListPresenter::Guard {
    explicit Guard(bool &flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Guard() { flag_ = was_; }
    bool &flag_;
    bool was_;
};

QString StateText(const TWorkItem &item, bool jobRunning)
{
    switch (item.state) {
    case TItemState::Waiting: return jobRunning ? QStringLiteral("waiting") : QString();
    case TItemState::Running: return QStringLiteral("converting %1 %").arg(item.percent);
    case TItemState::Failed: return QStringLiteral("failed");
    default: return QString();
    }
}

TListPresenter::TListPresenter(QListWidget &list, TTranscodeList &source) : list_(list), source_(source)
{
    list_.setItemDelegate(new TStateItemDelegate(&list_));
    // The state stays at the right edge; a long path is shortened in its middle instead.
    list_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    source_.SetOnItemAdded([this](int, const QString &path) {
        Guard guard(updating_);
        list_.addItem(path);
    });
    source_.SetOnItemRemoved([this](int index) {
        Guard guard(updating_);
        delete list_.takeItem(index);
    });
    source_.SetOnCleared([this] {
        Guard guard(updating_);
        list_.clear();
    });
    source_.SetOnItemChanged([this](int index, const TWorkItem &item) { Mark(index, item); });
}

void TListPresenter::Mark(int row, const TWorkItem &item)
{
    QListWidgetItem *entry = list_.item(row);
    if (!entry) return;
    Guard guard(updating_);
    const QString state = StateText(item, jobRunning_);
    if (entry->data(kStateTextRole).toString() != state) entry->setData(kStateTextRole, state);
    const TStateTone tone = item.state == TItemState::Failed    ? TStateTone::Failed
                            : item.state == TItemState::Running ? TStateTone::Active
                                                                : TStateTone::Plain;
    if (entry->data(kStateToneRole).toInt() != int(tone)) entry->setData(kStateToneRole, int(tone));
    const QString tip = item.state == TItemState::Failed ? QString::fromStdString(item.reason) : QString();
    if (entry->toolTip() != tip) entry->setToolTip(tip);
}

void TListPresenter::SetJobRunning(bool running)
{
    if (running == jobRunning_) return;
    jobRunning_ = running;
    const TWorkQueue &queue = source_.Queue();
    for (int row = 0; row < queue.Count(); ++row) Mark(row, queue.At(row));
}

void TListPresenter::FocusRow(int row)
{
    if (row < 0 || row >= list_.count()) return;
    Guard guard(updating_);
    if (list_.currentRow() != row) list_.setCurrentRow(row, QItemSelectionModel::NoUpdate);
    list_.scrollToItem(list_.item(row));
}

}  // namespace trackmill
