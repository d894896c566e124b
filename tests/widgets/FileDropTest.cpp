#include "widgets/FileDrop.h"

#include "collect/CollectTestUtil.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace trackmill;
using namespace tmtest;

namespace {

// Installed before the drop target's filter, so it sees exactly what the target lets through.
class Seen : public QObject {
public:
    QList<QEvent::Type> types;
    bool eventFilter(QObject *, QEvent *e) override
    {
        types << e->type();
        return false;
    }
};

std::unique_ptr<QMimeData> Urls(const QList<QUrl> &urls)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setUrls(urls);
    return mime;
}

bool SendEnter(QWidget *w, const QMimeData *mime)
{
    QDragEnterEvent e(QPoint(3, 4), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    e.ignore();
    QCoreApplication::sendEvent(w, &e);
    return e.isAccepted();
}

// A drag enters before it drops: Qt hands the drop to the widget that accepted the enter.
bool SendDrop(QWidget *w, const QMimeData *mime, QPointF at = QPointF(12, 34))
{
    if (!SendEnter(w, mime)) return false;
    QDropEvent e(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    e.ignore();
    QCoreApplication::sendEvent(w, &e);
    return e.isAccepted();
}

}  // namespace

TEST(FileDrop, DropOnAListDeliversLocalPathsPointAndOneEvent)
{
    QListWidget list;
    Seen seen;
    list.viewport()->installEventFilter(&seen);
    TFileDrop drop;
    EXPECT_EQ(drop.FileCount(), 0);
    EXPECT_EQ(drop.DropPoint(), QPoint(0, 0));
    int events = 0;
    drop.SetOnDrop([&](TFileDrop &sender) {
        ++events;
        EXPECT_EQ(&sender, &drop);
        EXPECT_EQ(sender.FileCount(), sender.Files().size());  // already the new drop
    });
    drop.SetDropControl(&list);
    EXPECT_TRUE(drop.EnableDrop());
    EXPECT_TRUE(list.viewport()->acceptDrops());

    const QString longName = "/music/" + QString(150, QChar(u'ö')) + "/a b's \"$x\".mpc";
    auto mime = Urls({QUrl::fromLocalFile("/music/a.mpc"), QUrl("https://example.invalid/remote.mpc"),
                      QUrl::fromLocalFile(longName), QUrl::fromLocalFile("/music/folder/"), QUrl::fromLocalFile("/")});
    mime->setText("plain text is not a name");
    EXPECT_TRUE(SendEnter(list.viewport(), mime.get()));
    EXPECT_TRUE(SendDrop(list.viewport(), mime.get()));
    EXPECT_EQ(events, 1);
    EXPECT_EQ(drop.Files(), QStringList({"/music/a.mpc", longName, "/music/folder/", "/"}));
    EXPECT_EQ(drop.FileCount(), 4);
    EXPECT_EQ(drop.DropPoint(), QPoint(12, 34));
    EXPECT_FALSE(seen.types.contains(QEvent::Drop));  // handled, not passed on
    EXPECT_FALSE(seen.types.contains(QEvent::DragEnter));

    // A second drop replaces the first.
    auto second = Urls({QUrl::fromLocalFile("/other/b.mpc")});
    EXPECT_TRUE(SendDrop(list.viewport(), second.get(), QPointF(7, 8)));
    EXPECT_EQ(events, 2);
    EXPECT_EQ(drop.Files(), QStringList({"/other/b.mpc"}));
    EXPECT_EQ(drop.DropPoint(), QPoint(7, 8));
}

TEST(FileDrop, EverythingElseReachesTheControlUntouched)
{
    QListWidget list;
    Seen seen;
    list.viewport()->installEventFilter(&seen);
    TFileDrop drop;
    int events = 0;
    drop.SetOnDrop([&](TFileDrop &) { ++events; });
    drop.SetDropControl(&list);

    // Remote URLs only, and plain text: not ours.
    auto remote = Urls({QUrl("https://example.invalid/x.mpc")});
    auto text = std::make_unique<QMimeData>();
    text->setText("/music/a.mpc");
    EXPECT_FALSE(SendDrop(list.viewport(), remote.get()));
    EXPECT_FALSE(SendDrop(list.viewport(), text.get()));
    EXPECT_EQ(events, 0);
    EXPECT_EQ(seen.types.count(QEvent::DragEnter), 2);
    EXPECT_EQ(drop.FileCount(), 0);

    // Ordinary events pass as they came.
    seen.types.clear();
    QEvent user(QEvent::User);
    QCoreApplication::sendEvent(list.viewport(), &user);
    list.resize(200, 100);
    list.show();
    QApplication::processEvents();
    EXPECT_TRUE(seen.types.contains(QEvent::User));
    EXPECT_TRUE(seen.types.contains(QEvent::Resize));

    // Switched off: files are not taken either, and the control stays attached.
    drop.SetEnableDrop(false);
    EXPECT_FALSE(list.viewport()->acceptDrops());
    auto files = Urls({QUrl::fromLocalFile("/music/a.mpc")});
    EXPECT_FALSE(SendDrop(list.viewport(), files.get()));  // Qt no longer offers it drags
    EXPECT_EQ(events, 0);
    drop.SetEnableDrop(true);
    EXPECT_TRUE(SendDrop(list.viewport(), files.get()));
    EXPECT_EQ(events, 1);
}

TEST(FileDrop, DropControlSetterRules)
{
    QListWidget list;
    QWidget plain;
    auto files = Urls({QUrl::fromLocalFile("/music/a.mpc")});
    int events = 0;
    {
        TFileDrop drop;
        drop.SetOnDrop([&](TFileDrop &) { ++events; });
        drop.SetEnableDrop(true);  // no control yet: nothing to switch
        drop.SetDropControl(&list);

        // The same control again changes nothing, not even a switched-off EnableDrop.
        drop.SetEnableDrop(false);
        drop.SetDropControl(&list);
        EXPECT_FALSE(drop.EnableDrop());
        EXPECT_FALSE(list.viewport()->acceptDrops());

        // Another control: the old one is left and refuses drops, the new one accepts.
        drop.SetDropControl(&plain);
        EXPECT_EQ(drop.DropControl(), &plain);
        EXPECT_TRUE(drop.EnableDrop());
        EXPECT_TRUE(plain.acceptDrops());
        EXPECT_FALSE(list.viewport()->acceptDrops());
        EXPECT_FALSE(SendDrop(list.viewport(), files.get()));
        EXPECT_TRUE(SendDrop(&plain, files.get()));  // not a scroll area: the widget itself
        EXPECT_EQ(events, 1);

        // Empty: detached and switched off; a second empty assignment does nothing more,
        // and destruction afterwards leaves the control alone.
        drop.SetDropControl(nullptr);
        drop.SetDropControl(nullptr);
        EXPECT_EQ(drop.DropControl(), nullptr);
        EXPECT_FALSE(drop.EnableDrop());
        EXPECT_FALSE(plain.acceptDrops());
        SendDrop(&plain, files.get());
        EXPECT_EQ(events, 1);
        plain.setAcceptDrops(true);  // the window's own choice from now on
    }
    EXPECT_TRUE(plain.acceptDrops());

    // Destroying the component withdraws acceptance from the attached control.
    {
        TFileDrop drop;
        drop.SetDropControl(&list);
        EXPECT_TRUE(list.viewport()->acceptDrops());
    }
    EXPECT_FALSE(list.viewport()->acceptDrops());
    EXPECT_FALSE(SendDrop(list.viewport(), files.get()));
}

TEST(FileDrop, ControlDestroyedFirstLeavesNoDanglingHook)
{
    TFileDrop drop;
    {
        QListWidget list;
        drop.SetDropControl(&list);
    }
    EXPECT_EQ(drop.DropControl(), nullptr);
    drop.SetEnableDrop(true);
    QListWidget next;
    drop.SetDropControl(&next);
    int events = 0;
    drop.SetOnDrop([&](TFileDrop &) { ++events; });
    auto files = Urls({QUrl::fromLocalFile("/x.mpc")});
    EXPECT_TRUE(SendDrop(next.viewport(), files.get()));
    EXPECT_EQ(events, 1);
}
