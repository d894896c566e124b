// The console the commands run in: one running file's command line and output at a time,
// the others a choice away, as they arrive. A file's output stays readable after its end
// until another is shown. It opens beside the main window, or where the user last put it.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QTextDocument;

namespace trackmill {

class TConsoleWindow : public QWidget {
    Q_OBJECT

public:
    explicit TConsoleWindow(QWidget *parent = nullptr);
    ~TConsoleWindow() override;

    // Whether a file's start opens the window; its output is kept either way.
    void SetShowDuringJobs(bool show);
    bool ShowDuringJobs() const { return showDuringJobs_; }
    // Where it opens when the user has not put it anywhere: its geometry, frame excluded.
    void SetPlacement(std::function<QRect()> where) { placement_ = std::move(where); }
    // Where the user put the window (its geometry, frame excluded); none: beside the main one.
    std::optional<QRect> UserGeometry() const { return userGeometry_; }
    void SetUserGeometry(std::optional<QRect> geometry) { userGeometry_ = geometry; }

    // A job starts: forget the previous job's output.
    void BeginJob();
    // A file starts: its command line, in a page of its own that is shown unless the user
    // chose another running file; the window opens (without taking the focus).
    void BeginFile(std::uint64_t id, const QString &name, const QString &commandLine);
    // Raw bytes of the file's output; "\r" rewrites the current line as a terminal does.
    void AppendOutput(std::uint64_t id, const QByteArray &bytes);
    // The file's command has ended: `last` closes its output, which stays while shown.
    void EndFile(std::uint64_t id, const QString &last);
    // The job has ended.
    void EndJob();

    // The text of the file shown.
    QString Text() const;
    QPlainTextEdit *View() const { return view_; }
    // The running files to choose from.
    QComboBox *Files() const { return files_; }
    // "Show console during jobs"; the window keeps the setting (SetShowDuringJobs).
    QCheckBox *ShowConsoleBox() const { return showConsole_; }

protected:
    // Esc closes it, as it closes a dialog.
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Page;
    void Show(std::uint64_t id);
    void Append(Page &page, const QString &text);
    void Place();
    void NoteUserGeometry();

    QLabel *label_;
    QComboBox *files_;
    QPlainTextEdit *view_;
    QCheckBox *showConsole_;
    std::map<std::uint64_t, std::unique_ptr<Page>> pages_;
    std::optional<std::uint64_t> shown_;
    bool followNewest_ = true;  // until the user picks a file
    bool showDuringJobs_ = true;
    QTextDocument *blank_;  // shown when no file is
    std::function<QRect()> placement_;
    std::optional<QRect> userGeometry_;
    QRect placed_;  // the geometry we gave it: moves to anything else are the user's
};

}  // namespace trackmill
