// TForm1's controls and where they sit: the designed two columns, the added controls,
// and how the layout follows the face and the screen.
#include "main/Form1.h"

#include "config/StoredSettings.h"
#include "main/LibraryDialog.h"
#include "main/WindowView.h"
#include "system/Platform.h"
#include "ui/WindowPresenter.h"
#include "widgets/PlainText.h"
#include "widgets/StateItemDelegate.h"
#include "widgets/StatusArea.h"
#include "widgets/ToolEdit.h"
#include "widgets/WrapItemDelegate.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <span>

namespace trackmill {

const TPresetItem kPresetItems[18] = {
    {"altpresetfaststandard1", "--alt-preset fast standard", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 190 kbit/s, encoded faster")},
    {"altpresetstandard1", "--alt-preset standard", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 190 kbit/s")},
    {"N1", nullptr, nullptr},
    {"altpresetfastextreme1", "--alt-preset fast extreme", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 245 kbit/s, encoded faster")},
    {"altpresetextreme1", "--alt-preset extreme", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 245 kbit/s")},
    {"N2", nullptr, nullptr},
    // lame refuses "fast insane"; "fast" changes nothing for a constant rate anyway.
    {"altpresetfastinsane1", "--alt-preset fast insane", QT_TRANSLATE_NOOP("trackmill::TForm1", "CBR 320 kbit/s"),
     "--alt-preset insane"},
    {"altpresetinsane1", "--alt-preset insane", QT_TRANSLATE_NOOP("trackmill::TForm1", "CBR 320 kbit/s")},
    {"N4", nullptr, nullptr},
    {"altpreset961", "--alt-preset 96", QT_TRANSLATE_NOOP("trackmill::TForm1", "ABR, about 96 kbit/s")},
    {"altpreset1121", "--alt-preset 112", QT_TRANSLATE_NOOP("trackmill::TForm1", "ABR, about 112 kbit/s")},
    {"altpreset1281", "--alt-preset 128", QT_TRANSLATE_NOOP("trackmill::TForm1", "ABR, about 128 kbit/s")},
    {"altpreset1601", "--alt-preset 160", QT_TRANSLATE_NOOP("trackmill::TForm1", "ABR, about 160 kbit/s")},
    {"N3", nullptr, nullptr},
    {"altpresetcbr961", "--alt-preset cbr 96", QT_TRANSLATE_NOOP("trackmill::TForm1", "CBR 96 kbit/s")},
    {"altpresetcbr1121", "--alt-preset cbr 112", QT_TRANSLATE_NOOP("trackmill::TForm1", "CBR 112 kbit/s")},
    {"altpresetcbr1281", "--alt-preset cbr 128", QT_TRANSLATE_NOOP("trackmill::TForm1", "CBR 128 kbit/s")},
    {"altpresetcbr1601", "--alt-preset cbr 160", QT_TRANSLATE_NOOP("trackmill::TForm1", "CBR 160 kbit/s")},
};

// opusenc encodes at a variable rate unless told otherwise; 160 is our default.
const TPresetItem kOpusPresetItems[5] = {
    {"opusbitrate961", "--bitrate 96", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 96 kbit/s")},
    {"opusbitrate1281", "--bitrate 128", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 128 kbit/s")},
    {"opusbitrate1601", "--bitrate 160", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 160 kbit/s")},
    {"opusbitrate1921", "--bitrate 192", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 192 kbit/s")},
    {"opusbitrate2561", "--bitrate 256", QT_TRANSLATE_NOOP("trackmill::TForm1", "VBR, about 256 kbit/s")},
};


namespace {


// Of the designed list's and panel's height, what goes to the added status line.
constexpr int kStatusRowShare = 20;

// The designed face draws 13-pixel lines; every designed distance grows with the
// face at hand, so a larger face or scale keeps the proportions.
int Scaled(const QWidget *w, int designed)
{
    return qRound(designed * QFontMetricsF(w->font()).height() / 13.0);
}

}  // namespace

void TForm1::CreateControls()
{
    // Only the weight is set, so a change of the window's face or size reaches these too.
    QFont bold;
    bold.setBold(true);
    auto label = [&](const char *name, const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(bold);
        return l;
    };
    auto button = [&](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        // A focused button takes Enter itself; otherwise Enter goes to TranscodeButton.
        b->setAutoDefault(true);
        return b;
    };
    auto check = [&](const char *name, const QString &caption, bool checked) {
        auto *c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        c->setChecked(checked);
        return c;
    };

    DecoderLabel = label("Label1", tr(platform::kDecoderOptionsCaption)
                                       .arg(QString::fromStdString(platform::DecoderName(
                                           QCoreApplication::applicationDirPath().toStdString()))));
    EncoderLabel = label("Label2", tr(platform::kEncoderOptionsCaption));
    FilesLabel = label("Label3", tr(platform::kFilesCaption));
    InfoLabel = label("Label4", tr("Fileinfo"));

    TranscodeButton = button("Button1", tr("&Transcode"), tr("Click here to start transcoding files"));
    TranscodeButton->setFont(bold);
    TranscodeButton->setDefault(true);

    DecoderOptionsEdit = new QLineEdit(QString::fromLatin1(platform::kDefaultDecoderOptions), this);
    DecoderOptionsEdit->setObjectName(QStringLiteral("Edit1"));
    // Its hint, the decoder's usage text, is asked for when it is first shown (eventFilter).
    DecoderOptionsEdit->installEventFilter(this);

    EncoderOptionsEdit = new QLineEdit(QString::fromLatin1(platform::kDefaultEncoderOptions), this);
    EncoderOptionsEdit->setObjectName(QStringLiteral("Edit2"));
    EncoderOptionsEdit->setToolTip(tr("Right click for list of predefined presets"));

    FileList = new QListView(this);
    FileList->setObjectName(QStringLiteral("ListBox1"));
    FileList->setToolTip(tr("Click on a filename to see fileinformation"));
    FileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A Tab stop after the designed thirteen; Delete removes the selected entries.
    FileList->setFocusPolicy(Qt::StrongFocus);
    FileList->setUniformItemSizes(true);
    FileList->installEventFilter(this);
    FileList->setItemDelegate(new TStateItemDelegate(FileList));
    // The state stays at the right edge; a long path is shortened in its middle instead.
    FileList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    cbID3v1 = check("cbID3v1", tr("Copy ID3V&1.x tags (if present)"), config::kCopyId3v1.defaultValue);
    cbID3v1->setToolTip(tr("Copy a source's ID3v1 tag into its MP3"));
    cbID3v2 = check("cbID3v2", tr("Copy ID3V&2.x tags (if present)"), config::kCopyId3v2.defaultValue);
    cbID3v2->setToolTip(tr("Copy a source's ID3v2 tag, pictures included, into its MP3"));
    ClearButton = button("Button2", tr("&Clear all"), tr("Clear all files in the list"));
    cbApetag = check("cbApetag", tr("Convert A&PE 1.x/2.x tags to "), config::kConvertApe.defaultValue);
    cbApetag->setToolTip(tr("Write a source's APE tag (Musepack's usual tag) into the MP3 as the tag chosen at the right"));
    DeleteButton = button("Button3", tr("&Delete items"), tr("Delete selected files from the list"));

    InfoPanel = new QListWidget(this);
    InfoPanel->setObjectName(QStringLiteral("lbInfo"));
    InfoPanel->setSelectionMode(QAbstractItemView::SingleSelection);
    InfoPanel->setFocusPolicy(Qt::ClickFocus);
    // A tag's line longer than the panel wraps rather than being cut off.
    InfoPanel->setWordWrap(true);
    InfoPanel->setResizeMode(QListView::Adjust);
    InfoPanel->setItemDelegate(new TWrapItemDelegate(InfoPanel));
    InfoPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    InfoPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    {
        QPalette pal = InfoPanel->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        InfoPanel->setPalette(pal);
    }

    cbShutdown = check("cbShutdown", tr("S&hutdown after transcoding"), config::kShutdown.defaultValue);
    cbShutdown->setToolTip(tr(
        "Enable this checkbox to automatically shutdown the PC when all files have been transcoded"));
    cbOutputdir = check("cbOutputdir", tr("Place transcoded files in this di&rectory"), config::kUseOutputDir.defaultValue);
    cbOutputdir->setToolTip(tr("Converted files will be placed in the same folder as\n"
                                           "the source files unless you check this option"));

    OutputFolderEdit = new TDirectoryEdit(this);
    OutputFolderEdit->setObjectName(QStringLiteral("DirectoryEdit1"));
    OutputFolderEdit->SetDirectInput(false);
    OutputFolderEdit->SetText(QString::fromStdString(platform::DefaultOutputFolder()));
    library_->libraryFolder = platform::DefaultLibraryFolder();

    CancelButton = button("Button4", tr("C&ancel"), tr("Transcoding will end after the current file has been processed"));
    CancelButton->setEnabled(false);

    ComboID3 = new TTagComboBox(this);
    ComboID3->setObjectName(QStringLiteral("ComboID3"));
    ComboID3->setEditable(true);
    ComboID3->setInsertPolicy(QComboBox::NoInsert);
    // In the order of config::kApeTarget's choices.
    ComboID3->addItems({QStringLiteral("ID3V1.1"), QStringLiteral("ID3V2.3")});
    ComboID3->setCurrentIndex(-1);
    ComboID3->setEditText(QStringLiteral("ComboID3"));
    ComboID3->setToolTip(tr("ID3V1.1 holds 30 characters a field; ID3V2.3 holds every field whole"));

    CreateAddedControls();
    CreateLayout();

    // Handlers bound by name, as the form binds them.
    connect(TranscodeButton, &QPushButton::clicked, this, [this] { TranscodeClick(TranscodeButton); });
    connect(ClearButton, &QPushButton::clicked, this, [this] { ClearClick(ClearButton); });
    connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteClick(DeleteButton); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelClick(CancelButton); });
    connect(cbOutputdir, &QCheckBox::clicked, this, [this] { cbOutputdirClick(cbOutputdir); });
    connect(ComboID3, &QComboBox::currentIndexChanged, this, [this] { ComboID3Change(ComboID3); });
    OutputFolderEdit->OnChange = [this](TDirectoryEdit *sender) { OutputFolderChange(sender); };
    // A click that changes nothing (the entry shown is clicked again) still shows the
    // entry afresh: its file may have gone or changed since.
    FileList->viewport()->installEventFilter(this);
    connect(FileList, &QAbstractItemView::clicked, this, [this] {
        if (listChanges_ == changesAtPress_)
            FileListClick(FileList);
    });
}

void TForm1::AddPresetsToContextMenu(QLineEdit *line, QMenu *presets, const char *menuName)
{
    // The line's own menu (Undo, Cut, Copy, Paste...) with the presets below it.
    line->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(line, &QWidget::customContextMenuRequested, this, [line, presets, menuName](const QPoint &at) {
        QMenu *menu = line->createStandardContextMenu();
        menu->setObjectName(QString::fromLatin1(menuName));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        menu->addMenu(presets);
        menu->popup(line->mapToGlobal(at));
    });
}

void TForm1::BindList()
{
    // The delegate draws by the model's roles and tones.
    static_assert(TListModel::StateRole == kStateTextRole && TListModel::ToneRole == kStateToneRole);
    static_assert(int(TRowTone::Plain) == int(TStateTone::Plain) && int(TRowTone::Active) == int(TStateTone::Active) &&
                  int(TRowTone::Failed) == int(TStateTone::Failed));
    FileList->setModel(&presenter_->Rows());
    // Rows that come and go move the current row and the selection too: not the user's doing.
    const auto userChange = [this] {
        if (!presenter_ || presenter_->Rows().Changing() || (view_ && view_->Updating())) return;
        ++listChanges_;
        FileListClick(FileList);
    };
    connect(FileList->selectionModel(), &QItemSelectionModel::currentRowChanged, this, userChange);
    connect(FileList->selectionModel(), &QItemSelectionModel::selectionChanged, this, userChange);
}

void TForm1::CreateAddedControls()
{
    const auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoDefault(true);
        return b;
    };
    AddFilesButton = button("Button5", tr("Add &files..."), tr("Choose Musepack files to add to the list (Ctrl+O)"));
    AddFolderButton = button("Button6", tr("Add fold&er..."), tr("Choose a folder whose Musepack files are added to the list"));

    // Its tooltip says the current choices.
    OutputNamesButton = button("Button7", tr("Output &names..."), QString());
    OutputNamesButton->setToolTip(PlainTip(DescribeLibrary(*library_)));

    ExistingLabel = new QLabel(tr("E&xisting files"), this);
    ExistingLabel->setObjectName(QStringLiteral("Label5"));
    ComboExisting = new QComboBox(this);
    ComboExisting->setObjectName(QStringLiteral("ComboExisting"));
    // In the order of config::kExistingFiles' choices.
    ComboExisting->addItems({tr("Skip"), tr("Overwrite"), tr("Keep both"), tr("Update tags")});
    ComboExisting->setToolTip(tr("What happens when an MP3 of the same name is already there;\n"
                                 "\"Update tags\" gives an MP3 converted before its source was retagged\n"
                                 "the source's present tags"));
    ExistingLabel->setBuddy(ComboExisting);

    JobsLabel = new QLabel(tr("Parallel con&versions"), this);
    JobsLabel->setObjectName(QStringLiteral("Label6"));
    JobsSpin = new QSpinBox(this);
    JobsSpin->setObjectName(QStringLiteral("SpinEdit1"));
    JobsSpin->setRange(1, config::kMaxJobs);
    JobsSpin->setToolTip(tr("How many files are converted at once; one for each processor core uses the whole machine"));
    JobsLabel->setBuddy(JobsSpin);

    // Beside the encoder line's caption; each format keeps its own line, shown in Edit2's place.
    FormatLabel = new QLabel(tr("&Output format"), this);
    FormatLabel->setObjectName(QStringLiteral("Label7"));
    // A caption above its box, as the designed captions are.
    QFont bold;
    bold.setBold(true);
    FormatLabel->setFont(bold);
    ComboFormat = new QComboBox(this);
    ComboFormat->setObjectName(QStringLiteral("ComboFormat"));
    // In the order of config::kOutputFormat's choices; the names of formats are not translated.
    ComboFormat->addItems({QStringLiteral("MP3"), QStringLiteral("Opus")});
    ComboFormat->setToolTip(tr("The files written: MP3 by lame or Opus by opusenc;\n"
                               "each format keeps its own encoder options"));
    FormatLabel->setBuddy(ComboFormat);
    OpusOptionsEdit = new QLineEdit(QString::fromLatin1(platform::kDefaultOpusOptions), this);
    OpusOptionsEdit->setObjectName(QStringLiteral("OpusOptionsEdit"));
    OpusOptionsEdit->setToolTip(EncoderOptionsEdit->toolTip());
    OpusOptionsEdit->hide();

    StatusArea1 = new TStatusArea(this);

    connect(ComboFormat, &QComboBox::currentIndexChanged, this, [this] { ComboFormatChange(ComboFormat); });
    connect(AddFilesButton, &QPushButton::clicked, this, [this] { AddFilesClick(AddFilesButton); });
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, [this] {
        if (AddFilesButton->isEnabled()) AddFilesClick(AddFilesButton);
    });
    connect(AddFolderButton, &QPushButton::clicked, this, [this] { AddFolderClick(AddFolderButton); });
    connect(OutputNamesButton, &QPushButton::clicked, this, [this] { OutputNamesClick(OutputNamesButton); });
    connect(StatusArea1, &TStatusArea::ShowLogClicked, this, [this] { StatusArea1ShowLog(StatusArea1); });
    connect(StatusArea1, &TStatusArea::StopClicked, this, [this] { StatusArea1Stop(StatusArea1); });
    connect(StatusArea1, &TStatusArea::DetailsClicked, this, [this] { presenter_->ShowDetails(); });
    connect(StatusArea1, &TStatusArea::OpenFolderClicked, this, [this] { presenter_->OpenOutputFolder(); });
}

void TForm1::CreateLayout()
{
    // Two columns: the option lines, tag switches and the list on the left, the
    // information panel on the right; below them the list's buttons with the output
    // folder, and Transcode / Cancel. The grid is the window's first row; rows added
    // to rows_ later come below it.
    auto gap = [this](QBoxLayout *box, int designed) {
        auto *space = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
        box->addSpacerItem(space);
        gaps_.push_back({space, designed});
    };
    auto box = [](QBoxLayout::Direction direction) {
        auto *b = new QBoxLayout(direction);
        b->setSpacing(0);
        return b;
    };

    apeRow_ = box(QBoxLayout::LeftToRight);
    apeRow_->addWidget(cbApetag);
    gap(apeRow_, 4);
    apeRow_->addWidget(ComboID3);
    apeRow_->addStretch(1);
    existingRow_ = box(QBoxLayout::LeftToRight);
    existingRow_->addWidget(ExistingLabel);
    gap(existingRow_, 4);
    existingRow_->addWidget(ComboExisting);
    existingRow_->addStretch(1);
    // The tag switches on the left, the shutdown switch and the added output choices on
    // the right; ArrangeSwitches places them for the room there is.
    switches_ = new QGridLayout;
    switches_->setSpacing(0);
    ArrangeSwitches(TSwitches::Aligned);

    // The output format at the encoder line's right end, its caption beside the line's
    // own: the rows keep their designed heights, the line gives up the box's width.
    auto *encoder = new QGridLayout;
    encoder->setSpacing(0);
    const auto gridGap = [this, encoder](int row, int column, int designed) {
        auto *space = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
        encoder->addItem(space, row, column);
        gaps_.push_back({space, designed});
    };
    encoder->addWidget(EncoderLabel, 0, 0);
    encoder->addWidget(FormatLabel, 0, 2);
    gridGap(1, 0, 3);
    encoder->addWidget(EncoderOptionsEdit, 2, 0);
    encoder->addWidget(OpusOptionsEdit, 2, 0);
    gridGap(2, 1, 8);
    encoder->addWidget(ComboFormat, 2, 2);
    encoder->setColumnStretch(0, 1);

    QBoxLayout *left = box(QBoxLayout::TopToBottom);
    left->addWidget(DecoderLabel);
    gap(left, 3);
    left->addWidget(DecoderOptionsEdit);
    gap(left, 3);
    left->addLayout(encoder);
    gap(left, 11);
    left->addLayout(switches_);
    gap(left, 7);
    left->addWidget(FilesLabel);
    gap(left, 3);
    left->addWidget(FileList, 1);

    QBoxLayout *right = box(QBoxLayout::TopToBottom);
    right->addWidget(InfoLabel);
    gap(right, 3);
    right->addWidget(InfoPanel, 1);

    QBoxLayout *folder = box(QBoxLayout::TopToBottom);
    folder->addWidget(cbOutputdir);
    folder->addWidget(OutputFolderEdit);
    folder->addStretch(1);
    // The list's buttons: the designed two, and the two that add files below them.
    QBoxLayout *clearDelete = box(QBoxLayout::LeftToRight);
    clearDelete->addWidget(ClearButton, 0, Qt::AlignTop);
    gap(clearDelete, 5);
    clearDelete->addWidget(DeleteButton, 0, Qt::AlignTop);
    clearDelete->addStretch(1);
    QBoxLayout *adding = box(QBoxLayout::LeftToRight);
    adding->addWidget(AddFilesButton);
    gap(adding, 5);
    adding->addWidget(AddFolderButton);
    adding->addStretch(1);
    QBoxLayout *listEdits = box(QBoxLayout::TopToBottom);
    listEdits->addLayout(clearDelete);
    gap(listEdits, 7);
    listEdits->addLayout(adding);
    QBoxLayout *listButtons = box(QBoxLayout::LeftToRight);
    folds_.push_back(listButtons);
    listButtons->addLayout(listEdits);
    gap(listButtons, 8);
    listButtons->addStretch(1);
    listButtons->addLayout(folder);

    QBoxLayout *jobButtons = box(QBoxLayout::TopToBottom);
    jobButtons->addWidget(TranscodeButton);
    gap(jobButtons, 7);
    jobButtons->addWidget(CancelButton);

    // The status line across the window, "Parallel conversions" at its end, under Cancel.
    QBoxLayout *parallel = box(QBoxLayout::LeftToRight);
    parallel->addWidget(JobsLabel);
    gap(parallel, 4);
    parallel->addWidget(JobsSpin);
    QBoxLayout *status = box(QBoxLayout::LeftToRight);
    folds_.push_back(status);
    status->addWidget(StatusArea1, 1);
    gap(status, 15);
    status->addLayout(parallel);
    status->setAlignment(parallel, Qt::AlignRight | Qt::AlignVCenter);

    grid_ = new QGridLayout;
    grid_->addLayout(left, 0, 0);
    grid_->addLayout(right, 0, 1);
    grid_->addLayout(listButtons, 1, 0, Qt::AlignTop);
    grid_->addLayout(jobButtons, 1, 1, Qt::AlignTop);
    grid_->addLayout(status, 2, 0, 1, 2);
    // The extra room of a larger window goes to the list and the panel, in the designed
    // proportion of their widths.
    grid_->setColumnStretch(0, 441);
    grid_->setColumnStretch(1, 161);
    grid_->setRowStretch(0, 1);

    rows_ = new QVBoxLayout(this);
    rows_->addLayout(grid_, 1);

    // A wrapped caption needs its lines' height; the label tells only after a resize.
    FilesLabel->installEventFilter(this);
}

void TForm1::ArrangeSwitches(TSwitches arrangement)
{
    for (QWidget *w : {static_cast<QWidget *>(cbID3v1), static_cast<QWidget *>(cbID3v2),
                       static_cast<QWidget *>(cbShutdown), static_cast<QWidget *>(OutputNamesButton)})
        switches_->removeWidget(w);
    for (QLayout *row : {static_cast<QLayout *>(apeRow_), static_cast<QLayout *>(existingRow_)}) {
        switches_->removeItem(row);
        row->setParent(nullptr);
    }
    for (int column = 0; column < 3; ++column) {
        switches_->setColumnStretch(column, 0);
        switches_->setColumnMinimumWidth(column, 0);
    }
    const int gap = Scaled(this, 8);
    switches_->addWidget(cbID3v1, 0, 0);
    switches_->addWidget(cbID3v2, 1, 0);
    switch (arrangement) {
    case TSwitches::Aligned:
        // Two columns apart, the right one as far right as the room allows.
        switches_->setHorizontalSpacing(0);
        switches_->setColumnMinimumWidth(1, gap);
        switches_->setColumnStretch(1, 1);
        switches_->addLayout(apeRow_, 2, 0);
        switches_->addWidget(cbShutdown, 0, 2, Qt::AlignLeft);
        switches_->addWidget(OutputNamesButton, 1, 2, Qt::AlignLeft);
        switches_->addLayout(existingRow_, 2, 2, Qt::AlignLeft);
        break;
    case TSwitches::Ragged:
        // Row by row, each pair as narrow as it can be: the widest on the left with the
        // narrowest on the right.
        switches_->setHorizontalSpacing(gap);
        switches_->setColumnStretch(1, 1);
        switches_->addLayout(apeRow_, 2, 0, 1, 2);
        switches_->addWidget(cbShutdown, 0, 1, 1, 2, Qt::AlignRight);
        switches_->addLayout(existingRow_, 1, 1, 1, 2, Qt::AlignRight);
        switches_->addWidget(OutputNamesButton, 2, 2, Qt::AlignRight);
        break;
    case TSwitches::Stacked:
        switches_->setHorizontalSpacing(0);
        switches_->addLayout(apeRow_, 2, 0);
        switches_->addWidget(cbShutdown, 3, 0);
        switches_->addWidget(OutputNamesButton, 4, 0);
        switches_->addLayout(existingRow_, 5, 0);
        break;
    }
}

void TForm1::ApplyMetrics()
{
    const auto scaled = [this](int designed) { return Scaled(this, designed); };
    rows_->setContentsMargins(scaled(8), scaled(8), scaled(11), scaled(6));
    rows_->setSpacing(scaled(7));
    grid_->setHorizontalSpacing(scaled(15));
    grid_->setVerticalSpacing(scaled(7));
    for (const auto &[space, designed] : gaps_)
        space->changeSize(scaled(designed), scaled(designed), QSizePolicy::Fixed, QSizePolicy::Fixed);
    // However small the window, the panel keeps room for its widest word beside a scroll bar.
    const QFontMetrics panel(InfoPanel->font());
    int widest = 0;
    for (const char *line : {"Streamversion: %1", "Channelmode: %1", "Framecount: %1", "Samplerate: %1 Hz",
                             "Truncated: the stream ends after about %1 of %2 secs"}) {
        const QString said = QCoreApplication::translate("InfoPanel", line);
        widest = std::max(widest, panel.horizontalAdvance(QStringLiteral("   ") + said.left(said.indexOf(u':') + 1)));
    }
    const int margin = InfoPanel->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, InfoPanel) + 1;
    panelWidth_ = widest + 2 * margin + 2 * InfoPanel->frameWidth() +
                  InfoPanel->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, InfoPanel);
    InfoPanel->setMinimumWidth(panelWidth_);
    rows_->invalidate();
}

QSize TForm1::ClientArea() const
{
    const QScreen *on = isVisible() ? screen() : QGuiApplication::primaryScreen();
    if (!on) return QSize(kClientWidth, kClientHeight) * 2;
    // Before the window manager has framed the window, leave room for a title bar.
    QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) frame = QSize(Scaled(this, 8), Scaled(this, 32));
    return on->availableGeometry().size() - frame;
}

QSize TForm1::FitToArea(const QSize &area)
{
    // Nested layouts keep what they computed until the top one is activated anew.
    const auto needed = [this] {
        rows_->invalidate();
        rows_->activate();
        return rows_->totalMinimumSize();
    };
    // The designed rows unless the area cannot hold them even with the list and the
    // panel at their smallest. Then, one step at a time: the status line gives up the room
    // it keeps for buttons not shown, the panel gives up the room of its widest word,
    // FilesLabel wraps, the switches on the right pair with those on the left row by row,
    // then go below them, the output folder goes below the list's buttons, "Parallel
    // conversions" below the status line.
    FilesLabel->setWordWrap(false);
    FilesLabel->setMinimumHeight(0);
    InfoPanel->setMinimumWidth(panelWidth_);
    StatusArea1->SetRoomForButtons(true);
    ArrangeSwitches(TSwitches::Aligned);
    for (QBoxLayout *fold : folds_) fold->setDirection(QBoxLayout::LeftToRight);
    // Only there may the window widen when those buttons appear.
    if (needed().width() > area.width()) StatusArea1->SetRoomForButtons(false);
    // Every step after this one makes the window taller, which so narrow a screen may not have.
    if (const int over = needed().width() - area.width(); over > 0)
        InfoPanel->setMinimumWidth(std::max(0, panelWidth_ - over));
    if (needed().width() > area.width()) FilesLabel->setWordWrap(true);
    if (needed().width() > area.width()) ArrangeSwitches(TSwitches::Ragged);
    if (needed().width() > area.width()) ArrangeSwitches(TSwitches::Stacked);
    for (QBoxLayout *fold : folds_)
        if (needed().width() > area.width()) fold->setDirection(QBoxLayout::TopToBottom);

    // The designed size, or more where the face needs it: the list and the panel at
    // their designed sizes at least.
    grid_->setColumnMinimumWidth(0, Scaled(this, 441));
    grid_->setColumnMinimumWidth(1, Scaled(this, 161));
    // The status line, which the designed window lacks, takes kStatusRowShare of the
    // list's and the panel's designed height, so that the window grows by less than it.
    const int listHeight = FileList->minimumHeight(), panelHeight = InfoPanel->minimumHeight();
    FileList->setMinimumHeight(Scaled(this, 153 - kStatusRowShare));
    InfoPanel->setMinimumHeight(Scaled(this, 297 - kStatusRowShare));
    const QSize preferred = needed();
    grid_->setColumnMinimumWidth(0, 0);
    grid_->setColumnMinimumWidth(1, 0);
    FileList->setMinimumHeight(listHeight);
    InfoPanel->setMinimumHeight(panelHeight);
    return preferred.boundedTo(area).expandedTo(needed());
}

void TForm1::CreatePresetMenu()
{
    PresetsMenu = CreatePresetMenu("PopupMenu1", kPresetItems, std::size(kPresetItems), EncoderOptionsEdit);
    OpusPresetsMenu = CreatePresetMenu("OpusPresetsMenu", kOpusPresetItems, std::size(kOpusPresetItems), OpusOptionsEdit);
    AddPresetsToContextMenu(EncoderOptionsEdit, PresetsMenu, "Edit2Menu");
    AddPresetsToContextMenu(OpusOptionsEdit, OpusPresetsMenu, "OpusOptionsEditMenu");
}

QMenu *TForm1::CreatePresetMenu(const char *name, const TPresetItem *items, std::size_t count, QLineEdit *line)
{
    auto *menu = new QMenu(tr("&Presets"), this);
    menu->setObjectName(QString::fromLatin1(name));
    for (const TPresetItem &item : std::span(items, count)) {
        QAction *action = item.caption ? menu->addAction(QString::fromLatin1(item.caption) + QStringLiteral(": ") +
                                                        tr(item.description))
                                       : menu->addSeparator();
        action->setObjectName(QString::fromLatin1(item.name));
        if (!item.caption) continue;
        // The caption is what the encoder line gets (but where lame wants it otherwise);
        // the menu also says what it means.
        action->setData(QString::fromLatin1(item.writes ? item.writes : item.caption));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, action] { PresetClick(action); });
    }
    // The preset the line holds now is marked: the item of that caption, not another that writes it.
    connect(menu, &QMenu::aboutToShow, this, [menu, items, count, line] {
        const QList<QAction *> actions = menu->actions();
        for (int i = 0; i < actions.size() && i < int(count); ++i)
            if (actions[i]->isCheckable())
                actions[i]->setChecked(QLatin1String(items[i].caption) == line->text().trimmed());
    });
    return menu;
}

void TForm1::SetTabOrder()
{
    // The designed thirteen, then the list, then the added controls; but the format comes
    // where it sits, before the encoder line it chooses.
    const QList<QWidget *> order = {DecoderOptionsEdit,         ComboFormat, EncoderOptionsEdit, OpusOptionsEdit,
                                    cbID3v1,       cbID3v2,
                                    cbApetag,      ComboID3,
                                    cbShutdown,    cbOutputdir,
                                    OutputFolderEdit, static_cast<QWidget *>(OutputFolderEdit->Button()),
                                    TranscodeButton,
                                    ClearButton,       DeleteButton,
                                    CancelButton,       FileList,
                                    AddFilesButton,       AddFolderButton,
                                    OutputNamesButton,       ComboExisting,
                                    StatusArea1->DetailsButton(), StatusArea1->OpenFolderButton(),
                                    StatusArea1->StopButton(), StatusArea1->ShowLogButton(),
                                    JobsSpin};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace trackmill
