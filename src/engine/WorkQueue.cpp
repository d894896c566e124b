#include "engine/WorkQueue.h"

#include "os/Path.h"

namespace trackmill {

const char *ItemStateName(TItemState state)
{
    switch (state) {
    case TItemState::Waiting: return "waiting";
    case TItemState::Running: return "converting";
    case TItemState::Converted: return "converted";
    case TItemState::Skipped: return "skipped";
    case TItemState::Failed: return "failed";
    case TItemState::Cancelled: return "cancelled";
    case TItemState::TagsUpdated: return "updated";
    }
    return "";
}

int TWorkQueue::IndexOf(std::uint64_t id) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].id == id) return int(i);
    return -1;
}

bool TWorkQueue::Add(const std::string &source, const std::string &base)
{
    if (!sources_.insert(os::PathKey(source)).second) return false;
    TWorkItem item;
    item.id = nextId_++;
    item.source = source;
    item.base = base;
    items_.push_back(std::move(item));
    if (observer_.added) observer_.added(int(items_.size()) - 1, items_.back());
    return true;
}

bool TWorkQueue::Contains(const std::string &source) const
{
    return sources_.count(os::PathKey(source)) > 0;
}

void TWorkQueue::Remove(int index)
{
    if (index < 0 || index >= Count()) return;
    sources_.erase(os::PathKey(items_[static_cast<std::size_t>(index)].source));
    items_.erase(items_.begin() + index);
    if (observer_.removed) observer_.removed(index);
}

void TWorkQueue::Clear()
{
    items_.clear();
    sources_.clear();
    if (observer_.cleared) observer_.cleared();
}

void TWorkQueue::Update(int index, const std::function<void(TWorkItem &)> &change)
{
    if (index < 0 || index >= Count()) return;
    TWorkItem &item = items_[static_cast<std::size_t>(index)];
    change(item);
    if (observer_.changed) observer_.changed(index, item);
}

}  // namespace trackmill
