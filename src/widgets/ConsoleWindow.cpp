#include "widgets/ConsoleWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace trackmill {

namespace {
// Enough for a file's worth of encoder progress without growing without bound.
constexpr int kMaxLines = 5000;
constexpr QSize kStartSize(640, 320);
}  // namespace

struct TConsoleWindow::Page {
    std::unique_ptr<QTextDocument> doc;
    QStringDecoder decoder{QStringDecoder::Utf8};
    bool pendingCr = false;
    bool running = true;
};

TConsoleWindow::TConsoleWindow(QWidget *parent)
    : QWidget(parent, Qt::Window),
      label_(new QLabel(tr("&Showing:"), this)),
      files_(new QComboBox(this)),
      view_(new QPlainTextEdit(this)),
      showConsole_(new QCheckBox(tr("Show &console during jobs"), this)),
      blank_(new QTextDocument(this))
{
    setObjectName(QStringLiteral("ConsoleWindow"));
    setWindowTitle(tr("Trackmill console"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *choice = new QHBoxLayout;
    choice->setContentsMargins(4, 2, 4, 2);
    choice->addWidget(label_);
    choice->addWidget(files_, 1);
    showConsole_->setChecked(true);
    showConsole_->setToolTip(tr("Unticked, this window no longer opens by itself; \"Show log\" still has every file's output"));
    label_->setBuddy(files_);
    files_->setToolTip(tr("The files being converted; the output of the one chosen is shown"));
    files_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    files_->setMinimumContentsLength(12);
    layout->addLayout(choice);
    layout->addWidget(view_, 1);
    auto *below = new QHBoxLayout;
    below->setContentsMargins(4, 2, 4, 2);
    below->addWidget(showConsole_);
    layout->addLayout(below);
    // Placed beside the main window it may get little room.
    view_->setMinimumSize(1, 1);
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    blank_->setDocumentLayout(new QPlainTextDocumentLayout(blank_));
    view_->setDocument(blank_);
    connect(files_, &QComboBox::activated, this, [this](int index) {
        followNewest_ = false;
        Show(files_->itemData(index).toULongLong());
    });
    resize(kStartSize);
}

void TConsoleWindow::SetShowDuringJobs(bool show)
{
    showDuringJobs_ = show;
    if (showConsole_->isChecked() != show) showConsole_->setChecked(show);
}

TConsoleWindow::~TConsoleWindow()
{
    view_->setDocument(blank_);
}

void TConsoleWindow::BeginJob()
{
    view_->setDocument(blank_);
    files_->clear();
    pages_.clear();
    shown_.reset();
    followNewest_ = true;
}

void TConsoleWindow::BeginFile(std::uint64_t id, const QString &name, const QString &commandLine)
{
    auto page = std::make_unique<Page>();
    page->doc = std::make_unique<QTextDocument>();
    page->doc->setDocumentLayout(new QPlainTextDocumentLayout(page->doc.get()));
    page->doc->setDefaultFont(view_->font());
    page->doc->setMaximumBlockCount(kMaxLines);
    Page &added = *pages_.emplace(id, std::move(page)).first->second;
    Append(added, QStringLiteral("$ ") + commandLine + QLatin1Char('\n'));
    files_->addItem(name, QVariant::fromValue<qulonglong>(id));
    const bool shownEnded = shown_ && !pages_.at(*shown_)->running;
    if (!shown_ || followNewest_ || shownEnded) Show(id);
    if (showDuringJobs_ && !isVisible()) {
        Place();
        show();
    }
}

void TConsoleWindow::AppendOutput(std::uint64_t id, const QByteArray &bytes)
{
    const auto found = pages_.find(id);
    if (found == pages_.end()) return;
    Page &page = *found->second;
    Append(page, page.decoder.decode(bytes));
}

void TConsoleWindow::EndFile(std::uint64_t id, const QString &last)
{
    const auto found = pages_.find(id);
    if (found == pages_.end()) return;
    Page &page = *found->second;
    Append(page, page.decoder.decode(QByteArray()));
    if (!page.doc->lastBlock().text().isEmpty()) Append(page, QStringLiteral("\n"));
    Append(page, QLatin1Char('[') + last + QStringLiteral("]\n"));
    page.running = false;
    files_->removeItem(files_->findData(QVariant::fromValue<qulonglong>(id)));
    if (shown_ != id) {
        pages_.erase(found);
        return;
    }
    // A file the user chose has ended: from now on the newest is followed again.
    followNewest_ = true;
    if (files_->count() > 0) Show(files_->itemData(files_->count() - 1).toULongLong());
}

void TConsoleWindow::EndJob()
{
    hide();
}

QString TConsoleWindow::Text() const
{
    return view_->toPlainText();
}

void TConsoleWindow::Show(std::uint64_t id)
{
    const auto found = pages_.find(id);
    if (found == pages_.end()) return;
    if (shown_ && *shown_ != id) {
        const auto old = pages_.find(*shown_);
        if (old != pages_.end() && !old->second->running) {
            view_->setDocument(blank_);
            pages_.erase(old);
        }
    }
    shown_ = id;
    view_->setDocument(found->second->doc.get());
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
    const int index = files_->findData(QVariant::fromValue<qulonglong>(id));
    if (index >= 0) files_->setCurrentIndex(index);
}

void TConsoleWindow::Append(Page &page, const QString &text)
{
    const bool shown = view_->document() == page.doc.get();
    QScrollBar *bar = view_->verticalScrollBar();
    const bool atBottom = !shown || bar->value() == bar->maximum();

    QTextCursor cursor(page.doc.get());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    QString run;
    auto flush = [&] {
        if (!run.isEmpty()) cursor.insertText(run);
        run.clear();
    };
    for (const QChar ch : text) {
        if (page.pendingCr) {
            page.pendingCr = false;
            if (ch == QLatin1Char('\n')) {
                flush();
                cursor.insertBlock();
                continue;
            }
            // A lone carriage return: what follows overwrites the current line.
            flush();
            cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        if (ch == QLatin1Char('\r')) {
            page.pendingCr = true;
        } else if (ch == QLatin1Char('\n')) {
            flush();
            cursor.insertBlock();
        } else {
            run.append(ch);
        }
    }
    flush();
    cursor.endEditBlock();

    if (shown && atBottom) bar->setValue(bar->maximum());
}

void TConsoleWindow::Place()
{
    const QScreen *on = parentWidget() ? parentWidget()->screen() : screen();
    if (userGeometry_ && on && on->availableGeometry().contains(*userGeometry_))
        placed_ = *userGeometry_;
    else if (placement_)
        placed_ = placement_();
    else
        return;
    setGeometry(placed_);
}

void TConsoleWindow::NoteUserGeometry()
{
    if (isVisible() && !placed_.isNull() && geometry() != placed_) userGeometry_ = geometry();
}

void TConsoleWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TConsoleWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    NoteUserGeometry();
}

void TConsoleWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    NoteUserGeometry();
}

}  // namespace trackmill
