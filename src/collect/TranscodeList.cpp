#include "collect/TranscodeList.h"

#include "collect/FileNames.h"
#include "os/Files.h"
#include "os/Path.h"

#include <QDir>
#include <QElapsedTimer>
#include <QObject>

#include <algorithm>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

namespace trackmill {

namespace {

os::TKind KindOf(const QString &name)
{
    return os::Stat(BytesOfName(name)).kind;
}

// A directory, or a name whose type can't be read: both are handed to the scanner
// (which finds nothing in the latter).
bool ScanAsFolder(const QString &name)
{
    const os::TKind kind = KindOf(name);
    return kind == os::TKind::None || kind == os::TKind::Folder;
}

// Why a path that is neither a regular file nor a folder cannot be converted, from what
// it leads to (links followed).
QString NoFileReason(const QString &name, os::TKind kind)
{
    if (kind == os::TKind::Other) return QStringLiteral("not a regular file (a pipe, device or socket)");
    if (os::Stat(BytesOfName(name), os::TFollow::NotLinks).link)
        return QStringLiteral("a broken symbolic link");
    return QStringLiteral("no such file or folder");
}

template <typename F>
struct Finally {
    F f;
    ~Finally() { f(); }
};
template <typename F>
Finally(F) -> Finally<F>;

}  // namespace

// What a drop found, told as it goes.
class TTranscodeList::Sink {
public:
    virtual ~Sink() = default;
    virtual bool Known(const std::string &source) const = 0;
    virtual bool Add(const std::string &source, const std::string &base) = 0;
    virtual void Refuse(const QString &name, const QString &reason) = 0;
    virtual void Ignore(const QString &name, const QString &reason) = 0;
    virtual void Pump() = 0;
};

// On the calling thread: straight into the queue, the hooks told at once.
class TTranscodeList::DirectSink : public Sink {
public:
    explicit DirectSink(TTranscodeList &list) : list_(list) {}
    bool Known(const std::string &source) const override { return list_.queue_.Contains(source); }
    bool Add(const std::string &source, const std::string &base) override { return list_.queue_.Add(source, base); }
    void Refuse(const QString &name, const QString &reason) override { list_.Refuse(name, reason); }
    void Ignore(const QString &name, const QString &reason) override { list_.Ignore(name, reason); }
    void Pump() override
    {
        if (list_.onProgress_ && list_.dropping_) list_.onProgress_(list_.progress_);
        if (list_.processMessages_) list_.processMessages_();
    }

private:
    TTranscodeList &list_;
};

struct TTranscodeList::Batch {
    std::vector<std::pair<std::string, std::string>> files;  // source, base
    std::vector<std::pair<QString, QString>> refused, ignored;
    TCollectProgress progress;
};

// On the worker: batches handed to the calling thread a few times a second, so that its
// list grows and its counter moves without a call per file.
class TTranscodeList::BatchSink : public Sink {
public:
    BatchSink(TTranscodeList &list, std::unordered_set<std::string> known) : list_(list), known_(std::move(known))
    {
        sinceSent_.start();
    }
    bool Known(const std::string &source) const override { return known_.count(os::PathKey(source)) > 0; }
    bool Add(const std::string &source, const std::string &base) override
    {
        if (!known_.insert(os::PathKey(source)).second) return false;
        batch_.files.emplace_back(source, base);
        return true;
    }
    void Refuse(const QString &name, const QString &reason) override { batch_.refused.emplace_back(name, reason); }
    void Ignore(const QString &name, const QString &reason) override { batch_.ignored.emplace_back(name, reason); }
    void Pump() override
    {
        if (sinceSent_.elapsed() >= kBatchIntervalMs) Send();
    }
    void Send()
    {
        sinceSent_.start();
        batch_.progress = list_.progress_;
        auto batch = std::make_shared<Batch>(std::exchange(batch_, {}));
        TTranscodeList *list = &list_;
        QMetaObject::invokeMethod(list_.home_.get(), [list, batch] { list->Apply(*batch); }, Qt::QueuedConnection);
    }

private:
    static constexpr int kBatchIntervalMs = 50;
    TTranscodeList &list_;
    std::unordered_set<std::string> known_;  // listed before the drop, or found by it; by PathKey
    Batch batch_;
    QElapsedTimer sinceSent_;
};

bool HasMusepackExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || name.indexOf(QLatin1Char('/'), dot) >= 0) return false;
    const QString ext = name.mid(dot).toUpper();
    return ext == QLatin1String(".MPC") || ext == QLatin1String(".MPP") || ext == QLatin1String(".MP+");
}

