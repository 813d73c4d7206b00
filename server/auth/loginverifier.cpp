#include "loginverifier.h"

#include "passwordhasher.h"

#include <QRunnable>
#include <QThread>

LoginVerifier::LoginVerifier(QObject *parent)
    : LoginVerifier(&LoginVerifier::passwordCheck, parent)
{ }

LoginVerifier::LoginVerifier(Check check, QObject *parent)
    : QObject(parent)
    , check(std::move(check))
{
    // Each check holds 19 MiB and a core for its whole time. Half the cores
    // at most: a shift logging in at once must leave the terminals already
    // working the rest, rather than queue their requests behind the checks.
    workers.setMaxThreadCount(qMax(1, QThread::idealThreadCount() / 2));
}

LoginVerifier::~LoginVerifier()
{
    workers.waitForDone();
}

bool LoginVerifier::passwordCheck(const QByteArray &storedHash, const QString &digest)
{
    return storedHash.isEmpty() ? PasswordHasher::verifyWithoutAccount(digest)
                                : PasswordHasher::verify(storedHash, digest);
}

void LoginVerifier::setOutcomeRunner(OutcomeRunner runner)
{
    QMutexLocker locked(&lock);
    runOutcome = std::move(runner);
}

int LoginVerifier::pendingChecks() const
{
    QMutexLocker locked(&lock);
    return waiting.size();
}

void LoginVerifier::verify(const QByteArray &storedHash, const QString &digest, std::function<void(bool)> done)
{
    QMutexLocker locked(&lock);
    const quint64 job = nextJob++;
    waiting.insert(job, std::move(done));
    // The task holds copies of the inputs only: the callback, with whatever
    // it refers to, stays with this object.
    workers.start(QRunnable::create([this, job, storedHash, digest] {
        const bool matches = check(storedHash, digest);
        // Safe: the destructor waits for every task before this object goes.
        QMetaObject::invokeMethod(
            this, [this, job, matches] { finish(job, matches); }, Qt::QueuedConnection);
    }));
}

void LoginVerifier::finish(quint64 job, bool matches)
{
    QMutexLocker locked(&lock);
    std::function<void(bool)> done = waiting.take(job);
    const OutcomeRunner runner = runOutcome;
    locked.unlock();
    if (!done)
        return;
    if (runner)
        runner([done = std::move(done), matches] { done(matches); });
    else
        done(matches);
}
