#include "collect/TranscodeList.h"

#include <QFile>

#include <algorithm>

#include <sys/stat.h>

namespace trackmill {

namespace {

// A directory, or a name whose type can't be read: both are handed to the scanner
// (which finds nothing in the latter).
bool ScanAsFolder(const QString &name)
{
    struct stat st {};
    if (::stat(QFile::encodeName(name).constData(), &st) != 0) return true;
    return S_ISDIR(st.st_mode);
}

// Only regular files go to the header test: opening a pipe or a device could block.
bool IsRegularFile(const QString &name)
{
    struct stat st {};
    return ::stat(QFile::encodeName(name).constData(), &st) == 0 && S_ISREG(st.st_mode);
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

TTranscodeList::TTranscodeList(HeaderTest headerTest) : headerTest_(std::move(headerTest))
{
    scanner_.SetFileMask(QString::fromLatin1(kTranscodeFileMask));
    scanner_.SetOnFileFound([this](TTreeScanner &s) { foundFiles_.append(s.FileFound()); });
}

TTranscodeList::~TTranscodeList() = default;

void TTranscodeList::SetProcessMessages(std::function<void()> hook)
{
    processMessages_ = hook;
    scanner_.SetProcessMessages(std::move(hook));
}

bool TTranscodeList::Contains(const QString &name) const
{
    return keys_.contains(Key(name));
}

void TTranscodeList::Delete(int index)
{
    if (index < 0 || index >= items_.size()) return;
    keys_.remove(Key(items_.at(index)));
    items_.removeAt(index);
    if (onItemRemoved_) onItemRemoved_(index);
}

void TTranscodeList::HandleDrop(const QStringList &names)
{
    // The events processed during a drop can deliver another one; it must not disturb
    // the names or the found files of the running one, so it waits its turn.
    if (dropping_) {
        pendingDrops_.append(names);
        return;
    }
    dropping_ = true;
    Finally done{[this] {
        dropping_ = false;
        pendingDrops_.clear();
    }};
    HandleOneDrop(names);
    while (!pendingDrops_.isEmpty()) HandleOneDrop(pendingDrops_.takeFirst());
}

// By value: the caller's list (the drop target's Files) may change under a later drop.
void TTranscodeList::HandleOneDrop(QStringList names)
{
    if (onWaitCursor_) onWaitCursor_(true);
    Finally restore{[this] {
        foundFiles_.clear();
        if (onWaitCursor_) onWaitCursor_(false);
    }};

    for (const QString &name : names) {
        if (!ScanAsFolder(name)) continue;
        scanner_.SetInitialDirectory(name);
        scanner_.Execute();
    }
    AddFiles(names);
    if (!foundFiles_.isEmpty()) AddFiles(foundFiles_);
}

int TTranscodeList::AddFiles(const QStringList &namesIn)
{
    const QStringList names = namesIn;  // a hook may change the caller's list meanwhile
    int added = 0;
    for (const QString &name : names) {
        if (!HasMusepackExtension(name)) continue;
        QString key = Key(name);
        if (keys_.contains(key)) continue;

        bool valid = false;
        try {
            valid = IsRegularFile(name) && headerTest_ && headerTest_(name);
        } catch (...) {
            if (processMessages_) processMessages_();
            throw;
        }
        if (valid) {
            items_.append(name);
            keys_.insert(std::move(key));
            ++added;
            if (onItemAdded_) onItemAdded_(int(items_.size()) - 1, name);
        }
        if (processMessages_) processMessages_();
    }
    return added;
}

void TTranscodeList::ClearAll()
{
    items_.clear();
    keys_.clear();
    if (onCleared_) onCleared_();
    if (onClearInfo_) onClearInfo_();
}

int TTranscodeList::DeleteItems(const QList<int> &selectedRows)
{
    QList<int> rows;
    rows.reserve(selectedRows.size());
    for (int row : selectedRows)
        if (row >= 0 && row < items_.size()) rows.append(row);
    if (rows.isEmpty()) return 0;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) Delete(row);
    if (items_.isEmpty() && onClearInfo_) onClearInfo_();
    return int(rows.size());
}

}  // namespace trackmill
