#pragma once

#include <QtGlobal>

// What one peer, and all of them together, may hold of the server: memory,
// connections and time. The defaults suit a shop; tests use small values.
struct ServerLimits
{
    // Bytes of unfinished requests that all connections together may hold
    // beyond the first RequestAllowance bytes each. Past it, reading stops
    // and the kernel pushes back on the senders.
    qint64 bufferedRequestBytes = 32 << 20;
    // Every connection may buffer this much regardless, so that terminals
    // keep working while others hold the shared room; it covers any request
    // a screen sends.
    qint64 requestAllowance = 8 << 10;
    // Bytes the socket reads ahead of the frame being collected; past them
    // the kernel holds the sender back.
    qint64 socketReadAhead = 8 << 10;

    // Replies written but not yet taken by their clients, all together.
    // Past it no further request is taken until the bytes drain.
    qint64 unsentReplyBytes = 64 << 20;

    // A frame must be complete this long after its first byte arrived.
    int frameTimeoutMs = 30000;
    // A connection from an address without a session must send a complete
    // request this often.
    int idleTimeoutMs = 30000;
    // A reply that has not moved for this long ends its connection.
    int replyTimeoutMs = 60000;

    // Connections from one address, and from all addresses together.
    int connectionsPerAddress = 64;
    int connections = 1000;
    // How long accepting rests after the system refused a new connection.
    int acceptPauseMs = 500;

    // Repeated events of one kind from one address are logged once and then
    // counted; the counts are logged once per period.
    int logSummaryPeriodMs = 60000;
};
