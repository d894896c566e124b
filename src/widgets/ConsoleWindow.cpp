#include "widgets/ConsoleWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace trackmill {

namespace {
// Enough for several files' worth of encoder progress without growing without bound.
constexpr int kMaxLines = 5000;
}

TConsoleWindow::TConsoleWindow(QWidget *parent) : QWidget(parent, Qt::Window), view_(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("ConsoleWindow"));
    setWindowTitle(QStringLiteral("Trackmill console"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setMaximumBlockCount(kMaxLines);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    resize(640, 320);
}

void TConsoleWindow::BeginJob()
{
    view_->clear();
    decoder_.resetState();
    pendingCr_ = false;
}

void TConsoleWindow::BeginFile(const QString &commandLine)
{
    if (!view_->document()->isEmpty())
        AppendText(QStringLiteral("\n"));
    AppendText(QStringLiteral("$ ") + commandLine + QLatin1Char('\n'));
    if (!isVisible())
        show();
}

void TConsoleWindow::AppendOutput(const QByteArray &bytes)
{
    AppendText(decoder_.decode(bytes));
}

void TConsoleWindow::EndFile(int exitCode)
{
    AppendText(decoder_.decode(QByteArray()));
    const QString last = view_->document()->lastBlock().text();
    if (!last.isEmpty())
        AppendText(QStringLiteral("\n"));
    AppendText(QStringLiteral("[exit status %1]\n").arg(exitCode));
}

void TConsoleWindow::EndJob()
{
    hide();
}

QString TConsoleWindow::Text() const
{
    return view_->toPlainText();
}

void TConsoleWindow::AppendText(const QString &text)
{
    QScrollBar *bar = view_->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();

    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            cursor.insertText(run);
        run.clear();
    };
    for (const QChar ch : text) {
        if (pendingCr_) {
            pendingCr_ = false;
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
            pendingCr_ = true;
        } else if (ch == QLatin1Char('\n')) {
            flush();
            cursor.insertBlock();
        } else {
            run.append(ch);
        }
    }
    flush();
    cursor.endEditBlock();

    if (atBottom)
        bar->setValue(bar->maximum());
}

}  // namespace trackmill
