#include "passwordworkers.h"

#include "passwordhasher.h"

#include <QRunnable>
#include <QThread>

#include <memory>

PasswordWorkers::PasswordWorkers(QObject *parent)
    : PasswordWorkers(&PasswordWorkers::passwordCheck, parent)
{ }

PasswordWorkers::PasswordWorkers(Check check, QObject *parent)
    : QObject(parent)
    , check(std::move(check))
{
    // Each check or hash holds 19 MiB and a core for its whole time. Half
    // the cores at most: a shift logging in at once must leave the
    // terminals already working the rest, rather than queue their requests
    // behind the checks.
    workers.setMaxThreadCount(qMax(1, QThread::idealThreadCount() / 2));
}

PasswordWorkers::~PasswordWorkers()
{
    workers.waitForDone();
}

bool PasswordWorkers::passwordCheck(const QByteArray &storedHash, const QString &digest)
{
    return storedHash.isEmpty() ? PasswordHasher::verifyWithoutAccount(digest)
                                : PasswordHasher::verify(storedHash, digest);
}

void PasswordWorkers::setOutcomeRunner(OutcomeRunner runner)
{
    QMutexLocker locked(&lock);
    runOutcome = std::move(runner);
}

int PasswordWorkers::pending() const
{
    QMutexLocker locked(&lock);
    return waiting.size();
}

void PasswordWorkers::verify(const QByteArray &storedHash, const QString &digest, std::function<void(bool)> done)
{
    start<bool>([this, storedHash, digest] { return check(storedHash, digest); }, std::move(done));
}

void PasswordWorkers::hash(const QString &digest, std::function<void(const QByteArray &)> done)
{
    start<QByteArray>([digest] { return PasswordHasher::hash(digest); }, std::move(done));
}

template<typename Result>
void PasswordWorkers::start(std::function<Result()> work, std::function<void(const Result &)> done)
{
    // The worker writes the result before it queues finish(), which reads it.
    const auto result = std::make_shared<Result>();
    QMutexLocker locked(&lock);
    const quint64 job = nextJob++;
    waiting.insert(job, [done = std::move(done), result] { done(*result); });
    workers.start(QRunnable::create([this, job, work = std::move(work), result] {
        *result = work();
        // Safe: the destructor waits for every task before this object goes.
        QMetaObject::invokeMethod(
            this, [this, job] { finish(job); }, Qt::QueuedConnection);
    }));
}

void PasswordWorkers::finish(quint64 job)
{
    QMutexLocker locked(&lock);
    std::function<void()> done = waiting.take(job);
    const OutcomeRunner runner = runOutcome;
    locked.unlock();
    if (!done)
        return;
    if (runner)
        runner(std::move(done));
    else
        done();
}