TTranscodeList::TTranscodeList(HeaderTest headerTest)
    : ownQueue_(std::make_unique<TWorkQueue>()), queue_(*ownQueue_), headerTest_(std::move(headerTest))
{
    Wire();
}

TTranscodeList::TTranscodeList(TWorkQueue &queue, HeaderTest headerTest)
    : queue_(queue), headerTest_(std::move(headerTest))
{
    Wire();
}

void TTranscodeList::Wire()
{
    home_ = std::make_unique<QObject>();
    scanner_.SetFileMask(QString::fromLatin1(kTranscodeFileMask));
    scanner_.SetProcessMessages([this] { Pump(); });
    scanner_.SetOnFileFound([this](TTreeScanner &s) {
        foundFiles_.append(s.FileFound());
        foundBases_.append(currentBase_);
        ++progress_.found;
    });
    TWorkQueue::Observer observer;
    observer.added = [this](int index, const TWorkItem &item) {
        if (onItemAdded_) onItemAdded_(index, NameFromBytes(item.source));
    };
    observer.removed = [this](int index) {
        if (onItemRemoved_) onItemRemoved_(index);
    };
    observer.cleared = [this] {
        if (onCleared_) onCleared_();
    };
    observer.changed = [this](int index, const TWorkItem &item) {
        if (onItemChanged_) onItemChanged_(index, item);
    };
    queue_.SetObserver(std::move(observer));
}

TTranscodeList::~TTranscodeList()
{
    // The worker's batches are no longer wanted: it stops at its next file or folder.
    stopRequested_ = true;
    JoinWorker();
    if (!ownQueue_) queue_.SetObserver({});
}

void TTranscodeList::JoinWorker()
{
    if (worker_.joinable()) worker_.join();
}

void TTranscodeList::SetProcessMessages(std::function<void()> hook)
{
    processMessages_ = std::move(hook);
}

void TTranscodeList::Pump()
{
    if (stopRequested_) scanner_.Stop();
    if (sink_) sink_->Pump();
}

void TTranscodeList::StopCollecting()
{
    if (!dropping_) return;
    stopRequested_ = true;
    pendingDrops_.clear();
    // The worker's scanner stops itself at its next pump.
    if (!worker_.joinable()) scanner_.Stop();
}

QStringList TTranscodeList::Items() const
{
    QStringList items;
    items.reserve(queue_.Count());
    for (const TWorkItem &item : queue_.Items()) items << NameFromBytes(item.source);
    return items;
}

QString TTranscodeList::Item(int index) const
{
    return NameFromBytes(queue_.At(index).source);
}

bool TTranscodeList::Contains(const QString &name) const
{
    return queue_.Contains(BytesOfName(name));
}

void TTranscodeList::Delete(int index)
{
    queue_.Remove(index);
}

TTranscodeList::TAddResult TTranscodeList::HandleDrop(const QStringList &names)
{
    TAddResult result;
    // The events processed during a drop can deliver another one; it must not disturb
    // the names or the found files of the running one, so it waits its turn.
    if (dropping_) {
        pendingDrops_.append(names);
        return result;
    }
    dropping_ = true;
    stopRequested_ = false;
    progress_ = {};
    queue_.ForgetLeftOut();
    DirectSink sink(*this);
    sink_ = &sink;
    Finally done{[this] {
        dropping_ = false;
        sink_ = nullptr;
        pendingDrops_.clear();
    }};
    HandleOneDrop(names, result, true);
    while (!pendingDrops_.isEmpty() && !stopRequested_) HandleOneDrop(pendingDrops_.takeFirst(), result, true);
    result.stopped = stopRequested_;
    return result;
}

