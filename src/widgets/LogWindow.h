// What the programs printed for each file of the last job, kept after the job and shown
// file by file: the files on the left (the failed ones marked), the chosen file's
// command line, output and result on the right.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class QCheckBox;
class QListWidget;
class QPlainTextEdit;

namespace trackmill {

// Raw terminal output as text: UTF-8 decoded, a carriage return that is not part of a
// line end rewrites its line from the start, as a terminal shows it.
QString TerminalText(const QByteArray &bytes);

class TLogWindow : public QWidget {
    Q_OBJECT

public:
    explicit TLogWindow(QWidget *parent = nullptr);

    // A job starts: the previous job's log goes.
    void BeginJob();
    void BeginFile(std::uint64_t key, const QString &name, const QString &commandLine);
    void AppendOutput(std::uint64_t key, const QByteArray &bytes);
    // The file's end: its state ("converted", "failed", ...) and why, when there is a reason.
    void EndFile(std::uint64_t key, const QString &name, const QString &state, const QString &reason, bool failed);

    bool IsEmpty() const { return entries_.empty(); }
    // Shows the window with the first failed file chosen, else the first file.
    void ShowLog();
    // Chooses the file of this name; false when the log has none.
    bool SelectFile(const QString &name);
    QString ShownText() const;
    QListWidget *Files() const { return files_; }
    QPlainTextEdit *View() const { return view_; }
    QCheckBox *ShowConsoleBox() const { return showConsole_; }

protected:
    // Esc closes it, as it closes a dialog.
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Entry {
        QString name;
        QString commandLine;
        QByteArray output;
        bool cut = false;  // the start of the output was left out
        QString state;
        QString reason;
        bool failed = false;
    };
    Entry &EntryFor(std::uint64_t key, const QString &name);
    void Show(int row);
    void Keep(Entry &entry, qsizetype limit);

    QListWidget *files_;
    QPlainTextEdit *view_;
    QCheckBox *showConsole_;
    std::vector<Entry> entries_;
    QHash<std::uint64_t, int> rows_;
    qint64 kept_ = 0;  // output bytes held, all files
};

}  // namespace trackmill
