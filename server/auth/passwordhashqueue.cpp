#include "passwordhashqueue.h"

#include "passwordhasher.h"

#include <QMutexLocker>
#include <QRunnable>

PasswordHashQueue::PasswordHashQueue(QObject *parent)
    : QObject(parent)
{
    // Each hash holds 19 MiB; account changes are rare, one at a time is plenty.
    workers.setMaxThreadCount(1);
}

PasswordHashQueue::~PasswordHashQueue()
{
    workers.waitForDone();
}

void PasswordHashQueue::hash(const QString &digest, std::function<void(const QByteArray &)> done)
{
    QMutexLocker locked(&lock);
    const quint64 job = nextJob++;
    waiting.insert(job, std::move(done));
    workers.start(QRunnable::create([this, job, digest] {
        const QByteArray hash = PasswordHasher::hash(digest);
        // Safe: the destructor waits for every task before this object goes.
        QMetaObject::invokeMethod(
            this, [this, job, hash] { finish(job, hash); }, Qt::QueuedConnection);
    }));
}

void PasswordHashQueue::finish(quint64 job, const QByteArray &hash)
{
    QMutexLocker locked(&lock);
    const std::function<void(const QByteArray &)> done = waiting.take(job);
    locked.unlock();
    if (done)
        done(hash);
}
