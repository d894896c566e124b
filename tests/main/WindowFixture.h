// A real main window for a test: its own working folder, its own INI file, and the
// message boxes recorded instead of shown.
#pragma once

#include "collect/TranscodeList.h"
#include "main/Form1.h"
#include "config/Language.h"
#include "settings/FormPlacement.h"
#include "support/QtWait.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDropEvent>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure output for Qt texts.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

namespace tmtest {

struct Message {
    trackmill::TMessageKind kind;
    QString caption;
    QString text;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldDir_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        QDir::setCurrent(QString::fromStdString(work.path().string()));
        trackmill::SetMessageBoxHandler(
            [this](QWidget *, trackmill::TMessageKind kind, const QString &caption, const QString &text) {
                messages.push_back({kind, caption, text});
            });
        // A run registered with a language shows the window in it, numbers included.
        if (const QByteArray language = qgetenv("TRACKMILL_TEST_LANGUAGE"); !language.isEmpty()) Speak(QLocale(QString::fromLatin1(language)));
    }
    void TearDown() override
    {
        form.reset();
        trackmill::SetMessageBoxHandler({});
        trackmill::RemoveTranslations();
        QLocale::setDefault(QLocale::system());
        QDir::setCurrent(oldDir_);
        qputenv("PATH", oldPath_);
    }

    static void Speak(const QLocale &locale)
    {
        QLocale::setDefault(locale);
        EXPECT_TRUE(trackmill::InstallTranslations(locale)) << locale.name().toStdString();
    }

    // Stand-in programs in `folder` are found before the installed ones until the test ends.
    void PutFirstOnPath(const fs::path &folder)
    {
        qputenv("PATH", QByteArray::fromStdString(folder.string() + ":") + oldPath_);
    }

    // Creates the window (running its start-up), points it at the test's INI file and
    // shows it, which restores the stored settings.
    trackmill::TForm1 &Open(bool show = true)
    {
        form = std::make_unique<trackmill::TForm1>();
        form->FormStorage1->SetIniFileName(Ini());
        // No test sends a notice to the desktop it runs on.
        form->SetNoticeHandler([this](const QString &summary, const QString &body) { notices << summary + ": " + body; });
        if (show) {
            form->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        }
        return *form;
    }
    void CloseAndDelete()
    {
        form->close();
        form.reset();
    }

    QString Ini() const { return Q(work / "trackmill.ini"); }
    static QString Q(const fs::path &p) { return QString::fromStdString(p.string()); }

    // Delivers a drag-and-drop of the given URLs onto the list (or another widget), as the
    // desktop would.
    void Drop(const QList<QUrl> &urls, const QString &text = {}, QWidget *target = nullptr)
    {
        if (!target) target = form->FileList->viewport();
        auto *mime = new QMimeData;
        if (!urls.isEmpty()) mime->setUrls(urls);
        if (!text.isEmpty()) mime->setText(text);
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        delete mime;
        WaitForCollection();
    }
    // Files are collected on a worker thread: until it is done they are not all listed.
    void WaitForCollection()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->List().Collecting(); }, 60000));
    }
    void DropFiles(const std::vector<fs::path> &paths, QWidget *target = nullptr)
    {
        QList<QUrl> urls;
        for (const auto &p : paths) urls << QUrl::fromLocalFile(Q(p));
        Drop(urls, {}, target);
    }
    // The list as its view shows it: the rows of the view's model.
    QModelIndex Entry(int row) const { return form->FileList->model()->index(row, 0); }
    int EntryCount() const { return form->FileList->model()->rowCount(); }
    QStringList ListEntries() const
    {
        QStringList out;
        for (int i = 0; i < EntryCount(); ++i) out << Entry(i).data().toString();
        return out;
    }
    // Where a click picks the entry.
    QPoint EntryCentre(int row) const { return form->FileList->visualRect(Entry(row)).center(); }
    QStringList PanelLines() const
    {
        QStringList out;
        for (int i = 0; i < form->InfoPanel->count(); ++i) out << form->InfoPanel->item(i)->text();
        return out;
    }

    TempDir work;
    std::unique_ptr<trackmill::TForm1> form;
    std::vector<Message> messages;
    QStringList notices;  // "summary: body" of each desktop notice

private:
    QString oldDir_;
    QByteArray oldPath_;
};

// A window test that converts with the real programs.
class ConvertingWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        TM_REQUIRE_TOOL("mpcenc");
        TM_REQUIRE_TOOL("mpcdec");
        TM_REQUIRE_TOOL("lame");
    }
};

}  // namespace tmtest
