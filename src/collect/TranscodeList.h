// The list of Musepack source files a job transcodes, front first, and how dropped
// names get into it. The window mirrors the list into its list box through the change
// hooks; trackmill-cli uses the same class without a window.
#pragma once

#include "collect/TreeScan.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace trackmill {

// The mask the drop handling scans dropped folders with.
inline constexpr const char *kTranscodeFileMask = "*.mp*";

// True when the name's extension is ".mpc", ".mpp" or ".mp+" in any letter case; the
// extension starts at the last "." that no "/" follows.
bool HasMusepackExtension(const QString &name);

class TTranscodeList {
public:
    // Decides whether a candidate that passed the cheap tests holds a valid Musepack
    // stream header; it lives in the engine layer and is passed in. Unset, no name is
    // accepted.
    using HeaderTest = std::function<bool(const QString &path)>;

    explicit TTranscodeList(HeaderTest headerTest = {});
    ~TTranscodeList();
    TTranscodeList(const TTranscodeList &) = delete;
    TTranscodeList &operator=(const TTranscodeList &) = delete;

    // --- the list ---
    const QStringList &Items() const { return items_; }
    int Count() const { return int(items_.size()); }
    bool IsEmpty() const { return items_.isEmpty(); }
    const QString &Item(int index) const { return items_.at(index); }
    // Whether an entry equals the name ignoring letter case (whole text).
    bool Contains(const QString &name) const;
    // Removes one entry; the job removes entry 0 when its file is done. Out of range: no-op.
    void Delete(int index);

    // --- collection ---
    // Handles one drop: scans every dropped folder (or name whose type can't be read) into
    // FoundFiles, then adds the dropped names, then the found files. A drop that arrives
    // while one is being handled (through the processed events) is queued and handled
    // right after it. The wait cursor is switched off and FoundFiles emptied also when a
    // hook throws.
    void HandleDrop(const QStringList &names);
    // Appends the acceptable names in order: Musepack extension, not listed yet (ignoring
    // case), header test passed. Returns how many were added.
    int AddFiles(const QStringList &names);
    // Paths the scanner reported during the current drop, in report order; empty between drops.
    const QStringList &FoundFiles() const { return foundFiles_; }
    TTreeScanner &Scanner() { return scanner_; }

    // --- the two buttons ---
    // "Clear all": empties the list, then the information panel.
    void ClearAll();
    // "Delete items": deletes the selected rows (any order, duplicates and out-of-range
    // rows ignored), last first; clears the information panel when the list ends empty.
    // Nothing selected: nothing happens. Returns how many entries were deleted.
    int DeleteItems(const QList<int> &selectedRows);

    // --- hooks, all unset by default ---
    void SetHeaderTest(HeaderTest test) { headerTest_ = std::move(test); }
    // Wait cursor on (true) at the start of a drop, off (false) at its end.
    void SetOnWaitCursor(std::function<void(bool on)> hook) { onWaitCursor_ = std::move(hook); }
    // Pending window events: once per examined file and once per scanned folder.
    void SetProcessMessages(std::function<void()> hook);
    // The information panel is to be emptied.
    void SetOnClearInfo(std::function<void()> hook) { onClearInfo_ = std::move(hook); }
    // Mirrors of the list: an entry appended at index, an entry removed at index,
    // everything removed.
    void SetOnItemAdded(std::function<void(int index, const QString &path)> hook) { onItemAdded_ = std::move(hook); }
    void SetOnItemRemoved(std::function<void(int index)> hook) { onItemRemoved_ = std::move(hook); }
    void SetOnCleared(std::function<void()> hook) { onCleared_ = std::move(hook); }

private:
    void HandleOneDrop(QStringList names);
    static QString Key(const QString &name) { return name.toCaseFolded(); }

    QStringList items_;
    QSet<QString> keys_;  // case-folded entries, so the duplicate test is not a linear search
    QStringList foundFiles_;
    TTreeScanner scanner_;
    QList<QStringList> pendingDrops_;
    bool dropping_ = false;

    HeaderTest headerTest_;
    std::function<void(bool)> onWaitCursor_;
    std::function<void()> processMessages_;
    std::function<void()> onClearInfo_;
    std::function<void(int, const QString &)> onItemAdded_;
    std::function<void(int)> onItemRemoved_;
    std::function<void()> onCleared_;
};

}  // namespace trackmill
