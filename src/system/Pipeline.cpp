#include "system/Pipeline.h"

#include <thread>

namespace trackmill::platform {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// A descendant that keeps the pipe open and writes on must not delay the end for ever.
constexpr std::size_t kFinalReadLimit = 16 * 1024 * 1024;

}  // namespace

TPipeline::Progress TPipeline::Collect()
{
    Progress progress;
    if (ended_) return progress;
    ReadAvailable(kReadChunk);
    if (PollEnd(progress.exitStatus)) {
        ended_ = progress.ended = true;
        // Output written just before the end; only what is there now.
        ReadAvailable(kFinalReadLimit);
        CloseOutput();
        progress.output.swap(pending_);
        return progress;
    }
    const std::size_t whole = pending_.size() - IncompleteUtf8Tail(pending_);
    progress.output = pending_.substr(0, whole);
    pending_.erase(0, whole);
    return progress;
}

TStoppedGroups::~TStoppedGroups() { Kill(true); }

void TStoppedGroups::Stop(GroupId group)
{
    AskGroupToEnd(group);
    stopped_.push_back({group, std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopGraceMs)});
}

void TStoppedGroups::KillOverdue() { Kill(false); }

void TStoppedGroups::Kill(bool waitOutGrace)
{
    std::vector<Stopped> left;
    for (const Stopped &s : stopped_) {
        if (std::chrono::steady_clock::now() < s.deadline) {
            if (!waitOutGrace) {
                left.push_back(s);
                continue;
            }
            // Nothing left of the group: nothing to wait for.
            while (GroupExists(s.group) && std::chrono::steady_clock::now() < s.deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        KillGroup(s.group);
    }
    stopped_ = std::move(left);
}

std::size_t IncompleteUtf8Tail(const std::string &text)
{
    const std::size_t n = text.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(text[n - back]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte: look further back
        std::size_t need = 0;
        if ((c & 0xE0) == 0xC0)
            need = 2;
        else if ((c & 0xF0) == 0xE0)
            need = 3;
        else if ((c & 0xF8) == 0xF0)
            need = 4;
        return need > back ? back : 0;
    }
    return 0;
}

}  // namespace trackmill::platform
