#include "serverlink.h"

#include "appstate.h"
#include "navigation.h"
#include "usermessages.h"
#include "wire/frame.h"

#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QWidget>

ServerLink::ServerLink(QWidget *screen, AfterLoss afterLoss, QString errorPrefix)
    : QObject(screen)
    , screen(screen)
    , afterLoss(afterLoss)
    , errorPrefix(std::move(errorPrefix))
    , reader(wire::MaximumReplySize)
{ }

ServerLink::~ServerLink()
{
    if (socket) {
        // Destroying a connected socket emits disconnected(): cut it off
        // first, so that releasing it never reads as a lost server.
        socket->disconnect();
        socket->abort();
    }
}

void ServerLink::whenConnected(std::function<void()> handler)
{
    connectedHandler = std::move(handler);
}

void ServerLink::open()
{
    socket = createSocket();
    connect(socket, &QTcpSocket::readyRead, this, &ServerLink::collect);
    connect(socket, &QTcpSocket::connected, this, [this]() {
        if (connectedHandler)
            connectedHandler();
    });
    connect(socket, &QTcpSocket::errorOccurred, this, &ServerLink::reportError);
    startSession();
    watchForLoss();
    connectToServer();
}

void ServerLink::close()
{
    closed = true;
    ++session;
    disconnect(socket, &QTcpSocket::disconnected, this, &ServerLink::reportLoss);
    socket->disconnectFromHost();
}

void ServerLink::hangUp()
{
    socket->disconnectFromHost();
}

void ServerLink::reopen()
{
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();
    startSession();
    watchForLoss();
    connectToServer();
}

void ServerLink::send(const QByteArray &frame)
{
    if (closed)
        return;
    const AwaitedReply request{frame, Navigation::screensCreated()};
    if (!awaited.isEmpty() && awaited.constLast() == request)
        return;
    awaited.append(request);
    socket->write(frame);
}

// The one place where a screen's socket is made.
// With --tls the server's certificate is verified against the system's
// certificates, or only those given with --ca.
QTcpSocket *ServerLink::createSocket()
{
    if (!AppState::instance().tlsEnabled())
        return new QTcpSocket(this);
    auto *tls = new QSslSocket(this);
    QSslConfiguration configuration = tls->sslConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    const QList<QSslCertificate> trusted = AppState::instance().tlsTrustedCertificates();
    if (!trusted.isEmpty())
        configuration.setCaCertificates(trusted);
    tls->setSslConfiguration(configuration);
    return tls;
}

void ServerLink::connectToServer()
{
    const AppState &state = AppState::instance();
    // Requests written before the handshake is done wait until it is.
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        tls->connectToHostEncrypted(state.serverAddress(), quint16(state.serverPort()), QIODevice::ReadWrite,
                                    QAbstractSocket::AnyIPProtocol);
        return;
    }
    socket->connectToHost(state.serverAddress(), quint16(state.serverPort()), QIODevice::ReadWrite,
                          QAbstractSocket::AnyIPProtocol);
}

void ServerLink::watchForLoss()
{
    connect(socket, &QTcpSocket::disconnected, this, &ServerLink::reportLoss, Qt::UniqueConnection);
}

void ServerLink::startSession()
{
    closed = false;
    ++session;
    reader = wire::FrameReader(wire::MaximumReplySize);
    awaited.clear();
}

void ServerLink::collect()
{
    const QByteArray received = socket->readAll();
    if (closed)
        return;
    reader.append(received);
    const QPointer<ServerLink> alive(this);
    const quint64 handling = session;
    while (auto frame = reader.next()) {
        if (!awaited.isEmpty())
            awaited.removeFirst();
        wire::FieldReader reply(*frame);
        table.dispatch(reply);
        if (!alive || session != handling)
            return;
    }
    if (reader.failed())
        socket->abort();
}

void ServerLink::reportLoss()
{
    UserMessages::show(screen, QStringLiteral("Disconnected"));
    switch (afterLoss) {
    case AfterLoss::ExitProgram:
        ProgramExit::exit(0);
        break;
    case AfterLoss::ReleaseLink:
        deleteLater();
        break;
    case AfterLoss::KeepScreen:
        break;
    }
}

void ServerLink::reportError(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    UserMessages::show(screen, errorPrefix + socket->errorString());
}
