#include "main/OneWindow.h"

#include "os/PrivateFolder.h"

#include <QDataStream>
#include <QDir>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

namespace trackmill {

namespace {

// What a second start says, so that nothing else that connects is taken for one.
constexpr quint32 kGreeting = 0x544d5731;  // "TMW1"
constexpr char kTaken = 'k';
// A window that is there answers at once; one that is not refuses the connection at once.
constexpr int kAnswerMs = 10000;
// More than any list of paths a command line holds.
constexpr qint64 kMessageLimit = 64 * 1024 * 1024;

QString Plain(const QString &text)
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9._-]"));
    return QString(text).replace(other, QStringLiteral("_")).left(40);
}

}  // namespace

TOneWindow::TOneWindow(QObject *parent) : QObject(parent) {}

TOneWindow::~TOneWindow() = default;

QString TOneWindow::ServerName()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    const QString folder = QFile::decodeName(QByteArray::fromStdString(os::TPrivateFolder::StandingFolder("trackmill-window")));
    if (folder.isEmpty()) return {};
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("LOGNAME");
    return folder + QStringLiteral("/") + Plain(user) + QLatin1Char('-') + Plain(QGuiApplication::platformName()) +
           QLatin1Char('-') + Plain(display);
}

bool TOneWindow::HandOver(const QString &name, const QStringList &paths)
{
    if (name.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kAnswerMs)) return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kGreeting << paths;
    socket.write(message);
    if (!socket.waitForBytesWritten(kAnswerMs)) return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(kAnswerMs)) return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
}

bool TOneWindow::Listen(const QString &name, std::function<void(const QStringList &)> arrived)
{
    if (name.isEmpty()) return false;
    arrived_ = std::move(arrived);
    delete server_;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TOneWindow::Serve);
    if (server_->listen(name)) return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
    // A window listens there, or a run that crashed left its socket: only the second goes.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kAnswerMs)) return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void TOneWindow::Serve()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.setVersion(QDataStream::Qt_6_0);
            in.startTransaction();
            quint32 greeting = 0;
            QStringList paths;
            in >> greeting >> paths;
            if (!in.commitTransaction()) {
                // Not all there yet; a stranger's bytes end the connection.
                if (in.status() != QDataStream::ReadPastEnd || socket->bytesAvailable() > kMessageLimit) socket->abort();
                return;
            }
            if (greeting != kGreeting) {
                socket->abort();
                return;
            }
            socket->putChar(kTaken);
            socket->disconnectFromServer();
            if (arrived_) arrived_(paths);
        });
    }
}

}  // namespace trackmill
