#pragma once

#include <QObject>

// Room for bytes shared by all connections (requests waiting to be read,
// replies waiting to be sent). Connections take room before they hold more
// and give it back when done; one that got too little waits for
// roomFreed(). Network thread only.
class ByteBudget : public QObject
{
    Q_OBJECT

public:
    explicit ByteBudget(qint64 limit, QObject *parent = nullptr)
        : QObject(parent)
        , limit(limit)
    { }

    qint64 room() const { return qMax<qint64>(0, limit - used); }
    qint64 inUse() const { return used; }
    bool exhausted() const { return used >= limit; }
    // Whether any room is left; when none is, the asker is woken by roomFreed().
    bool admits();

    // Takes up to bytes of room and returns how much was taken.
    qint64 take(qint64 bytes);
    // Asks to be woken by roomFreed() once room comes free.
    void awaitRoom() { someoneWaits = true; }
    // Counts bytes as held even past the limit (a reply already made).
    void charge(qint64 bytes) { used += bytes; }
    void giveBack(qint64 bytes);

signals:
    // Room came free after someone was refused; sent once per shortage, from
    // the event loop.
    void roomFreed();

private:
    const qint64 limit;
    qint64 used = 0;
    bool someoneWaits = false;
    bool notifying = false;
};
