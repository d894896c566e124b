// TForm1: Trackmill's only window. It lays out the controls and keeps the small
// consistency rules between them; the presenter decides what each action does, the
// session runs the job, the settings storage keeps the values between starts.
#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "config/SettingsSchema.h"
#include "engine/TranscodeJob.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QSpacerItem;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;

namespace trackmill {

class TAppRunner;
class TConsoleWindow;
class TDirectoryEdit;
class TFileDrop;
class TFormPlacement;
class TSession;
class TTranscodeList;
class TTreeScanner;
class TXWinReboot;
class TForm1View;
class TFileChooser;
class TWindowPresenter;
class TLibraryDialog;
class TLogWindow;
class TShutdownNotice;
class TStatusArea;
class TTrayNotice;
class TWindowDrop;

// A combo box with the integer Tag that mirrors its selected index for the settings.
class TTagComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    using QComboBox::QComboBox;
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

private:
    int tag_ = 0;
};

// Where the window's message boxes go; tests replace it to read the texts instead.
// JobReport names the files a job could not convert, and those whose tags it could not
// carry whole; it does not wait for an answer.
// Details lists what a collection left out; it does not wait either.
// Notice says what became of something the user asked for; it does not wait.
enum class TMessageKind { Error, StandardError, JobReport, Details, Notice };
using MessageBoxHandler =
    std::function<void(QWidget *parent, TMessageKind kind, const QString &caption, const QString &text)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

inline constexpr const char *kWindowCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "Trackmill v1.2 (MPC -> MP3 transcoder)");
inline constexpr const char *kApplicationTitle = "Trackmill";
inline constexpr const char *kErrorBoxCaption = QT_TRANSLATE_NOOP("trackmill::TForm1", "An error occured");
// The client area at the designed face; other faces and scales make it larger.
inline constexpr int kClientWidth = 636;
inline constexpr int kClientHeight = 391;

// The choice a combo box of the setting's entries shows; none chosen is the default.
template <typename T, std::size_t N>
T ChoiceOf(const QComboBox &box, const config::TChoiceSetting<T, N> &setting)
{
    return config::EntryValue(setting, box.currentIndex()).value_or(setting.defaultValue);
}

// The captions of the preset menu; an empty entry is a separator.
struct TPresetItem {
    const char *name;
    const char *caption;  // nullptr for a separator
    const char *description;  // what the preset makes, shown beside it
    const char *writes = nullptr;  // what the encoder line gets, when not the caption
};
extern const TPresetItem kPresetItems[18];
// opusenc's presets, for the Opus line.
extern const TPresetItem kOpusPresetItems[5];

// The folder text as the window keeps it: ending in the separator unless empty, written
// as the system writes paths (backslashes on Windows).
QString NormalizeFolderText(const QString &text);
// A path of the program's as a person reads it: backslashes on Windows, a name's bytes kept.
QString ShownPath(const std::string &path);

