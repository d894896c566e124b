#include "main/Form1.h"

#include "widgets/FileDrop.h"
#include "collect/TranscodeList.h"
#include "collect/TreeScan.h"
#include "engine/TranscodeJob.h"
#include "main/LibraryDialog.h"
#include "main/WindowView.h"
#include "main/Storage.h"
#include "session/Session.h"
#include "system/AppRun.h"
#include "config/StoredSettings.h"
#include "system/Platform.h"
#include "settings/WindowPosition.h"
#include "shutdown/DesktopNotice.h"
#include "shutdown/XReboot.h"
#include "ui/Placement.h"
#include "os/Path.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/FileChooser.h"
#include "widgets/FocusFrame.h"
#include "widgets/LogWindow.h"
#include "widgets/PlainText.h"
#include "widgets/ShutdownNotice.h"
#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"
#include "widgets/TrayNotice.h"
#include "widgets/WindowDrop.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace trackmill {

namespace {

// The paths a "Details" box lists before its scrolling part.
constexpr int kDetailsShown = 15;

MessageBoxHandler &MessageBoxes()
{
    static MessageBoxHandler handler;
    return handler;
}

void ShowMessage(QWidget *parent, TMessageKind kind, const QString &caption, const QString &text)
{
    if (MessageBoxes()) {
        MessageBoxes()(parent, kind, caption, text);
        return;
    }
    if (kind == TMessageKind::JobReport || kind == TMessageKind::Details || kind == TMessageKind::Notice) {
        // It must not hold up what follows a job, such as the notice before a shutdown.
        const bool details = kind == TMessageKind::Details;
        const qsizetype head = details ? text.indexOf(QLatin1Char('\n')) : -1;
        auto *box = new QMessageBox(details ? QMessageBox::Information : QMessageBox::Warning, caption,
                                    head < 0 ? text : text.left(head), QMessageBox::Ok, parent);
        // A long list scrolls in the box's details.
        if (head >= 0) {
            box->setInformativeText(text.mid(head + 1).section(QLatin1Char('\n'), 0, kDetailsShown - 1));
            if (text.count(QLatin1Char('\n')) > kDetailsShown) box->setDetailedText(text.mid(head + 1));
        }
        box->setTextFormat(Qt::PlainText);  // names and reasons are never markup (the details' too)
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
        return;
    }
    if (kind == TMessageKind::Error) {
        if (parent) {
            // The box must not hide behind another program or a minimised window.
            parent->setWindowState(parent->windowState() & ~Qt::WindowMinimized);
            parent->raise();
            parent->activateWindow();
        }
    }
    QMessageBox box(kind == TMessageKind::Error ? QMessageBox::Warning : QMessageBox::Critical, caption, text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}


}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxes() = std::move(handler);
}

QString NormalizeFolderText(const QString &text)
{
    return ShownPath(os::WithSeparator(os::Portable(QFile::encodeName(text).toStdString())));
}

QString ShownPath(const std::string &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

QString DecoderUsageHint()
{
    // The usage text does not change while we run: the decoder is asked until it answers
    // (a first start can be slow), not per window.
    static QString usage;
    if (usage.isEmpty())
        usage = QString::fromStdString(platform::DecoderUsage(QCoreApplication::applicationDirPath().toStdString()));
    return usage;
}

TForm1::TForm1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    // The designed 8-point face at 96 dpi (13-pixel lines); a condensed face where it is
    // missing keeps the captions inside the designed widths.
    QFont face = font();
    face.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"), face.family()});
    face.setPixelSize(11);
    setFont(face);

    CreateControls();
    CreatePresetMenu();
    SetTabOrder();
    CreateComponents();
    ApplyMetrics();

    // Centred unless the stored position replaces it when the window is first shown.
    resize(FitToArea(ClientArea()));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    FormCreate(this);
}

TForm1::~TForm1()
{
    FormDestroy(this);
}

