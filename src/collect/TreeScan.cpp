#include "collect/TreeScan.h"

#include "collect/FileNames.h"
#include "os/Files.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

namespace trackmill {

namespace {

struct Entry {
    QString name;  // what is compared: the part of the full path after the folder
    QString path;
    qint64 size = 0;
    std::optional<QCollatorSortKey> key;  // unset in the C locale
};

// The names of one folder, read before any event is raised so no handle stays open
// while handlers run.
void ReadFolder(const QString &folder, const QString &mask, std::vector<Entry> &files,
                std::vector<Entry> &subfolders, std::vector<Entry> &others, const QCollator &collator,
                const std::function<void()> &pump, const bool &stop)
{
    os::TFolderReader dir(BytesOfName(folder));
    if (!dir.IsOpen()) return;
    // The C locale's collator ignores the case setting, so there case folding decides.
    const bool plain = collator.locale().language() == QLocale::C;
    auto keyOf = [&](const QString &name) { return plain ? std::optional<QCollatorSortKey>() : std::optional(collator.sortKey(name)); };
    unsigned count = 0;
    os::TFolderEntry ent;
    while (dir.Next(ent)) {
        // A folder of many thousand names takes a while: the window keeps being served.
        if (pump && ++count % 1024 == 0) pump();
        if (stop) break;
        const std::string &raw = ent.name;
        const QString name = NameFromBytes(raw);
        os::TKind kind = ent.kind;
        // Links are followed; devices, pipes, sockets and broken links are not files to
        // report (opening a pipe to read a header would block), only names to tell of.
        if (kind == os::TKind::None) kind = dir.Stat(raw).kind;
        if (kind == os::TKind::Folder) {
            if (name.startsWith(QLatin1Char('.'))) continue;
            // The full text of a subfolder ends in "/", and that takes part in the order:
            // "Disc 2/" sorts before "Disc/".
            const QString withSeparator = name + QLatin1Char('/');
            subfolders.push_back({withSeparator, folder + withSeparator, 0, keyOf(withSeparator)});
        } else if (MatchesMask(name, mask)) {
            os::TFileInfo info;
            info.kind = kind;
            if (kind == os::TKind::File) info = dir.Stat(raw);
            if (info.kind == os::TKind::File)
                files.push_back({name, folder + name, qint64(info.size), keyOf(name)});
            else if (info.kind != os::TKind::Folder)
                others.push_back({name, folder + name, 0, keyOf(name)});
        }
    }

    // All entries share the folder, so ordering what follows it orders the full paths. Names
    // the collator finds equal (a.mpc and A.mpc can both exist here) are all kept, in
    // byte order, rather than losing one of them.
    auto less = [plain](const Entry &a, const Entry &b) {
        const int c = plain ? a.name.compare(b.name, Qt::CaseInsensitive) : a.key->compare(*b.key);
        return c != 0 ? c < 0 : a.name < b.name;
    };
    std::sort(files.begin(), files.end(), less);
    std::sort(subfolders.begin(), subfolders.end(), less);
    std::sort(others.begin(), others.end(), less);
}

using FolderId = os::TFileId;

bool IdOf(const QString &folder, FolderId &id)
{
    return os::IdOf(BytesOfName(folder), id);
}

QCollator MakeCollator()
{
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

}  // namespace

struct TTreeScanner::Walk {
    QCollator collator = MakeCollator();
    std::unordered_set<FolderId, os::TFileIdHash> entered;  // every folder of this scan, so link loops end
};

TTreeScanner::TTreeScanner(QObject *owner) : QObject(owner) {}

TTreeScanner::~TTreeScanner() = default;

void TTreeScanner::Execute()
{
    if (searchInProgress_) return;
    searchInProgress_ = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{searchInProgress_};

    fileFound_.clear();
    fileSize_ = 0;
    otherNames_.clear();
    stopRequested_ = false;
    if (initialDirectory_.isEmpty()) initialDirectory_ = QDir::currentPath();
    if (!initialDirectory_.endsWith(QLatin1Char('/'))) initialDirectory_ += QLatin1Char('/');

    Walk walk;
    FolderId id{};
    if (IdOf(initialDirectory_, id)) walk.entered.insert(id);
    ScanFolder(walk, initialDirectory_);
}

void TTreeScanner::ScanFolder(Walk &walk, const QString &folder)
{
    if (processMessages_) processMessages_();
    if (stopRequested_) return;

    fileSize_ = 0;
    fileFound_ = folder;
    if (onDirectoryFound_) onDirectoryFound_(*this);

    std::vector<Entry> files;
    std::vector<Entry> subfolders;
    std::vector<Entry> others;
    ReadFolder(folder, fileMask_, files, subfolders, others, walk.collator, processMessages_, stopRequested_);
    for (const Entry &other : others) otherNames_ << other.path;

    for (const Entry &file : files) {
        if (stopRequested_) return;
        fileFound_ = file.path;
        fileSize_ = file.size;
        if (onFileFound_) onFileFound_(*this);
    }
    files.clear();
    fileSize_ = 0;

    for (const Entry &sub : subfolders) {
        if (stopRequested_) return;
        if (recursive_) {
            FolderId id{};
            if (IdOf(sub.path, id)) {
                if (walk.entered.count(id)) continue;
                walk.entered.insert(id);
            }
            ScanFolder(walk, sub.path);
        } else {
            fileFound_ = sub.path;
            if (onDirectoryFound_) onDirectoryFound_(*this);
        }
    }
    subfolders.clear();
    if (onDirectoryDone_) onDirectoryDone_(*this);
}

bool MatchesMask(const QString &name, const QString &mask)
{
    if (mask.isEmpty()) return false;
    if (mask == QLatin1String("*.*") || mask == QLatin1String("*")) return true;

    // Iterative wildcard match; on a mismatch after "*", the star takes one more character.
    const qsizetype n = name.size(), m = mask.size();
    qsizetype i = 0, j = 0, starJ = -1, starI = 0;
    while (i < n) {
        if (j < m && mask[j] == QLatin1Char('*')) {
            starJ = j++;
            starI = i;
        } else if (j < m && (mask[j] == QLatin1Char('?') || mask[j].toCaseFolded() == name[i].toCaseFolded())) {
            ++i;
            ++j;
        } else if (starJ >= 0) {
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (j < m && mask[j] == QLatin1Char('*')) ++j;
    return j == m;
}

}  // namespace trackmill
