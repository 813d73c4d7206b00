#pragma once

#include <QByteArray>
#include <QtGlobal>

// How one connection's bytes come and go: a plain socket or a TLS one. The
// connection above it decides what to read and write and when; the
// transport moves bytes and tells what happened through its Events.
class ConnectionTransport
{
public:
    class Events
    {
    public:
        // More bytes may be read.
        virtual void readable() = 0;
        // Bytes of the reply written earlier went out.
        virtual void moved(qint64 bytes) = 0;
        // The connection is closed for good.
        virtual void ended() = 0;

    protected:
        ~Events() = default;
    };

    virtual ~ConnectionTransport() = default;

    // Called once, before anything else.
    virtual void start(Events &events) = 0;
    // Reads up to size bytes into data: how many were read, 0 when none are
    // there now (or the peer has gone: ended() follows).
    virtual qint64 read(char *data, qint64 size) = 0;
    // Sends bytes, or keeps what cannot go at once; returns how many went at
    // once (the rest is told by moved()).
    virtual qint64 write(const QByteArray &bytes) = 0;
    // Bytes written but not yet sent.
    virtual qint64 unsent() const = 0;
    // Closes once the unsent bytes went (the connection bounds how long
    // that may take); ended() follows.
    virtual void close() = 0;
    // Closes at once, dropping what is unsent; ended() follows.
    virtual void abort() = 0;
};