void TForm1::CreateComponents()
{
    // The window's runner runs every command of its jobs, several at once.
    AppRunner1 = new TAppRunner(this);
    AppRunner1->setObjectName(QStringLiteral("AppRunner1"));
    view_ = std::make_unique<TForm1View>(*this);
    session_ = std::make_unique<TSession>(*view_, QCoreApplication::applicationDirPath().toStdString(),
                                          kNextFileDelayMs, AppRunner1);
    TreeScanner1 = &List().Scanner();
    TreeScanner1->setObjectName(QStringLiteral("TreeScanner1"));
    TreeScanner1->SetFileMask(QString::fromLatin1(kTranscodeFileMask));
    chooser_ = std::make_unique<TFileChooser>();

    FileDrop1 = new TFileDrop(this);
    FileDrop1->setObjectName(QStringLiteral("FileDrop1"));
    FileDrop1->SetDropControl(FileList);
    FileDrop1->SetEnableDrop(true);
    FileDrop1->SetOnDrop([this](TFileDrop &sender) { FileDrop1Drop(&sender); });

    XWinReboot1 = new TXWinReboot(this);
    XWinReboot1->setObjectName(QStringLiteral("XWinReboot1"));
    XWinReboot1->SetOperation(roShutDown);
    XWinReboot1->SetPowerOff(true);
    XWinReboot1->SetForceTerminateProcesses(true);

    JobTimer = new QTimer(this);
    JobTimer->setObjectName(QStringLiteral("Timer1"));
    JobTimer->setInterval(100);
    connect(JobTimer, &QTimer::timeout, this, [this] { JobTimerFired(JobTimer); });
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(500);
    connect(progressTimer_, &QTimer::timeout, this, [this] { Job().PollProgress(); });

    Console = new TConsoleWindow(this);
    Console->SetPlacement([this] { return ConsoleGeometry(); });
    LogWindow1 = new TLogWindow(this);
    for (QCheckBox *box : {Console->ShowConsoleBox(), LogWindow1->ShowConsoleBox()})
        connect(box, &QCheckBox::toggled, this, [this](bool on) { SetShowConsole(on); });
    ShutdownNotice1 = new TShutdownNotice(this);
    shutdownDelayMs_ = kShutdownNoticeMs;
    connect(ShutdownNotice1, &TShutdownNotice::Expired, this, [this] { ShutdownNotice1Ended(true); });
    connect(ShutdownNotice1, &TShutdownNotice::Cancelled, this, [this] { ShutdownNotice1Ended(false); });
    // The list's own viewport is FileDrop1's; its frame and scroll bars are this one's.
    WindowDrop1 = new TWindowDrop(this, {FileList->viewport()});
    WindowDrop1->setObjectName(QStringLiteral("WindowDrop1"));
    WindowDrop1->SetOnDrop([this](const QStringList &paths) { WindowDrop1Drop(paths); });

    SetJobs(config::DefaultJobs());
    presenter_ = std::make_unique<TWindowPresenter>(Job(), List(), *view_);
    presenter_->SetCollectInBackground(true);
    BindList();
    // Every change of a setting reaches the job at once: it reads each when it needs it.
    const auto changed = [this] { SettingsChanged(); };
    for (QLineEdit *edit : {DecoderOptionsEdit, EncoderOptionsEdit, OpusOptionsEdit})
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (QCheckBox *box : {cbID3v1, cbID3v2, cbApetag, cbShutdown, cbOutputdir})
        connect(box, &QCheckBox::toggled, this, changed);
    for (QComboBox *box : {static_cast<QComboBox *>(ComboID3), ComboExisting})
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    connect(JobsSpin, &QSpinBox::valueChanged, this, changed);
    connect(OutputFolderEdit, &TDirectoryEdit::Change, this, changed);

    FormStorage1 = CreateFormStorage(*this);
    installEventFilter(this);
    new TFocusFrame(this);
}

TTranscodeList &TForm1::List()
{
    return session_->List();
}

TranscodeJob &TForm1::Job()
{
    return session_->Job();
}

TJobSettings TForm1::Settings() const
{
    TJobSettings s;
    s.decoderOptions = DecoderOptionsEdit->text().toStdString();
    s.encoderOptions = EncoderOptionsEdit->text().toStdString();
    s.opusOptions = OpusOptionsEdit->text().toStdString();
    s.format = OutputFormat();
    s.useOutputDir = cbOutputdir->isChecked();
    // The folder texts as typed ("C:\\Music\\" on Windows) in the program's spelling of paths.
    s.outputDir = os::Portable(QFile::encodeName(OutputFolderEdit->Text()).toStdString());
    s.tags.copyID3v1 = cbID3v1->isChecked();
    s.tags.copyID3v2 = cbID3v2->isChecked();
    s.tags.convertApe = cbApetag->isChecked();
    s.tags.apeTarget = ComboID3->currentIndex();
    s.shutdownAfterJob = cbShutdown->isChecked();
    s.jobs = Jobs();
    s.existing = ExistingFiles();
    const TLibrarySettings library = LibrarySettings();
    s.layout = library.layout;
    s.libraryDir = library.libraryFolder.empty() ? std::string() : os::WithSeparator(os::Portable(library.libraryFolder));
    s.namePattern = library.namePattern;
    s.copyFolderArt = library.copyFolderArt;
    s.embedFolderArt = library.embedFolderArt;
    return s;
}