void TTranscodeList::BeginDrop(const QStringList &names, std::function<void(const TAddResult &)> done)
{
    if (dropping_) {
        pendingDrops_.append(names);
        return;
    }
    dropping_ = true;
    stopRequested_ = false;
    progress_ = {};
    background_ = {};
    done_ = std::move(done);
    queue_.ForgetLeftOut();
    if (onWaitCursor_) onWaitCursor_(true);
    StartWorker(names);
}

void TTranscodeList::StartWorker(QStringList names)
{
    JoinWorker();
    std::unordered_set<std::string> known;
    for (const TWorkItem &item : queue_.Items()) known.insert(os::PathKey(item.source));
    auto work = std::make_shared<std::function<void()>>([this, names = std::move(names), known = std::move(known)]() mutable {
        BatchSink sink(*this, std::move(known));
        sink_ = &sink;
        TAddResult result;
        try {
            HandleOneDrop(names, result, false);
        } catch (...) {
            // A header test that throws ends this drop; what was found so far stays.
        }
        sink.Send();
        sink_ = nullptr;
        QMetaObject::invokeMethod(home_.get(), [this, result] { WorkerDone(result); }, Qt::QueuedConnection);
    });
    try {
        worker_ = std::thread([work] { (*work)(); });
    } catch (const std::system_error &) {
        // No thread to spare: the drop is collected here, its batches still delivered later.
        (*work)();
    }
}

void TTranscodeList::Apply(Batch &batch)
{
    for (const auto &[source, base] : batch.files)
        if (queue_.Add(source, base)) ++background_.added;
    for (const auto &[name, reason] : batch.refused) Refuse(name, reason);
    for (const auto &[name, reason] : batch.ignored) Ignore(name, reason);
    if (onProgress_) onProgress_(batch.progress);
}

void TTranscodeList::WorkerDone(TAddResult partial)
{
    JoinWorker();
    background_.rejected += partial.rejected;
    background_.known += partial.known;
    if (!pendingDrops_.isEmpty() && !stopRequested_) {
        StartWorker(pendingDrops_.takeFirst());
        return;
    }
    background_.stopped = stopRequested_;
    dropping_ = false;
    pendingDrops_.clear();
    if (onWaitCursor_) onWaitCursor_(false);
    if (auto done = std::exchange(done_, {})) done(background_);
}

namespace {

// The folder whose structure an output keeps: the dropped folder's parent.
QString ParentOf(const QString &folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/'))) f.chop(1);
    const qsizetype slash = f.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    return slash == 0 ? QStringLiteral("/") : f.left(slash);
}

}  // namespace

// By value: the caller's list (the drop target's Files) may change under a later drop.
void TTranscodeList::HandleOneDrop(QStringList names, TAddResult &result, bool here)
{
    // On the worker the caller's cursor is left to BeginDrop.
    if (here && onWaitCursor_) onWaitCursor_(true);
    Finally restore{[this, here] {
        foundFiles_.clear();
        foundBases_.clear();
        if (here && onWaitCursor_) onWaitCursor_(false);
    }};

    // One spelling of every path, as Qt writes them: a Windows name typed with "\\" is
    // the same file as the one dropped (a no-op where "/" is the only separator).
    for (QString &name : names) name = QDir::fromNativeSeparators(name);
    for (const QString &name : names) {
        if (stopRequested_) return;
        if (!ScanAsFolder(name)) continue;
        currentBase_ = ParentOf(name);
        scanner_.SetInitialDirectory(name);
        scanner_.Execute();
        // In a folder only Musepack names are told of, as for regular files.
        for (const QString &other : scanner_.OtherNames()) {
            if (!HasMusepackExtension(other)) continue;
            ++result.rejected;
            sink_->Refuse(other, NoFileReason(other, KindOf(other)));
        }
    }
    result.added += AddFiles(names, {}, result, true);
    if (!foundFiles_.isEmpty() && !stopRequested_) {
        // Copies: a hook may start another scan that refills the members.
        const QStringList found = foundFiles_, bases = foundBases_;
        result.added += AddFiles(found, bases, result, false);
    }
}

