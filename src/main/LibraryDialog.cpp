#include "main/LibraryDialog.h"

#include "config/StoredSettings.h"
#include "widgets/ToolEdit.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>

namespace trackmill {

namespace {

constexpr const char *kFolderHint = QT_TRANSLATE_NOOP(
    "trackmill::TLibraryDialog",
    "A source below it keeps its path relative to it in the output folder; a source outside it keeps "
    "its path relative to the dropped folder's parent. Empty: none.");

}  // namespace

TLibraryDialog::TLibraryDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LibraryDialog"));
    setWindowTitle(tr("Output names"));

    FolderEdit = new TDirectoryEdit(this);
    FolderEdit->setObjectName(QStringLiteral("FolderEdit"));
    FolderEdit->SetDialogText(tr("Library folder"));
    FolderEdit->setToolTip(tr(kFolderHint) + tr("\nAlt+Down chooses a folder."));
    auto *folderLabel = new QLabel(tr("&Library folder"), this);
    // The line itself: a label gives focus only to a buddy that takes it.
    folderLabel->setBuddy(FolderEdit->Edit());
    auto *folderHint = new QLabel(tr(kFolderHint), this);
    folderHint->setWordWrap(true);
    folderHint->setForegroundRole(QPalette::PlaceholderText);

    auto *names = new QGroupBox(tr("Output names"), this);
    rbSource = new QRadioButton(tr("&Same folders as the sources"), names);
    rbSource->setObjectName(QStringLiteral("rbSource"));
    rbTags = new QRadioButton(tr("From the &tags"), names);
    rbTags->setObjectName(QStringLiteral("rbTags"));
    rbFlat = new QRadioButton(tr("O&ne folder"), names);
    rbFlat->setObjectName(QStringLiteral("rbFlat"));
    // The arrow keys move between these three only.
    auto *group = new QButtonGroup(this);
    for (QRadioButton *b : {rbSource, rbTags, rbFlat}) group->addButton(b);
    EditPattern = new QLineEdit(names);
    EditPattern->setObjectName(QStringLiteral("EditPattern"));
    EditPattern->setPlaceholderText(QString::fromLatin1(kDefaultNamePattern));
    EditPattern->setToolTip(tr(
        "Fields: %artist%, %albumartist%, %album%, %title%, %track%, %year%, %disc%, %genre%, %filename%\n"
        "A \"/\" starts a folder; an empty line uses the default pattern.\n"
        "Text in [ ] is left out when a field in it is empty: [%year% - ]%album%; [[ and ]] are brackets.\n"
        "A file whose tags leave a folder empty keeps its own folders, and its own name where they leave the name empty."));
    LabelPattern = new QLabel(tr("&Pattern"), names);
    LabelPattern->setBuddy(EditPattern);

    auto *patternRow = new QHBoxLayout;
    // Indented under its radio button, to show which choice it belongs to.
    patternRow->addSpacing(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                           style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
    patternRow->addWidget(LabelPattern);
    patternRow->addWidget(EditPattern, 1);
    auto *namesLayout = new QVBoxLayout(names);
    namesLayout->addWidget(rbSource);
    namesLayout->addWidget(rbTags);
    namesLayout->addLayout(patternRow);
    namesLayout->addWidget(rbFlat);

    cbCopyArt = new QCheckBox(tr("Cop&y folder art"), this);
    cbCopyArt->setObjectName(QStringLiteral("cbCopyArt"));
    cbCopyArt->setToolTip(tr("A source folder's folder, cover, front or album picture\n"
                                         "is copied once beside its MP3s"));
    cbEmbedArt = new QCheckBox(tr("&Embed folder art when a file has none"), this);
    cbEmbedArt->setObjectName(QStringLiteral("cbEmbedArt"));
    cbEmbedArt->setToolTip(tr("The folder's picture becomes the front cover of an MP3\n"
                                          "whose source has no picture"));

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *rows = new QVBoxLayout(this);
    rows->addWidget(folderLabel);
    rows->addWidget(FolderEdit);
    rows->addWidget(folderHint);
    rows->addSpacing(rows->spacing());
    rows->addWidget(names);
    rows->addWidget(cbCopyArt);
    rows->addWidget(cbEmbedArt);
    rows->addStretch(1);
    rows->addWidget(Buttons);
    // Wide enough for the default pattern and a usual folder; the hint wraps to it.
    setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QString::fromLatin1(kDefaultNamePattern)) * 2);

    // In the order they are seen; Tab leaves the radio buttons at the chosen one.
    setTabOrder(FolderEdit, rbSource);
    setTabOrder(rbSource, rbTags);
    setTabOrder(rbTags, EditPattern);
    setTabOrder(EditPattern, rbFlat);
    setTabOrder(rbFlat, cbCopyArt);
    setTabOrder(cbCopyArt, cbEmbedArt);
    setTabOrder(cbEmbedArt, Buttons);

    for (QRadioButton *b : {rbSource, rbTags, rbFlat})
        connect(b, &QRadioButton::toggled, this, [this] { LayoutChanged(); });
    SetChoices(TForm1::TLibrarySettings{});
}

