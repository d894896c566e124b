#include "widgets/ToolEdit.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace trackmill {

namespace {
constexpr int kButtonWidth = 21;
}

QString StripTrailingSeparator(const QString &folder)
{
    QString result = folder;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

TDirectoryEdit::TDirectoryEdit(QWidget *parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(edit_))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_);
    setFocusProxy(edit_);

    button_->setObjectName(QStringLiteral("Button"));
    button_->setText(QStringLiteral("…"));
    button_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    button_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button_->setCursor(Qt::ArrowCursor);
    // Reached with Tab after the field; Space or Enter on it browses.
    button_->setFocusPolicy(Qt::TabFocus);
    button_->setToolTip(tr("Choose the folder (Alt+Down)"));
    button_->setAutoRaise(true);
    edit_->setTextMargins(0, 0, kButtonWidth, 0);
    edit_->setToolTip(tr("%1 or the button at the right chooses the folder")
                          .arg(clickKey_.toString(QKeySequence::NativeText)));
    edit_->installEventFilter(this);

    connect(button_, &QToolButton::clicked, this, &TDirectoryEdit::DoClick);
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString &text) {
        emit Change(text);
        if (OnChange)
            OnChange(this);
    });
}

QString TDirectoryEdit::Text() const
{
    return edit_->text();
}

void TDirectoryEdit::SetText(const QString &text)
{
    if (text != edit_->text())
        edit_->setText(text);
}

void TDirectoryEdit::SetDirectInput(bool on)
{
    directInput_ = on;
    edit_->setReadOnly(!on);
}

QString TDirectoryEdit::DefaultFolderDialog(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QString TDirectoryEdit::StartFolder() const
{
    QString start = Text();
    if (start.isEmpty())
        start = initialDir_.isEmpty() ? QStringLiteral("/") : initialDir_;
    if (!QFileInfo(start).isDir())
        start = QStringLiteral("/");
    return start;
}

void TDirectoryEdit::DoClick()
{
    if (!isEnabled())
        return;
    const QString start = StartFolder();
    const QString chosen = dialog_ ? dialog_(window(), dialogText_, start)
                                   : DefaultFolderDialog(window(), dialogText_, start);
    if (edit_->isVisible() && edit_->focusPolicy() != Qt::NoFocus)
        edit_->setFocus(Qt::OtherFocusReason);
    if (chosen.isEmpty())
        return;
    // As the system writes paths: the dialog gives "/" on Windows too.
    const QString folder = QDir::toNativeSeparators(StripTrailingSeparator(chosen));
    edit_->deselect();
    SetText(folder);
    if (QFileInfo(folder).isDir())
        initialDir_ = folder;
}

bool TDirectoryEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_) {
        switch (event->type()) {
        case QEvent::Resize: {
            const QSize size = static_cast<QResizeEvent *>(event)->size();
            const int h = std::max(0, size.height() - 4);
            button_->setGeometry(size.width() - kButtonWidth - 2, 2, kButtonWidth, h);
            break;
        }
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (!clickKey_.isEmpty() && QKeySequence(key->keyCombination()) == clickKey_) {
                DoClick();
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            // The read-only field should not look like it invites overtyping.
            if (!directInput_)
                QMetaObject::invokeMethod(edit_, &QLineEdit::deselect, Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace trackmill
