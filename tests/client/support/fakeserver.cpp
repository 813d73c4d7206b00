#include "fakeserver.h"

#include "core/appstate.h"
#include "wire/frame.h"

#include <QTcpSocket>
#include <QtTest>

FakeServer::FakeServer()
{
    listener.listen(QHostAddress::LocalHost);
    connect(&listener, &QTcpServer::newConnection, this, &FakeServer::accept);
    AppState::instance().configureServer(QStringLiteral("127.0.0.1"), listener.serverPort());
}

void FakeServer::answer(const QString &command, const QByteArray &reply)
{
    script[command].enqueue(reply);
}

void FakeServer::send(const QByteArray &bytes)
{
    QVERIFY2(!connections.isEmpty(), "no client connected to the fake server");
    connections.last()->write(bytes);
}

void FakeServer::dropConnections()
{
    for (QTcpSocket *connection : qAsConst(connections))
        connection->disconnectFromHost();
}

QStringList FakeServer::commands() const
{
    QStringList names;
    for (const Request &request : received)
        names << request.command;
    return names;
}

QStringList FakeServer::calls() const
{
    QStringList texts;
    for (const Request &request : received)
        texts << request.command + '(' + request.arguments.join(", ") + ')';
    return texts;
}

QStringList FakeServer::lastArguments(const QString &command) const
{
    const int index = commands().lastIndexOf(command);
    return index < 0 ? QStringList{QStringLiteral("<not sent>")} : received.at(index).arguments;
}

bool FakeServer::waitForRequest(const QString &command)
{
    return QTest::qWaitFor([&]() { return commands().contains(command); });
}

int FakeServer::openConnections() const
{
    int open = 0;
    for (QTcpSocket *connection : connections)
        open += connection->state() == QAbstractSocket::ConnectedState;
    return open;
}

void FakeServer::accept()
{
    while (QTcpSocket *connection = listener.nextPendingConnection()) {
        connection->setParent(this);
        connections << connection;
        readers.emplace(connection, wire::FrameReader(wire::MaximumRequestSize));
        connect(connection, &QTcpSocket::readyRead, this, [this, connection]() { read(connection); });
    }
}

void FakeServer::read(QTcpSocket *connection)
{
    wire::FrameReader &reader = readers.at(connection);
    reader.append(connection->readAll());
    while (auto frame = reader.next()) {
        wire::FieldReader fields(*frame);
        const QString command = fields.string();
        QStringList arguments;
        while (fields.ok() && !fields.atEnd())
            arguments << fields.string();
        received << Request{command, arguments, connection};
        if (!script.value(command).isEmpty())
            connection->write(script[command].dequeue());
    }
}