int TTranscodeList::AddFiles(const QStringList &names, const QString &base)
{
    if (dropping_) return 0;  // the drop's own sink is elsewhere, perhaps on the worker
    stopRequested_ = false;
    TAddResult counts;
    QStringList bases;
    if (!base.isEmpty())
        for (qsizetype i = 0; i < names.size(); ++i) bases << base;
    DirectSink sink(*this);
    sink_ = &sink;
    Finally done{[this] { sink_ = nullptr; }};
    return AddFiles(names, bases, counts, false);
}

int TTranscodeList::AddFiles(const QStringList &namesIn, const QStringList &bases, TAddResult &counts, bool named)
{
    const QStringList names = namesIn;  // a hook may change the caller's list meanwhile
    int added = 0;
    for (qsizetype i = 0; i < names.size() && !stopRequested_; ++i) {
        const QString &name = names[i];
        ++progress_.examined;
        // Only regular files go to the header test: opening a pipe or a device could block.
        const os::TKind kind = KindOf(name);
        const bool isFile = kind == os::TKind::File;
        if (kind == os::TKind::Folder) continue;  // scanned
        const bool musepack = HasMusepackExtension(name);
        // Whatever was named and leads nowhere may have been meant as a folder of music.
        if (!isFile && (musepack || (named && kind == os::TKind::None))) {
            ++counts.rejected;
            sink_->Refuse(name, NoFileReason(name, kind));
            Pump();
            continue;
        }
        if (!musepack) {
            if (!isFile && !named) continue;
            ++counts.rejected;
            // A file named one by one is told of whatever its name; in a folder only
            // Musepack names are.
            if (named) sink_->Ignore(name, QStringLiteral("not a Musepack file"));
            continue;
        }
        const std::string source = BytesOfName(name);
        if (sink_->Known(source)) {
            ++counts.known;
            continue;
        }

        bool valid = false;
        try {
            valid = headerTest_ && headerTest_(name);
        } catch (...) {
            Pump();
            throw;
        }
        if (valid) {
            const QString base = i < bases.size() ? bases[i] : QString();
            if (sink_->Add(source, BytesOfName(base))) {
                ++added;
                ++progress_.added;
            }
        } else {
            ++counts.rejected;
            // Named, for it looked like one of ours: a person should learn it was left out.
            sink_->Ignore(name, QStringLiteral("not a Musepack file (no valid stream header)"));
        }
        Pump();
    }
    return added;
}

void TTranscodeList::Refuse(const QString &name, const QString &reason)
{
    queue_.NoteRefused(BytesOfName(name), reason.toStdString());
    if (onRefused_) onRefused_(name, reason);
}

void TTranscodeList::Ignore(const QString &name, const QString &reason)
{
    queue_.NoteIgnored(BytesOfName(name), reason.toStdString());
    if (onIgnored_) onIgnored_(name, reason);
}

void TTranscodeList::ClearAll()
{
    queue_.Clear();
    if (onClearInfo_) onClearInfo_();
}

int TTranscodeList::DeleteItems(const QList<int> &selectedRows)
{
    QList<int> rows;
    rows.reserve(selectedRows.size());
    for (int row : selectedRows)
        if (row >= 0 && row < queue_.Count()) rows.append(row);
    if (rows.isEmpty()) return 0;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) Delete(row);
    if (queue_.IsEmpty() && onClearInfo_) onClearInfo_();
    return int(rows.size());
}

}  // namespace trackmill
