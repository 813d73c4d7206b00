#pragma once

#include <QLockFile>
#include <QString>

// Marks a database as held by a running server, with a lock file beside
// it ("PATH.lock"), so that a restore never replaces the file under a
// server. A server that died leaves a stale lock, which the next one takes.
class ServerLock
{
public:
    explicit ServerLock(const QString &databasePath);

    // Takes the lock, or says which process holds it.
    bool acquire(QString *error);

private:
    QLockFile lock;
};
