// Trackmill: converts Musepack files to MP3 through mpcdec and lame, one window.
#include "main/Form1.h"
#ifndef _WIN32
#include "main/OneWindow.h"
#endif
#include "collect/FileNames.h"
#include "config/Language.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <clocale>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Qt gave the C library the user's number format; what we write into files (tag values)
    // and the engine's reasons take the point. The window's numbers go through QLocale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromLatin1(trackmill::kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("trackmill"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("trackmill")));
    // Files and folders named on the command line ("Open with" in a file manager) come in
    // as a drop, once the window is up.
#ifdef Q_OS_WIN
    const QStringList named = QApplication::arguments().mid(1);
#else
    // From the bytes: a Linux name need not be UTF-8, and Qt's own conversion would lose it.
    QStringList named;
    for (int i = 1; i < argc; ++i) named << trackmill::NameFromBytes(argv[i]);
#endif
    const QStringList paths = trackmill::TForm1::NamedPaths(named);
#ifndef _WIN32
    trackmill::TForm1 *window = nullptr;
    // A window of this user's on this display takes them instead, and this run ends.
    const QString meeting = trackmill::TOneWindow::ServerName();
    if (trackmill::TOneWindow::HandOver(meeting, paths)) return 0;
    trackmill::TOneWindow one;
    const bool listening = one.Listen(meeting, [&window](const QStringList &more) {
        if (window) window->StartedAgain(more);
    });
    // Started at the same moment as another, which listens now.
    if (!listening && trackmill::TOneWindow::HandOver(meeting, paths)) return 0;
#endif
    trackmill::InstallTranslations();
    trackmill::TForm1 Form1;
#ifndef _WIN32
    window = &Form1;
#endif
    Form1.show();
    QTimer::singleShot(0, &Form1, [&Form1, paths] { Form1.AddNamed(paths); });
    return app.exec();
}
