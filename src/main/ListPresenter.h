// Shows the transcode list in ListBox1: one entry per queued file, with its state while a
// job runs (waiting, converting with its percentage) and a failed file marked, its reason
// as the entry's tooltip. The window's own changes to the list box are not the user's
// clicks; Updating() tells them apart.
#pragma once

#include <QString>

class QListWidget;

namespace trackmill {

class TTranscodeList;
struct TWorkItem;

// "waiting", "converting 42 %", "failed"; empty for a file at rest.
QString StateText(const TWorkItem &item, bool jobRunning);

class TListPresenter {
public:
    TListPresenter(QListWidget &list, TTranscodeList &source);

    bool Updating() const { return updating_; }
    // Waiting files are marked only while a job runs.
    void SetJobRunning(bool running);
    // Moves the list's focus mark (not its selection) to the entry and scrolls to it.
    void FocusRow(int row);

private:
    struct Guard;
    void Mark(int row, const TWorkItem &item);

    QListWidget &list_;
    TTranscodeList &source_;
    bool updating_ = false;
    bool jobRunning_ = false;
};

}  // namespace trackmill
