// The console the command of each file runs in: the command line, then its standard
// output and error as they arrive. Kept between files so the last output stays readable.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QWidget>

class QPlainTextEdit;

namespace trackmill {

class TConsoleWindow : public QWidget {
    Q_OBJECT

public:
    explicit TConsoleWindow(QWidget *parent = nullptr);

    // A job starts: forget the previous job's output.
    void BeginJob();
    // A file starts: shows the window (without taking the focus) and the command line.
    void BeginFile(const QString &commandLine);
    // Raw bytes of the command's output; "\r" rewrites the current line as a terminal does.
    void AppendOutput(const QByteArray &bytes);
    // The command has ended; its output stays.
    void EndFile(int exitCode);
    // The job has ended.
    void EndJob();

    QString Text() const;
    QPlainTextEdit *View() const { return view_; }

private:
    void AppendText(const QString &text);

    QPlainTextEdit *view_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    bool pendingCr_ = false;
};

}  // namespace trackmill
