// How dropped or named files and folders get into the engine's queue of work items, and
// the list's two buttons. The window's presenter keeps its list model in step through the
// change hooks; trackmill-cli uses the same class without a window.
#pragma once

#include "collect/TreeScan.h"
#include "engine/WorkQueue.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QObject;

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

    // With a queue of its own, or filling the job's.
    explicit TTranscodeList(HeaderTest headerTest = {});
    TTranscodeList(TWorkQueue &queue, HeaderTest headerTest);
    ~TTranscodeList();
    TTranscodeList(const TTranscodeList &) = delete;
    TTranscodeList &operator=(const TTranscodeList &) = delete;

    // --- the list: the engine's queue ---
    TWorkQueue &Queue() { return queue_; }
    const TWorkQueue &Queue() const { return queue_; }
    QStringList Items() const;
    int Count() const { return queue_.Count(); }
    bool IsEmpty() const { return queue_.IsEmpty(); }
    QString Item(int index) const;
    // Whether an entry is this very path, byte for byte ("Song.mpc" and "song.mpc" are two
    // files on Linux).
    bool Contains(const QString &name) const;
    // Removes one entry. Out of range: no-op.
    void Delete(int index);

    // --- collection ---
    // Handles one drop: scans every dropped folder (or name whose type can't be read) into
    // FoundFiles, then adds the dropped names, then the found files; a found file keeps
    // its dropped folder's parent as its base, so its output can keep the structure below
    // it. A drop that arrives while one is being handled (through the processed events)
    // is queued and handled right after it. The wait cursor is switched off and
    // FoundFiles emptied also when a hook throws. Returns how many files were added, and
    // how many paths offered were not accepted (duplicates are not counted): every one
    // refused or ignored through the hooks, and the files of other names in the folders.
    struct TAddResult {
        int added = 0;
        int rejected = 0;
        int known = 0;  // listed already
        bool stopped = false;  // StopCollecting ended it early
    };
    TAddResult HandleDrop(const QStringList &names);
    // The same on a worker thread, so that the caller's events are served meanwhile without
    // being pumped from here: the files arrive in the queue in batches through the calling
    // thread's event loop, and `done` is called there once this drop and those that
    // arrived during it are handled. Needs a running event loop.
    void BeginDrop(const QStringList &names, std::function<void(const TAddResult &)> done);
    // Whether a drop is being handled (the events processed meanwhile may ask).
    bool Collecting() const { return dropping_; }
    // Ends the drop being handled, and the drops queued behind it: no further folder is
    // scanned and no further name examined; what was added stays.
    void StopCollecting();
    // How far the drop being handled has got: files the scanner found in the dropped
    // folders, names examined for the list, names added to it.
    struct TCollectProgress {
        int found = 0;
        int examined = 0;
        int added = 0;
    };
    // Appends the acceptable names in order: Musepack extension, not listed yet, header
    // test passed. Returns how many were added.
    int AddFiles(const QStringList &names, const QString &base = {});
    // Paths the scanner reported during the current drop, in report order; empty between drops.
    const QStringList &FoundFiles() const { return foundFiles_; }
    // The scanner of the dropped folders; not to be touched while a drop is handled.
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
    // On the calling thread only: pending events, once per examined file and once per
    // scanned folder (a worker's drop never calls it).
    void SetProcessMessages(std::function<void()> hook);
    // The progress of a drop: on the calling thread right before the events are processed,
    // from a worker with each batch.
    void SetOnProgress(std::function<void(const TCollectProgress &)> hook) { onProgress_ = std::move(hook); }
    // The information panel is to be emptied.
    void SetOnClearInfo(std::function<void()> hook) { onClearInfo_ = std::move(hook); }
    // Mirrors of the list: an entry appended at index, an entry removed at index,
    // everything removed, an entry's state or progress changed.
    void SetOnItemAdded(std::function<void(int index, const QString &path)> hook) { onItemAdded_ = std::move(hook); }
    void SetOnItemRemoved(std::function<void(int index)> hook) { onItemRemoved_ = std::move(hook); }
    void SetOnCleared(std::function<void()> hook) { onCleared_ = std::move(hook); }
    void SetOnItemChanged(std::function<void(int index, const TWorkItem &)> hook) { onItemChanged_ = std::move(hook); }
    // Both kinds are also noted in the queue, which keeps those of the last drop.
    // A path that could not be taken although it looked like music, with the reason: a
    // Musepack name that is a pipe, device, socket or broken link; a path named one by one
    // that leads nowhere (missing, or a broken link).
    void SetOnRefused(std::function<void(const QString &name, const QString &reason)> hook) { onRefused_ = std::move(hook); }
    // A file with a Musepack name that holds no Musepack stream, or a path named one by one
    // that is not a Musepack file nor a folder, with the reason.
    void SetOnIgnored(std::function<void(const QString &name, const QString &reason)> hook) { onIgnored_ = std::move(hook); }

private:
    class Sink;
    class DirectSink;
    class BatchSink;
    struct Batch;
    void Wire();
    void HandleOneDrop(QStringList names, TAddResult &result, bool here);
    void Refuse(const QString &name, const QString &reason);
    void Ignore(const QString &name, const QString &reason);
    void Pump();
    int AddFiles(const QStringList &names, const QStringList &bases, TAddResult &counts, bool named);
    void StartWorker(QStringList names);
    void Apply(Batch &batch);
    void WorkerDone(TAddResult partial);
    void JoinWorker();

    std::unique_ptr<TWorkQueue> ownQueue_;
    TWorkQueue &queue_;
    QStringList foundFiles_;
    QStringList foundBases_;
    QString currentBase_;  // of the folder being scanned
    TTreeScanner scanner_;
    QList<QStringList> pendingDrops_;
    bool dropping_ = false;
    std::atomic<bool> stopRequested_ = false;
    TCollectProgress progress_;
    // Where a drop's findings go: the queue at once, or batches for the calling thread.
    Sink *sink_ = nullptr;
    std::thread worker_;
    std::unique_ptr<QObject> home_;  // receives the worker's batches on the calling thread
    TAddResult background_;          // what the drops on the worker have come to so far
    std::function<void(const TAddResult &)> done_;

    HeaderTest headerTest_;
    std::function<void(bool)> onWaitCursor_;
    std::function<void()> processMessages_;
    std::function<void(const TCollectProgress &)> onProgress_;
    std::function<void()> onClearInfo_;
    std::function<void(int, const QString &)> onItemAdded_;
    std::function<void(int)> onItemRemoved_;
    std::function<void()> onCleared_;
    std::function<void(int, const TWorkItem &)> onItemChanged_;
    std::function<void(const QString &, const QString &)> onRefused_;
    std::function<void(const QString &, const QString &)> onIgnored_;
};

}  // namespace trackmill
