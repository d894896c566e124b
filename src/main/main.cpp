// Trackmill: converts Musepack files to MP3 through mpcdec and lame, one window.
#include "main/Form1.h"
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
    trackmill::InstallTranslations();
    trackmill::TForm1 Form1;
    Form1.show();
    // Files and folders named on the command line ("Open with" in a file manager) come in
    // as a drop, once the window is up.
#ifdef Q_OS_WIN
    const QStringList named = QApplication::arguments().mid(1);
#else
    // From the bytes: a Linux name need not be UTF-8, and Qt's own conversion would lose it.
    QStringList named;
    for (int i = 1; i < argc; ++i) named << trackmill::NameFromBytes(argv[i]);
#endif
    QTimer::singleShot(0, &Form1, [&Form1, named] { Form1.AddNamed(named); });
    return app.exec();
}
