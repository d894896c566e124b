#include "widgets/LogWindow.h"

#include "widgets/PlainText.h"

#include <QFontDatabase>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStringDecoder>

namespace trackmill {

namespace {

// A failed file keeps much of what it printed; a converted one its last lines, and
// nothing more once the whole log holds a lot (a job of many thousand files).
constexpr qsizetype kFailedOutputLimit = 256 * 1024;
constexpr qsizetype kOutputLimit = 8 * 1024;
constexpr qint64 kLogLimit = 64 * 1024 * 1024;

// The files of a job mostly share their folders: what tells them apart comes first, the
// file's name (with its state once it has ended), then its folder.
QString ListedName(const QString &path, const QString &state = {})
{
    const qsizetype slash = path.lastIndexOf(QDir::separator());
    QString listed = path.mid(slash + 1);
    if (!state.isEmpty()) listed += QStringLiteral("  (") + state + QLatin1Char(')');
    QString folder = path.left(slash);
    if (folder.isEmpty() || folder.endsWith(QLatin1Char(':'))) folder = path.left(slash + 1);  // a root
    if (slash >= 0) listed += QStringLiteral("   ") + folder;
    return listed;
}

}  // namespace

QString TerminalText(const QByteArray &bytes)
{
    const QString text = QStringDecoder(QStringDecoder::Utf8).decode(bytes);
    QString out, line;
    bool cr = false;
    for (const QChar ch : text) {
        if (cr && ch != QLatin1Char('\n')) line.clear();
        cr = false;
        if (ch == QLatin1Char('\r')) {
            cr = true;
        } else if (ch == QLatin1Char('\n')) {
            out += line + QLatin1Char('\n');
            line.clear();
        } else {
            line += ch;
        }
    }
    return out + line;
}

TLogWindow::TLogWindow(QWidget *parent)
    : QWidget(parent, Qt::Window),
      files_(new QListWidget(this)),
      view_(new QPlainTextEdit(this)),
      showConsole_(new QCheckBox(tr("Show &console during jobs"), this))
{
    setObjectName(QStringLiteral("LogWindow"));
    setWindowTitle(tr("Trackmill log"));
    files_->setObjectName(QStringLiteral("LogFiles"));
    files_->setUniformItemSizes(true);
    view_->setObjectName(QStringLiteral("LogText"));
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *split = new QSplitter(this);
    split->addWidget(files_);
    split->addWidget(view_);
    split->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(split, 1);
    auto *below = new QHBoxLayout;
    below->setContentsMargins(4, 0, 4, 0);
    below->addWidget(showConsole_);
    below->addStretch(1);
    layout->addLayout(below);
    showConsole_->setChecked(true);
    showConsole_->setToolTip(tr("Whether the console with the programs' output opens while files are converted"));
    connect(files_, &QListWidget::currentRowChanged, this, &TLogWindow::Show);
    resize(800, 420);
}

void TLogWindow::BeginJob()
{
    files_->clear();
    view_->clear();
    entries_.clear();
    rows_.clear();
    kept_ = 0;
}

TLogWindow::Entry &TLogWindow::EntryFor(std::uint64_t key, const QString &name)
{
    const auto found = rows_.constFind(key);
    if (found != rows_.constEnd()) return entries_[std::size_t(*found)];
    rows_.insert(key, int(entries_.size()));
    entries_.push_back({});
    entries_.back().name = name;
    files_->addItem(ListedName(name));
    files_->item(files_->count() - 1)->setToolTip(PlainTip(name));
    return entries_.back();
}

void TLogWindow::BeginFile(std::uint64_t key, const QString &name, const QString &commandLine)
{
    EntryFor(key, name).commandLine = commandLine;
}

void TLogWindow::Keep(Entry &entry, qsizetype limit)
{
    if (entry.output.size() <= limit) return;
    const qsizetype cut = entry.output.size() - limit;
    entry.output.remove(0, cut);
    entry.cut = true;
    kept_ -= cut;
}

void TLogWindow::AppendOutput(std::uint64_t key, const QByteArray &bytes)
{
    const auto found = rows_.constFind(key);
    if (found == rows_.constEnd()) return;
    Entry &entry = entries_[std::size_t(*found)];
    entry.output += bytes;
    kept_ += bytes.size();
    Keep(entry, kFailedOutputLimit);
}

void TLogWindow::EndFile(std::uint64_t key, const QString &name, const QString &state, const QString &reason,
                         bool failed)
{
    Entry &entry = EntryFor(key, name);
    entry.state = state;
    entry.reason = reason;
    entry.failed = failed;
    if (!failed) Keep(entry, kept_ > kLogLimit ? 0 : kOutputLimit);
    const int row = rows_.value(key);
    QListWidgetItem *item = files_->item(row);
    item->setText(ListedName(entry.name, state));
    if (failed) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
    if (files_->currentRow() == row) Show(row);
}

void TLogWindow::ShowLog()
{
    if (files_->currentRow() < 0 && !entries_.empty()) {
        int row = 0;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].failed) {
                row = int(i);
                break;
            }
        files_->setCurrentRow(row);
    }
    show();
    raise();
    activateWindow();
}

bool TLogWindow::SelectFile(const QString &name)
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == name) {
            files_->setCurrentRow(int(i));
            return true;
        }
    return false;
}

void TLogWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString TLogWindow::ShownText() const
{
    return view_->toPlainText();
}

void TLogWindow::Show(int row)
{
    if (row < 0 || row >= int(entries_.size())) {
        view_->clear();
        return;
    }
    const Entry &e = entries_[std::size_t(row)];
    QString text = e.name + QLatin1Char('\n');
    if (!e.commandLine.isEmpty()) text += QStringLiteral("$ ") + e.commandLine + QLatin1Char('\n');
    if (e.cut) text += tr("[earlier output left out]\n");
    QString output = TerminalText(e.output);
    if (!output.isEmpty() && !output.endsWith(QLatin1Char('\n'))) output += QLatin1Char('\n');
    text += output;
    if (!e.state.isEmpty())
        text += QStringLiteral("[") + e.state + (e.reason.isEmpty() ? QString() : QStringLiteral(": ") + e.reason) +
                QStringLiteral("]\n");
    view_->setPlainText(text);
}

}  // namespace trackmill
