// Walks a folder tree depth-first and reports, through events, each folder it enters
// and each file that matches a wildcard mask.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace trackmill {

class TTreeScanner : public QObject {
    Q_OBJECT
public:
    // Events carry only the sender; handlers read FileFound() and FileSize() during the call.
    using TNotifyEvent = std::function<void(TTreeScanner &sender)>;

    explicit TTreeScanner(QObject *owner = nullptr);
    ~TTreeScanner() override;

    // Runs one complete scan synchronously, pre-order: a folder's own matching files
    // (sorted, case-insensitive, locale-aware), then each subfolder's subtree, the
    // subfolders sorted. Folders whose name starts with "." are not entered; such files
    // are reported. A folder reached again through a symbolic link is not entered twice.
    // Unreadable folders yield nothing and report no error. An exception thrown by a
    // handler ends the scan and reaches the caller (SearchInProgress is false again).
    // Not re-entrant: a call made while a scan runs on this instance returns at once.
    void Execute();
    // Ends the scan that runs, from a handler or from the events it processes: no further
    // file is reported and no further folder entered. The next Execute starts afresh.
    void Stop() { stopRequested_ = true; }
    bool Stopped() const { return stopRequested_; }

    // Raised for each matching file.
    void SetOnFileFound(TNotifyEvent handler) { onFileFound_ = std::move(handler); }
    // Raised for each folder entered (and, when not recursive, each subfolder seen).
    void SetOnDirectoryFound(TNotifyEvent handler) { onDirectoryFound_ = std::move(handler); }
    // Raised when a folder and everything below it is finished.
    void SetOnDirectoryDone(TNotifyEvent handler) { onDirectoryDone_ = std::move(handler); }

    // Called once at the start of every folder, before its first event, and every 1,024
    // names while a large folder is read; the window sets it to process pending events so
    // it stays responsive. Unset by default.
    void SetProcessMessages(std::function<void()> hook) { processMessages_ = std::move(hook); }

    // Full path of the file or folder being reported; a folder ends with "/".
    const QString &FileFound() const { return fileFound_; }
    // Size in bytes of the file being reported, 0 while a folder is reported.
    qint64 FileSize() const { return fileSize_; }

    // Where the scan starts; empty means the current directory. Execute leaves it
    // ending with "/".
    const QString &InitialDirectory() const { return initialDirectory_; }
    void SetInitialDirectory(const QString &folder) { initialDirectory_ = folder; }

    // "*" and "?" wildcards, matched without regard to case; empty matches no file.
    const QString &FileMask() const { return fileMask_; }
    void SetFileMask(const QString &mask) { fileMask_ = mask; }

    bool SearchInProgress() const { return searchInProgress_; }

    // Names matching the mask that lead to neither a regular file nor a folder (pipes,
    // devices, sockets, broken links), found by the last scan in the order of its files;
    // they are never opened.
    const QStringList &OtherNames() const { return otherNames_; }

    bool Recursive() const { return recursive_; }
    void SetRecursive(bool recursive) { recursive_ = recursive; }

private:
    struct Walk;
    void ScanFolder(Walk &walk, const QString &folder);

    TNotifyEvent onFileFound_;
    TNotifyEvent onDirectoryFound_;
    TNotifyEvent onDirectoryDone_;
    std::function<void()> processMessages_;
    QString fileFound_;
    qint64 fileSize_ = 0;
    QString initialDirectory_;
    QString fileMask_;
    QStringList otherNames_;
    bool searchInProgress_ = false;
    bool stopRequested_ = false;
    bool recursive_ = true;
};

// Wildcard match of a file name against a mask, ignoring case; "*.*" matches every name.
bool MatchesMask(const QString &name, const QString &mask);

}  // namespace trackmill
