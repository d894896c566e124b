// A private D-Bus daemon and a stand-in for logind's manager and session objects that
// records the calls it receives instead of acting on them.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QMutex>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include "support/RunnerTestSupport.h"
#include "support/TestSupport.h"

#include <atomic>
#include <memory>

namespace tmtest {

// Everything the stand-in heard, shared with the test thread.
struct Login1Record {
    QMutex mutex;
    QStringList calls;          // "Method(args)" in the order received
    std::atomic<bool> refuse{false};

    void Add(const QString &call)
    {
        QMutexLocker lock(&mutex);
        calls << call;
    }
    QStringList Calls()
    {
        QMutexLocker lock(&mutex);
        return calls;
    }
};

inline const char *const kStandInSessionPath = "/org/freedesktop/login1/session/_31";

class Login1Manager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    explicit Login1Manager(Login1Record &record) : record_(record) {}

public slots:
    void PowerOff(bool interactive) { Power(QStringLiteral("PowerOff"), interactive); }
    void Reboot(bool interactive) { Power(QStringLiteral("Reboot"), interactive); }
    void Suspend(bool interactive) { Power(QStringLiteral("Suspend"), interactive); }
    void Hibernate(bool interactive) { Power(QStringLiteral("Hibernate"), interactive); }
    QDBusObjectPath GetSessionByPID(uint pid)
    {
        record_.Add(QStringLiteral("GetSessionByPID(%1)").arg(pid));
        return QDBusObjectPath(QString::fromLatin1(kStandInSessionPath));
    }
    QDBusObjectPath GetSession(const QString &id)
    {
        record_.Add(QStringLiteral("GetSession(%1)").arg(id));
        return QDBusObjectPath(QString::fromLatin1(kStandInSessionPath));
    }

private:
    void Power(const QString &method, bool interactive)
    {
        record_.Add(QStringLiteral("%1(%2)").arg(method, interactive ? "true" : "false"));
        if (record_.refuse)
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                           QStringLiteral("Operation not permitted"));
    }
    Login1Record &record_;
};

class Login1Session : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
public:
    explicit Login1Session(Login1Record &record) : record_(record) {}

public slots:
    void Terminate()
    {
        record_.Add(QStringLiteral("Terminate"));
        if (record_.refuse)
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                           QStringLiteral("Operation not permitted"));
    }

private:
    Login1Record &record_;
};

// Serves the stand-in from a thread of its own, so that the test thread can make
// blocking calls to it.
class Login1Service : public QThread {
    Q_OBJECT
public:
    Login1Service(QString address, Login1Record &record) : address_(std::move(address)), record_(record) {}
    bool registered() const { return registered_; }
    std::atomic<bool> ready{false};

protected:
    void run() override
    {
        {
            QDBusConnection bus = QDBusConnection::connectToBus(address_, QStringLiteral("tm-login1-standin"));
            Login1Manager manager(record_);
            Login1Session session(record_);
            registered_ =
                bus.isConnected() &&
                bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                                   QDBusConnection::ExportAllSlots) &&
                bus.registerObject(QString::fromLatin1(kStandInSessionPath), &session,
                                   QDBusConnection::ExportAllSlots) &&
                bus.registerService(QStringLiteral("org.freedesktop.login1"));
            ready = true;
            exec();
            bus.unregisterObject(QStringLiteral("/org/freedesktop/login1"));
            bus.unregisterObject(QString::fromLatin1(kStandInSessionPath));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("tm-login1-standin"));
    }

private:
    QString address_;
    Login1Record &record_;
    std::atomic<bool> registered_{false};
};

// A private D-Bus daemon with the stand-in on it, and a client connection to it;
// nothing reaches the real system bus. Start() fails when the daemon or the stand-in
// does not come up.
class PrivateLogin1Bus {
public:
    bool Start()
    {
        tmtest::WriteText(dir_ / "bus.conf",
                          "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                          " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                          "<busconfig>\n"
                          "  <type>session</type>\n"
                          "  <listen>unix:dir=" + dir_.path().string() + "</listen>\n"
                          "  <auth>EXTERNAL</auth>\n"
                          "  <policy context=\"default\">\n"
                          "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                          "    <allow eavesdrop=\"true\"/>\n"
                          "    <allow own=\"*\"/>\n"
                          "  </policy>\n"
                          "</busconfig>\n");
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + QString::fromStdString((dir_ / "bus.conf").string()),
                       QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon_.waitForStarted(10000)) return false;
        if (!tmtest::WaitUntil([&] { return daemon_.canReadLine(); }, 10000)) return false;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        if (address_.isEmpty()) return false;

        service_ = std::make_unique<Login1Service>(address_, record_);
        service_->start();
        if (!tmtest::WaitUntil([&] { return service_->ready.load(); }, 10000) || !service_->registered())
            return false;
        client_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address_, QStringLiteral("tm-login1-client")));
        return client_->isConnected();
    }

    ~PrivateLogin1Bus()
    {
        client_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("tm-login1-client"));
        if (service_) {
            service_->quit();
            service_->wait();
        }
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(5000)) daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }

    QDBusConnection &Client() { return *client_; }
    Login1Record &Record() { return record_; }

private:
    tmtest::TempDir dir_;
    QProcess daemon_;
    QString address_;
    Login1Record record_;
    std::unique_ptr<Login1Service> service_;
    std::unique_ptr<QDBusConnection> client_;
};

}  // namespace tmtest
