#include "servertestclient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QtEndian>

bool ServerTestClient::waitForSignal(const char *signal)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, signal, &loop, SLOT(quit()));
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    timer.start(timeout);
    loop.exec();
    return timer.isActive();
}

bool ServerTestClient::connectTo(const QHostAddress &address, quint16 port, const QHostAddress &from)
{
    buffer.clear();
    if (!from.isNull() && !socket.bind(from))
        return false;
    socket.connectToHost(address, port);
    if (socket.state() != QAbstractSocket::ConnectedState)
        waitForSignal(SIGNAL(connected()));
    return socket.state() == QAbstractSocket::ConnectedState;
}

QByteArray ServerTestClient::sizeField(qint64 size)
{
    QByteArray field(8, '\0');
    qToBigEndian<qint64>(size, field.data());
    return field;
}

void ServerTestClient::sendRaw(const QByteArray &bytes)
{
    socket.write(bytes);
    socket.flush();
}

bool ServerTestClient::hasReplyWaiting()
{
    buffer.append(socket.readAll());
    if (buffer.size() < 8)
        return false;
    return buffer.size() >= qFromBigEndian<qint64>(buffer.constData());
}

std::optional<QByteArray> ServerTestClient::receiveFrame()
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        buffer.append(socket.readAll());
        if (buffer.size() >= 8) {
            const qint64 size = qFromBigEndian<qint64>(buffer.constData());
            if (size < wire::MinimumFrameSize || size > wire::MaximumReplySize)
                return std::nullopt;
            if (buffer.size() >= size) {
                const QByteArray frame = buffer.left(int(size));
                buffer.remove(0, int(size));
                return frame;
            }
        }
        if (socket.state() != QAbstractSocket::ConnectedState || elapsed.elapsed() >= timeout)
            return std::nullopt;
        waitForSignal(SIGNAL(readyRead()));
    }
}

ServerTestClient::Reply ServerTestClient::receive()
{
    Reply reply;
    const std::optional<QByteArray> frame = receiveFrame();
    if (!frame)
        return reply;
    reply.fields = wire::FieldReader(*frame);
    reply.tag = reply.fields.string();
    reply.received = reply.fields.ok();
    return reply;
}

QStringList ServerTestClient::Reply::text(const QString &types)
{
    if (!received)
        return {QStringLiteral("<no reply>")};
    if (tag == QLatin1String("Error")) {
        const QString why = fields.string();
        return why.isEmpty() || !fields.atEnd() ? QStringList{tag, QStringLiteral("<bad>")} : QStringList{tag};
    }
    QStringList text{tag};
    const int repeatFrom = types.indexOf(QLatin1Char('/')) + 1;
    for (int i = 0; fields.ok(); ++i) {
        if (i == types.size()) {
            if (repeatFrom == 0 || repeatFrom == types.size() || fields.atEnd())
                break;
            i = repeatFrom;
        }
        const char type = types.at(i).toLatin1();
        if (type == '/' && fields.atEnd())
            return text;
        if (type == 's')
            text << fields.string();
        else if (type == 'l')
            text << QLatin1Char('[') + fields.stringList().join(QLatin1Char(',')) + QLatin1Char(']');
        else if (type == 'i')
            text << QString::number(fields.int32());
    }
    if (!fields.ok())
        text << QStringLiteral("<bad>");
    else if (!fields.atEnd())
        text << QStringLiteral("<more>");
    return text;
}

void ServerTestClient::sendTexts(const QString &command, const QStringList &arguments)
{
    wire::FrameWriter writer(command);
    for (const QString &argument : arguments)
        writer << argument;
    sendRaw(writer.frame());
}

QStringList ServerTestClient::ask(const QString &command, const QStringList &arguments, const QString &types)
{
    sendTexts(command, arguments);
    return receive().text(types);
}

bool ServerTestClient::waitForDisconnected()
{
    if (socket.state() == QAbstractSocket::UnconnectedState)
        return true;
    waitForSignal(SIGNAL(disconnected()));
    return socket.state() == QAbstractSocket::UnconnectedState;
}
