#include "collect/TranscodeList.h"

#include "system/os/Files.h"

#include <QFile>

#include <algorithm>

namespace trackmill {

namespace {

os::TKind KindOf(const QString &name)
{
    return os::Stat(QFile::encodeName(name).toStdString()).kind;
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
    if (os::Stat(QFile::encodeName(name).toStdString(), os::TFollow::NotLinks).link)
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
    scanner_.SetFileMask(QString::fromLatin1(kTranscodeFileMask));
    scanner_.SetOnFileFound([this](TTreeScanner &s) {
        foundFiles_.append(s.FileFound());
        foundBases_.append(currentBase_);
        ++progress_.found;
    });
    TWorkQueue::Observer observer;
    observer.added = [this](int index, const TWorkItem &item) {
        if (onItemAdded_) onItemAdded_(index, QFile::decodeName(QByteArray::fromStdString(item.source)));
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

TTranscodeList::~TTranscodeList() = default;

void TTranscodeList::SetProcessMessages(std::function<void()> hook)
{
    processMessages_ = std::move(hook);
    scanner_.SetProcessMessages([this] { Pump(); });
}

void TTranscodeList::Pump()
{
    if (onProgress_ && dropping_) onProgress_(progress_);
    if (processMessages_) processMessages_();
}

void TTranscodeList::StopCollecting()
{
    if (!dropping_) return;
    stopRequested_ = true;
    pendingDrops_.clear();
    scanner_.Stop();
}

QStringList TTranscodeList::Items() const
{
    QStringList items;
    items.reserve(queue_.Count());
    for (const TWorkItem &item : queue_.Items()) items << QFile::decodeName(QByteArray::fromStdString(item.source));
    return items;
}

QString TTranscodeList::Item(int index) const
{
    return QFile::decodeName(QByteArray::fromStdString(queue_.At(index).source));
}

bool TTranscodeList::Contains(const QString &name) const
{
    return queue_.Contains(QFile::encodeName(name).toStdString());
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
    Finally done{[this] {
        dropping_ = false;
        pendingDrops_.clear();
    }};
    HandleOneDrop(names, result);
    while (!pendingDrops_.isEmpty() && !stopRequested_) HandleOneDrop(pendingDrops_.takeFirst(), result);
    result.stopped = stopRequested_;
    return result;
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
void TTranscodeList::HandleOneDrop(QStringList names, TAddResult &result)
{
    if (onWaitCursor_) onWaitCursor_(true);
    Finally restore{[this] {
        foundFiles_.clear();
        foundBases_.clear();
        if (onWaitCursor_) onWaitCursor_(false);
    }};

    for (const QString &name : names) {
        if (stopRequested_) return;
        if (!ScanAsFolder(name)) continue;
        currentBase_ = ParentOf(name);
        scanner_.SetInitialDirectory(name);
        scanner_.Execute();
        for (const QString &refused : scanner_.RefusedNames()) {
            ++result.rejected;
            Refuse(refused, QStringLiteral("the name is not valid UTF-8"));
        }
        // In a folder only Musepack names are told of, as for regular files.
        for (const QString &other : scanner_.OtherNames()) {
            if (!HasMusepackExtension(other)) continue;
            ++result.rejected;
            Refuse(other, NoFileReason(other, KindOf(other)));
        }
    }
    result.added += AddFiles(names, {}, result.rejected, true);
    if (!foundFiles_.isEmpty() && !stopRequested_) {
        // Copies: a hook may start another scan that refills the members.
        const QStringList found = foundFiles_, bases = foundBases_;
        result.added += AddFiles(found, bases, result.rejected, false);
    }
}

int TTranscodeList::AddFiles(const QStringList &names, const QString &base)
{
    if (!dropping_) stopRequested_ = false;
    int rejected = 0;
    QStringList bases;
    if (!base.isEmpty())
        for (qsizetype i = 0; i < names.size(); ++i) bases << base;
    return AddFiles(names, bases, rejected, false);
}

int TTranscodeList::AddFiles(const QStringList &namesIn, const QStringList &bases, int &rejected, bool named)
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
            ++rejected;
            Refuse(name, NoFileReason(name, kind));
            Pump();
            continue;
        }
        if (!musepack) {
            if (!isFile && !named) continue;
            ++rejected;
            // A file named one by one is told of whatever its name; in a folder only
            // Musepack names are.
            if (named) Ignore(name, QStringLiteral("not a Musepack file"));
            continue;
        }
        const std::string source = QFile::encodeName(name).toStdString();
        if (queue_.Contains(source)) continue;

        bool valid = false;
        try {
            valid = headerTest_ && headerTest_(name);
        } catch (...) {
            Pump();
            throw;
        }
        if (valid) {
            const QString base = i < bases.size() ? bases[i] : QString();
            queue_.Add(source, QFile::encodeName(base).toStdString());
            ++added;
            ++progress_.added;
        } else {
            ++rejected;
            // Named, for it looked like one of ours: a person should learn it was left out.
            Ignore(name, QStringLiteral("not a Musepack file (no valid stream header)"));
        }
        Pump();
    }
    return added;
}

void TTranscodeList::Refuse(const QString &name, const QString &reason)
{
    queue_.NoteRefused(QFile::encodeName(name).toStdString(), reason.toStdString());
    if (onRefused_) onRefused_(name, reason);
}

void TTranscodeList::Ignore(const QString &name, const QString &reason)
{
    queue_.NoteIgnored(QFile::encodeName(name).toStdString(), reason.toStdString());
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
