// Trackmill: converts Musepack files to MP3 through mpcdec and lame, one window.
#include "main/Form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(trackmill::kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("trackmill"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("trackmill")));
    trackmill::TForm1 Form1;
    Form1.show();
    return app.exec();
}
