#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

// Hashes the digests of new passwords on worker threads, so that storing a
// password, which costs tens of milliseconds, never holds up the event loop.
// Hashes are handed back on this object's thread; hash() may be called from
// any thread.
class PasswordHashQueue : public QObject
{
public:
    explicit PasswordHashQueue(QObject *parent = nullptr);
    // Waits for the hashes still being made; they are dropped.
    ~PasswordHashQueue() override;

    // Starts hashing digest and later calls done with the hash (empty when
    // hashing failed) on this object's thread.
    void hash(const QString &digest, std::function<void(const QByteArray &hash)> done);

private:
    void finish(quint64 job, const QByteArray &hash);

    QThreadPool workers;
    QMutex lock; // guards waiting and nextJob
    QHash<quint64, std::function<void(const QByteArray &)>> waiting;
    quint64 nextJob = 1;
};