void TLibraryDialog::SetChoices(const TForm1::TLibrarySettings &settings)
{
    shown_ = settings;
    shownFolder_ = ShownPath(settings.libraryFolder);
    shownPattern_ = QString::fromStdString(settings.namePattern);
    FolderEdit->SetText(shownFolder_);
    EditPattern->setText(shownPattern_);
    switch (settings.layout) {
    case TOutputLayout::Source: rbSource->setChecked(true); break;
    case TOutputLayout::Tags: rbTags->setChecked(true); break;
    case TOutputLayout::Flat: rbFlat->setChecked(true); break;
    }
    cbCopyArt->setChecked(settings.copyFolderArt);
    cbEmbedArt->setChecked(settings.embedFolderArt);
    LayoutChanged();
}

TForm1::TLibrarySettings TLibraryDialog::Choices() const
{
    TForm1::TLibrarySettings s = shown_;
    const QString folder = FolderEdit->Text();
    if (folder != shownFolder_)
        s.libraryFolder = folder.trimmed().isEmpty() ? std::string()
                                                     : config::NormalLibraryFolder(QFile::encodeName(folder).toStdString());
    const QString pattern = EditPattern->text();
    if (pattern.trimmed().isEmpty())
        s.namePattern = kDefaultNamePattern;
    else if (pattern != shownPattern_)
        s.namePattern = pattern.toStdString();
    s.layout = rbTags->isChecked()   ? TOutputLayout::Tags
               : rbFlat->isChecked() ? TOutputLayout::Flat
                                     : TOutputLayout::Source;
    s.copyFolderArt = cbCopyArt->isChecked();
    s.embedFolderArt = cbEmbedArt->isChecked();
    return s;
}

void TLibraryDialog::LayoutChanged()
{
    const bool tags = rbTags->isChecked();
    EditPattern->setEnabled(tags);
    LabelPattern->setEnabled(tags);
}

QString DescribeLibrary(const TForm1::TLibrarySettings &settings)
{
    QString names;
    switch (settings.layout) {
    case TOutputLayout::Source:
        names = TLibraryDialog::tr("Same folders as the sources");
        if (!settings.libraryFolder.empty())
            names += TLibraryDialog::tr(", library folder ") +
                     ShownPath(settings.libraryFolder);
        break;
    case TOutputLayout::Tags:
        names = TLibraryDialog::tr("From the tags: ") + QString::fromStdString(settings.namePattern);
        break;
    case TOutputLayout::Flat:
        names = TLibraryDialog::tr("One folder");
        break;
    }
    const bool copy = settings.copyFolderArt, embed = settings.embedFolderArt;
    const QString art = copy && embed ? TLibraryDialog::tr("folder art copied and embedded")
                        : copy        ? TLibraryDialog::tr("folder art copied")
                        : embed       ? TLibraryDialog::tr("folder art embedded")
                                      : TLibraryDialog::tr("no folder art");
    return names + QStringLiteral("; ") + art;
}

}  // namespace trackmill