void TForm1::SettingsChanged()
{
    if (presenter_) presenter_->SettingsChanged(Settings());
}

// ---- handlers ----

void TForm1::FormCreate(QObject *)
{
    SetIniFileName(*this);
    // Start-up asks for the encoder of the stored format only: one who converts to Opus
    // alone is not told each time that lame is missing.
    RestoreOutputFormat(*this);
    SettingsChanged();
    presenter_->Start();
    setWindowTitle(tr(kWindowCaption));
    ComboID3->setCurrentIndex(config::EntryIndex(config::kApeTarget, config::kApeTarget.defaultValue));
}

void TForm1::closeEvent(QCloseEvent *event)
{
    presenter_->Closing();
    QWidget::closeEvent(event);
}

void TForm1::FormDestroy(QObject *)
{
    // The files in progress are finished first: verified, tagged and put in place, or
    // removed. Leaving them would strand their MP3s under temporary names.
    if (session_ && Job().Running()) {
        presenter_->Closing();
        QEventLoop loop;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!Job().Running()) loop.quit();
        });
        poll.start(50);
        loop.exec();
    }
    // No end event may reach a window that is going away; the command itself runs on.
    // Nor may the controls' signals while they are deleted after this window's own part.
    for (QObject *sender : std::initializer_list<QObject *>{FileList, FileList->selectionModel(), StatusArea1,
                                                          ShutdownNotice1})
        disconnect(sender, nullptr, this, nullptr);
    JobTimer->stop();
    progressTimer_->stop();
    // The list goes with the presenter; the view, a child of this window, outlives it.
    FileList->setModel(nullptr);
    presenter_.reset();
    session_.reset();
    delete AppRunner1;
    AppRunner1 = nullptr;
}

void TForm1::TranscodeClick(QObject *)
{
    presenter_->Transcode();
}

void TForm1::JobTimerFired(QObject *)
{
    JobTimer->stop();
    Job().TimerFired();
}

void TForm1::CancelClick(QObject *)
{
    presenter_->Cancel();
}

int TForm1::Jobs() const
{
    return JobsSpin->value();
}

void TForm1::SetJobs(int jobs)
{
    JobsSpin->setValue(std::clamp(jobs, 1, config::kMaxJobs));
}

TExistingPolicy TForm1::ExistingFiles() const
{
    return ChoiceOf(*ComboExisting, config::kExistingFiles);
}

void TForm1::SetExistingFiles(TExistingPolicy policy)
{
    ComboExisting->setCurrentIndex(config::EntryIndex(config::kExistingFiles, policy));
}

TOutputFormat TForm1::OutputFormat() const
{
    return ChoiceOf(*ComboFormat, config::kOutputFormat);
}

void TForm1::SetOutputFormat(TOutputFormat format)
{
    ComboFormat->setCurrentIndex(config::EntryIndex(config::kOutputFormat, format));
}

QLineEdit *TForm1::EncoderLine() const
{
    return OutputFormat() == TOutputFormat::Opus ? OpusOptionsEdit : EncoderOptionsEdit;
}

void TForm1::ComboFormatChange(QObject *)
{
    const bool opus = OutputFormat() == TOutputFormat::Opus;
    EncoderLabel->setText(tr(opus ? platform::kOpusOptionsCaption : platform::kEncoderOptionsCaption));
    QLineEdit *shown = EncoderLine(), *hidden = opus ? EncoderOptionsEdit : OpusOptionsEdit;
    const bool focused = hidden->hasFocus();
    shown->setVisible(true);
    hidden->setVisible(false);
    if (focused) shown->setFocus();
    // While a job runs it keeps the format it started with; the presenter sees to that.
    SettingsChanged();
}

TForm1::TLibrarySettings TForm1::LibrarySettings() const
{
    return *library_;
}

void TForm1::SetLibrarySettings(const TLibrarySettings &settings)
{
    *library_ = settings;
    OutputNamesButton->setToolTip(PlainTip(DescribeLibrary(settings)));
    SettingsChanged();
}

void TForm1::OutputNamesClick(QObject *)
{
    if (!libraryDialog_) {
        libraryDialog_ = new TLibraryDialog(this);
        connect(libraryDialog_, &QDialog::accepted, this, [this] { SetLibrarySettings(libraryDialog_->Choices()); });
    }
    libraryDialog_->SetChoices(LibrarySettings());
    // Window-modal and not waited for: the window's events, the job's among them, go on.
    libraryDialog_->open();
}

