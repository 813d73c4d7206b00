#include "serverlink.h"

#include "appstate.h"
#include "usermessages.h"
#include "wire/frame.h"

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
        // Destroying a connected socket emits disconnected(): cut it off the
        // screen first, so that releasing it never reads as a lost server.
        socket->disconnect();
        socket->abort();
    }
}

void ServerLink::open()
{
    socket = new QTcpSocket(this);
    connect(socket, SIGNAL(readyRead()), screen, SLOT(readyRead()));
    if (screen->metaObject()->indexOfSlot("connected()") >= 0)
        connect(socket, SIGNAL(connected()), screen, SLOT(connected()));
    connect(socket, SIGNAL(errorOccurred(QAbstractSocket::SocketError)), screen,
            SLOT(displayError(QAbstractSocket::SocketError)));
    attachDisconnected();
    connectToServer();
}

void ServerLink::close()
{
    disconnect(socket, SIGNAL(disconnected()), screen, SLOT(disconnected()));
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
    reader = wire::FrameReader(wire::MaximumReplySize);
    attachDisconnected();
    connectToServer();
}

void ServerLink::send(const QByteArray &frame)
{
    socket->write(frame);
}

void ServerLink::collect()
{
    reader.append(socket->readAll());
    const QPointer<ServerLink> alive(this);
    while (auto frame = reader.next()) {
        wire::FieldReader reply(*frame);
        table.dispatch(reply);
        if (!alive)
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

ServerLink *ServerLink::ofSocket(QObject *socket)
{
    return socket ? qobject_cast<ServerLink *>(socket->parent()) : nullptr;
}

void ServerLink::connectToServer()
{
    const AppState &state = AppState::instance();
    socket->connectToHost(state.serverAddress(), quint16(state.serverPort()), QIODevice::ReadWrite,
                          QAbstractSocket::AnyIPProtocol);
}

void ServerLink::attachDisconnected()
{
    connect(socket, SIGNAL(disconnected()), screen, SLOT(disconnected()), Qt::UniqueConnection);
}