// The decoder's usage summary for the decoder line's hint: mpcdec's own, or a fixed text. Asks
// mpcdec the first time it is called; the window calls it when the hint is first shown.
QString DecoderUsageHint();

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // --- controls, in the order the form lists them ---
    QLabel *DecoderLabel, *EncoderLabel, *FilesLabel, *InfoLabel;
    QPushButton *TranscodeButton;
    QLineEdit *DecoderOptionsEdit, *EncoderOptionsEdit;
    QListView *FileList;  // shows Presenter().Rows()
    QCheckBox *cbID3v1, *cbID3v2;
    QPushButton *ClearButton;
    QCheckBox *cbApetag;
    QPushButton *DeleteButton;
    QListWidget *InfoPanel;
    QCheckBox *cbShutdown, *cbOutputdir;
    TDirectoryEdit *OutputFolderEdit;
    QPushButton *CancelButton;
    TTagComboBox *ComboID3;

    // --- controls added to the designed ones, in tab order after FileList ---
    QPushButton *AddFilesButton;        // "Add files..."
    QPushButton *AddFolderButton;        // "Add folder..."
    QPushButton *OutputNamesButton;        // "Output names...": the library settings' dialog
    QLabel *ExistingLabel;              // "Existing files"
    QComboBox *ComboExisting;    // Skip, Overwrite, Keep both, Update tags
    QLabel *JobsLabel;              // "Parallel conversions"
    QSpinBox *JobsSpin;         // files converted at once
    QLabel *FormatLabel;        // "Output format", beside the encoder line's caption
    QComboBox *ComboFormat;     // MP3, Opus
    QLineEdit *OpusOptionsEdit;  // opusenc's line, in EncoderOptionsEdit's place when Opus is chosen
    TStatusArea *StatusArea1;    // progress, "File 3 of 12", the summary, "Show log", "Stop"

    // --- non-visual components ---
    TFileDrop *FileDrop1;
    QMenu *PresetsMenu;
    QMenu *OpusPresetsMenu;
    TAppRunner *AppRunner1;
    TXWinReboot *XWinReboot1;
    QTimer *JobTimer;
    TTreeScanner *TreeScanner1;
    TFormPlacement *FormStorage1;
    TConsoleWindow *Console;
    TLogWindow *LogWindow1;            // the last job's output, file by file
    TShutdownNotice *ShutdownNotice1;  // the countdown before the shutdown request
    TWindowDrop *WindowDrop1;          // drops anywhere else on the window
    TTrayNotice *TrayNotice = nullptr;  // the end-of-job notice on Windows, made with the first

    TTranscodeList &List();
    TranscodeJob &Job();
    TWindowPresenter &Presenter() { return *presenter_; }
    // The settings as the controls show them.
    TJobSettings Settings() const;

    // The added settings, stored after the designed keys: files converted at once, the
    // existing-files policy.
    int Jobs() const;
    void SetJobs(int jobs);
    TExistingPolicy ExistingFiles() const;
    void SetExistingFiles(TExistingPolicy policy);
    // The format written, and the encoder line of that format (the other one is hidden).
    TOutputFormat OutputFormat() const;
    void SetOutputFormat(TOutputFormat format);
    QLineEdit *EncoderLine() const;
    // Where the outputs go below the output folder and what happens to folder art, as
    // OutputNamesButton's dialog sets them: the library folder, the layout, the name pattern, the
    // two art switches.
    struct TLibrarySettings {
        std::string libraryFolder;  // raw bytes; empty: none
        TOutputLayout layout = config::kOutputLayout.defaultValue;
        std::string namePattern = config::kNamePattern.defaultValue;
        bool copyFolderArt = config::kCopyFolderArt.defaultValue;
        bool embedFolderArt = config::kEmbedFolderArt.defaultValue;
    };
    TLibrarySettings LibrarySettings() const;
    void SetLibrarySettings(const TLibrarySettings &settings);
    // Shared with the storage, whose last save can come after the form's own members are gone.
    std::shared_ptr<TLibrarySettings> StoredLibrary() const { return library_; }

    // The dialogs of "Add files..." and "Add folder...".
    TFileChooser &Chooser() { return *chooser_; }
    // How long the notice before the shutdown request runs.
    int ShutdownDelay() const { return shutdownDelayMs_; }
    void SetShutdownDelay(int milliseconds) { shutdownDelayMs_ = milliseconds; }

    // --- the designed handlers ---
    void TranscodeClick(QObject *Sender);
    void FileDrop1Drop(QObject *Sender);
    void FormCreate(QObject *Sender);
    void ClearClick(QObject *Sender);
    void DeleteClick(QObject *Sender);
    void FileListClick(QObject *Sender);
    void PresetClick(QObject *Sender);
    void JobTimerFired(QObject *Sender);
    void OutputFolderChange(QObject *Sender);
    void cbOutputdirClick(QObject *Sender);
    void FormStorage1RestorePlacement(QObject *Sender);
    void CancelClick(QObject *Sender);
    void FormDestroy(QObject *Sender);
    void ComboID3Change(QObject *Sender);

    // --- handlers of the added controls ---
    void AddFilesClick(QObject *Sender);  // Add files...
    void AddFolderClick(QObject *Sender);  // Add folder...
    void OutputNamesClick(QObject *Sender);  // Output names...
    void ComboFormatChange(QObject *Sender);
    void WindowDrop1Drop(const QStringList &Paths);
    void StatusArea1ShowLog(QObject *Sender);
    void StatusArea1Stop(QObject *Sender);
    void ShutdownNotice1Ended(bool Proceed);

    // --- working operations ---
    void AddFiles(const QStringList &Names);
    // Adds files and folders as a drop adds them, and says in the status area what came of
    // it; refused while a job runs.
    void Collect(const QStringList &Names);
    // Files and folders named on the command line, relative to the working folder.
    void AddNamed(const QStringList &Arguments);
    // Those names as full paths (file: URLs taken as theirs), as AddNamed takes them.
    static QStringList NamedPaths(const QStringList &Arguments);
    // Another start of the program named these (full paths, perhaps none): they come in as
    // a drop, and the window comes to the front.
    void StartedAgain(const QStringList &Paths);
    // Names the failed files in a message box that does not hold up the window.
    void ReportFailures(const QString &Text);
    // What a collection left out, each path with its reason; does not hold up the window.
    void ShowDetails(const QString &Heading, const QStringList &Lines);
    // Shows the folder in the desktop's file manager; says so in the window when none took it.
    void OpenFolder(const QString &Folder);
    // A desktop notification (on Windows a tray icon's message); tests catch it instead.
    void Notify(const QString &Summary, const QString &Body);
    void SetNoticeHandler(std::function<void(const QString &summary, const QString &body)> handler);

    // "Show console during jobs", stored after the designed keys.
    bool ShowConsole() const;
    void SetShowConsole(bool show);
    // Where the console opens when the user has not put it anywhere: beside this window.
    QRect ConsoleGeometry() const;
    // Where "Show log" opens the log: beside this window too.
    QRect LogGeometry() const;

    // The program's own failure message ("An error occured").
    void ShowErrorBox(const QString &Message);
    // The application's standard error display.
    void ShowStandardError(const QString &Message);

    QString IniFileName() const;


    // The window's size for a client area of at most `area`: the designed size where the
    // face allows, never below what the controls need unless the area is smaller still.
    QSize FitToArea(const QSize &area);
    // What the screen the window is on leaves for its client area.
    QSize ClientArea() const;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void CreateLayout();
    void ApplyMetrics();
    void CreateComponents();
    void CreatePresetMenu();
    QMenu *CreatePresetMenu(const char *name, const TPresetItem *items, std::size_t count, QLineEdit *line);
    // The line's own edit menu with its presets below it, at a right click.
    void AddPresetsToContextMenu(QLineEdit *line, QMenu *presets, const char *menuName);
    void CreateAddedControls();
    // FileList shows the presenter's rows; the user's changes of its selection show a file.
    void BindList();
    // How the switches below the option lines are placed: in two columns as designed,
    // paired row by row where the columns do not fit, or all in one column.
    enum class TSwitches { Aligned, Ragged, Stacked };
    void ArrangeSwitches(TSwitches arrangement);
    void SetTabOrder();
    // A window of that size beside this one where the screen has room (frames excluded).
    QRect BesideGeometry(const QSize &wanted, const QSize &smallest) const;
    // A designed distance at the window's face.
    int ScaledToFace(int designed) const;
    void SettingsChanged();

    friend class TForm1View;
    QVBoxLayout *rows_ = nullptr;  // the window's rows, top to bottom
    QGridLayout *grid_ = nullptr;  // the designed two columns
    QGridLayout *switches_ = nullptr;
    QBoxLayout *apeRow_ = nullptr;       // cbApetag with ComboID3
    QBoxLayout *existingRow_ = nullptr;  // ExistingLabel with ComboExisting
    std::vector<QBoxLayout *> folds_;  // rows that stack when the screen is too narrow
    std::vector<std::pair<QSpacerItem *, int>> gaps_;  // with their designed sizes
    int panelWidth_ = 0;  // InfoPanel's least width: its widest word beside a scroll bar
    std::unique_ptr<TForm1View> view_;
    std::unique_ptr<TSession> session_;
    QTimer *progressTimer_ = nullptr;
    std::unique_ptr<TWindowPresenter> presenter_;
    std::unique_ptr<TFileChooser> chooser_;
    std::shared_ptr<TLibrarySettings> library_ = std::make_shared<TLibrarySettings>();
    TLibraryDialog *libraryDialog_ = nullptr;  // made when first opened
    int shutdownDelayMs_ = 0;
    std::function<void(const QString &, const QString &)> noticeHandler_;
    int listChanges_ = 0;        // selection or focus changes made by the user in FileList
    int changesAtPress_ = -1;    // listChanges_ when the mouse was last pressed on FileList
};

}  // namespace trackmill