void TForm1::FileDrop1Drop(QObject *)
{
    Collect(FileDrop1->Files());
}

void TForm1::WindowDrop1Drop(const QStringList &Paths)
{
    Collect(Paths);
}

void TForm1::Collect(const QStringList &Names)
{
    presenter_->Collect(Names);
}

QStringList TForm1::NamedPaths(const QStringList &Arguments)
{
    QStringList names;
    for (const QString &arg : Arguments) {
        if (arg.isEmpty()) continue;
        const QUrl url(arg);
        names << (url.isLocalFile() ? url.toLocalFile() : QDir::current().absoluteFilePath(arg));
    }
    return names;
}

void TForm1::AddNamed(const QStringList &Arguments)
{
    const QStringList names = NamedPaths(Arguments);
    if (!names.isEmpty()) Collect(names);
}

void TForm1::StartedAgain(const QStringList &Paths)
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    if (!Paths.isEmpty()) WindowDrop1Drop(Paths);
}

void TForm1::AddFilesClick(QObject *)
{
    const QStringList files = chooser_->ChooseFiles(this);
    if (!files.isEmpty()) Collect(files);
}

void TForm1::AddFolderClick(QObject *)
{
    const QString folder = chooser_->ChooseFolder(this);
    if (!folder.isEmpty()) Collect({folder});
}

void TForm1::StatusArea1ShowLog(QObject *)
{
    // Beside the window, as the console opens; where the user has it while it is open.
    if (!LogWindow1->isVisible()) LogWindow1->setGeometry(LogGeometry());
    LogWindow1->ShowLog();
}

void TForm1::StatusArea1Stop(QObject *)
{
    presenter_->Stop();
}

void TForm1::ShutdownNotice1Ended(bool Proceed)
{
    presenter_->ShutdownNoticeEnded(Proceed);
}

void TForm1::ReportFailures(const QString &Text)
{
    if (Text.isEmpty()) return;
    // After the job's own steps have run to their end.
    QTimer::singleShot(0, this, [this, Text] {
        ShowMessage(this, TMessageKind::JobReport, QString::fromLatin1(kApplicationTitle), Text);
    });
}

void TForm1::ShowDetails(const QString &Heading, const QStringList &Lines)
{
    ShowMessage(this, TMessageKind::Details, QString::fromLatin1(kApplicationTitle),
                Heading + QLatin1Char('\n') + Lines.join(QLatin1Char('\n')));
}

void TForm1::OpenFolder(const QString &Folder)
{
    const auto notOpened = [this, Folder] {
        ShowMessage(this, TMessageKind::Notice, QString::fromLatin1(kApplicationTitle),
                    tr("The output folder could not be opened: no program to show folders is set up "
                       "(a file manager, and xdg-open from xdg-utils).\n\nThe MP3s are in:\n%1")
                        .arg(Folder));
    };
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt counts xdg-open's start as success; only its exit status says whether a program
    // took the folder. It may wait for that program, so it is not the window's: closing
    // the window leaves the file manager open.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        auto *process = new QProcess(QCoreApplication::instance());
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->setStandardInputFile(QProcess::nullDevice());
        connect(process, &QProcess::finished, this, [notOpened](int status, QProcess::ExitStatus how) {
            if (how != QProcess::NormalExit || status != 0) notOpened();
        });
        connect(process, &QProcess::errorOccurred, this, [notOpened](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) notOpened();
        });
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
        connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) process->deleteLater();
        });
        process->start(opener, {Folder});
        return;
    }
#endif
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Folder))) notOpened();
}

void TForm1::SetNoticeHandler(std::function<void(const QString &, const QString &)> handler)
{
    noticeHandler_ = std::move(handler);
}

void TForm1::Notify(const QString &Summary, const QString &Body)
{
    if (noticeHandler_) {
        noticeHandler_(Summary, Body);
        return;
    }
#ifdef _WIN32
    // Windows shows a program's notice only through a tray icon of its own.
    if (!TrayNotice) TrayNotice = new TTrayNotice(this);
    TrayNotice->Send(Summary, Body);
#else
    TDesktopNotice().Send(Summary, Body);
#endif
}

bool TForm1::ShowConsole() const
{
    return Console->ShowDuringJobs();
}

void TForm1::SetShowConsole(bool show)
{
    Console->SetShowDuringJobs(show);
    if (LogWindow1->ShowConsoleBox()->isChecked() != show) LogWindow1->ShowConsoleBox()->setChecked(show);
}

