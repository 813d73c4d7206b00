#pragma once

#include <fieldreader.h>
#include <frame.h>

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpSocket>

#include <optional>

// A plain client for tests that talk to a repair server over TCP: it sends
// frames and waits, running the event loop (so a server in the same
// process keeps working), for one reply frame at a time.
class ServerTestClient
{
public:
    explicit ServerTestClient(int timeoutMilliseconds = 10000)
        : timeout(timeoutMilliseconds)
    { }

    // from: the local address to connect from (127.0.0.x stands for
    // separate terminals); any when null.
    bool connectTo(const QHostAddress &address, quint16 port, const QHostAddress &from = {});

    // Sends bytes as they are (a whole frame, part of one, or several).
    void sendRaw(const QByteArray &bytes);
    // Sends each argument as one text.
    void sendTexts(const QString &command, const QStringList &arguments);

    // The field that begins a frame of this size.
    static QByteArray sizeField(qint64 size);

    template<typename... Values>
    void send(const QString &command, const Values &...values)
    {
        sendRaw(wire::frame(command, values...));
    }

    // The next whole reply frame; nothing on time-out, a closed connection
    // or a reply whose size field is impossible.
    std::optional<QByteArray> receiveFrame();

    // One reply: its tag and a reader positioned on its first field.
    struct Reply
    {
        QString tag;
        wire::FieldReader fields{QByteArray()};
        bool received = false;

        // For comparing: the tag, then the fields read by types, one letter
        // a field ('s' text, 'l' list as "[a,b]", 'i' int); the letters after
        // a '/' repeat to the end. An "Error" with one non-empty text reads
        // as "Error" alone. "<bad>" or "<more>" ends fields that do not fit.
        QStringList text(const QString &types = QStringLiteral("/s"));
    };
    Reply receive();

    template<typename... Values>
    Reply request(const QString &command, const Values &...values)
    {
        send(command, values...);
        return receive();
    }

    // sendTexts(), then the reply as Reply::text() gives it.
    QStringList ask(const QString &command, const QStringList &arguments = {},
                    const QString &types = QStringLiteral("/s"));

    // Whether a reply frame is complete already, without waiting.
    bool hasReplyWaiting();

    bool waitForDisconnected();

private:
    bool waitForSignal(const char *signal);

    QTcpSocket socket;
    QByteArray buffer;
    const int timeout;
};
