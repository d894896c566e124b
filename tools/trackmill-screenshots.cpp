// Drives the real window through a job and saves what it shows: idle with files listed,
// during a job (progress, the entries' states and the console beside it), and after a job in which a file
// failed (the summary, and the message that names the file). scripts/screenshot.sh runs
// it under Xvfb with a slowed encoder first on PATH, so that the job is caught mid-way.
//
//   trackmill-screenshots OUTPUT_DIR FILE...

#include "engine/TranscodeJob.h"
#include "main/Form1.h"
#include "config/Language.h"
#include "settings/FormPlacement.h"
#include "widgets/ConsoleWindow.h"
#include "widgets/StatusArea.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QListView>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <clocale>
#include <cstdio>
#include <functional>

using namespace trackmill;

namespace {

bool WaitFor(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// Lets the window paint what it was just told.
void Settle()
{
    QDeadlineTimer deadline(60);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget *w, const QString &file)
{
    Settle();
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(file));
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: trackmill-screenshots OUTPUT_DIR FILE...\n");
        return 2;
    }
    const QDir out(args[1]);
    // In the system's language; other than English, the pictures' names say which.
    const QString language = InstallTranslations() ? QLatin1Char('-') + QLocale().name().left(2) : QString();
    const auto name = [&](const char *base) { return out.filePath(QString::fromLatin1(base) + language + QStringLiteral(".png")); };
    QTemporaryDir settings;

    QMessageBox *report = nullptr;
    SetMessageBoxHandler([&](QWidget *parent, TMessageKind kind, const QString &caption, const QString &text) {
        if (kind != TMessageKind::JobReport) return;
        report = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
        report->show();
    });

    TForm1 form;
    form.FormStorage1->SetIniFileName(settings.filePath(QStringLiteral("trackmill.ini")));
    form.show();
    if (!WaitFor([&] { return form.isVisible(); }, 10000)) return 1;
    form.SetJobs(2);
    form.AddNamed(args.mid(2));
    form.FileList->setCurrentIndex(form.FileList->model()->index(0, 0));
    bool ok = Save(&form, name("screenshot"));

    form.TranscodeButton->click();
    // Two files in progress, a good part of the job done.
    ok = WaitFor([&] { return form.Job().RunningCount() == 2 && form.StatusArea1->Progress() >= 40; }, 60000) && ok;
    // The console opens beside the window: both on one picture.
    {
        Settle();
        const QRect both = form.frameGeometry().united(form.Console->frameGeometry()).adjusted(-4, -4, 4, 4) &
                           form.screen()->geometry();
        const bool saved = form.screen()
                               ->grabWindow(0, both.x(), both.y(), both.width(), both.height())
                               .save(name("screenshot-job"));
        std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(name("screenshot-job")));
        ok = saved && ok;
    }

    ok = WaitFor([&] { return !form.Job().Running() && report; }, 120000) && ok;
    if (report) {
        report->move(form.geometry().center() - report->rect().center());
        ok = Save(&form, name("screenshot-failed")) && ok;
        ok = Save(report, name("screenshot-failed-box")) && ok;
    }
    form.close();
    return ok ? 0 : 1;
}