QRect TForm1::ConsoleGeometry() const
{
    // The size it asks for each time: a console made smaller once grows back where there is room.
    return BesideGeometry(QSize(ScaledToFace(640), ScaledToFace(320)), QSize(ScaledToFace(240), ScaledToFace(100)));
}

QRect TForm1::LogGeometry() const
{
    return BesideGeometry(QSize(ScaledToFace(800), ScaledToFace(420)), QSize(ScaledToFace(320), ScaledToFace(160)));
}

QRect TForm1::BesideGeometry(const QSize &wanted, const QSize &smallest) const
{
    // The other window's frame is drawn as this window's is.
    const QRect frame = frameGeometry();
    const QMargins margins = FrameMargins(this);
    const QSize edges(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QScreen *on = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = on ? on->availableGeometry() : frame.adjusted(-1000, -1000, 1000, 1000);
    return PlaceBeside(frame, wanted + edges, area, smallest + edges, ScaledToFace(4)).marginsRemoved(margins);
}

int TForm1::ScaledToFace(int designed) const
{
    return qRound(designed * QFontMetricsF(font()).height() / 13.0);
}

void TForm1::AddFiles(const QStringList &Names)
{
    List().AddFiles(Names);
}

void TForm1::ClearClick(QObject *)
{
    presenter_->ClearAll();
}

void TForm1::DeleteClick(QObject *)
{
    QList<int> rows;
    for (const QModelIndex &index : FileList->selectionModel()->selectedRows())
        rows.append(index.row());
    presenter_->DeleteRows(rows);
}

void TForm1::FileListClick(QObject *)
{
    presenter_->RowPicked(FileList->currentIndex().row());
}

void TForm1::PresetClick(QObject *Sender)
{
    auto *item = qobject_cast<QAction *>(Sender);
    if (!item) {
        ShowStandardError(tr("Invalid class typecast"));
        return;
    }
    // Each menu's items write into the line of their own format.
    QLineEdit *line = item->parent() == OpusPresetsMenu ? OpusOptionsEdit : EncoderOptionsEdit;
    line->setText(item->data().isValid() ? item->data().toString() : item->text());
}

void TForm1::OutputFolderChange(QObject *)
{
    OutputFolderEdit->SetText(NormalizeFolderText(OutputFolderEdit->Text()));
}

void TForm1::cbOutputdirClick(QObject *)
{
    OutputFolderEdit->setEnabled(cbOutputdir->isChecked());
}

void TForm1::ComboID3Change(QObject *)
{
    ComboID3->SetTag(ComboID3->currentIndex());
}

void TForm1::FormStorage1RestorePlacement(QObject *)
{
    OutputFolderEdit->setEnabled(cbOutputdir->isChecked());
    const int tag = ComboID3->Tag();
    ComboID3->setCurrentIndex(tag >= 0 && tag < ComboID3->count() ? tag : -1);
    ComboID3Change(ComboID3);
}

// ---- messages ----

void TForm1::ShowErrorBox(const QString &Message)
{
    // A message the catalogue knows (a program not found) in the user's language.
    ShowMessage(this, TMessageKind::Error, tr(kErrorBoxCaption), tr(Message.toUtf8().constData()));
}

void TForm1::ShowStandardError(const QString &Message)
{
    QString text = Message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    ShowMessage(this, TMessageKind::StandardError, QString::fromLatin1(kApplicationTitle), text);
}

// ---- keys ----

void TForm1::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (TranscodeButton->isEnabled() && TranscodeButton->isVisible()) {
            TranscodeButton->animateClick();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (presenter_->Escape()) return;
        if (CancelButton->isEnabled() && CancelButton->isVisible()) {
            CancelButton->animateClick();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && rows_) {
        ApplyMetrics();
        resize(size().expandedTo(FitToArea(ClientArea())));
    }
    QWidget::changeEvent(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FilesLabel && event->type() == QEvent::Resize && FilesLabel->wordWrap()) {
        const int lines = FilesLabel->heightForWidth(FilesLabel->width());
        if (lines > 0 && lines != FilesLabel->minimumHeight()) FilesLabel->setMinimumHeight(lines);
    }
    if (event->type() == QEvent::MouseButtonPress && FileList && watched == FileList->viewport())
        changesAtPress_ = listChanges_;
    if (watched == DecoderOptionsEdit && event->type() == QEvent::ToolTip && DecoderOptionsEdit->toolTip().isEmpty())
        DecoderOptionsEdit->setToolTip(DecoderUsageHint());
    if (watched == FileList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete && DeleteButton->isEnabled()) {
        DeleteClick(FileList);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString TForm1::IniFileName() const
{
    return StorageIniFileName(*this);
}

}  // namespace trackmill
