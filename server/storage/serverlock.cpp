#include "serverlock.h"

ServerLock::ServerLock(const QString &databasePath)
    : lock(databasePath + QStringLiteral(".lock"))
{
    // The lock lasts as long as the server; only a dead holder makes it stale.
    lock.setStaleLockTime(0);
}

bool ServerLock::acquire(QString *error)
{
    if (lock.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application))
        *error = QStringLiteral("the database is held by a running server (process %1 on %2)").arg(pid).arg(host);
    else
        *error = QStringLiteral("the database's lock file cannot be taken");
    return false;
}
