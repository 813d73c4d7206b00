#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

// Checks logins' passwords and hashes new ones on a bounded pool of
// threads, so that either, which costs tens of milliseconds and 19 MiB,
// never holds up the event loop. Outcomes are handed back through the
// outcome runner (for the server: a database thread, in the handlers'
// turn), or on this object's thread while none is set. verify() and hash()
// may be called from any thread.
class PasswordWorkers : public QObject
{
    Q_OBJECT

public:
    // Whether a digest matches a stored hash; an empty hash means no account.
    // Called on worker threads.
    using Check = std::function<bool(const QByteArray &storedHash, const QString &digest)>;

    // The real check, with PasswordHasher.
    static bool passwordCheck(const QByteArray &storedHash, const QString &digest);

    // Runs an outcome callback where the caller wants it.
    using OutcomeRunner = std::function<void(std::function<void()> callback)>;

    explicit PasswordWorkers(QObject *parent = nullptr);
    explicit PasswordWorkers(Check check, QObject *parent = nullptr);
    // Waits for the work still running; its outcomes are dropped.
    ~PasswordWorkers() override;

    // Starts checking digest against storedHash and later calls done with
    // the outcome. An empty storedHash (no account) costs the same and
    // never matches.
    void verify(const QByteArray &storedHash, const QString &digest, std::function<void(bool matches)> done);

    // Starts hashing digest and later calls done with the hash (empty when
    // hashing failed).
    void hash(const QString &digest, std::function<void(const QByteArray &hash)> done);

    void setOutcomeRunner(OutcomeRunner runner);

    // Checks and hashes started and not handed back yet.
    int pending() const;

private:
    // Runs work on the pool; finish, with the result, is kept here until
    // the work is done, so that the callback and whatever it refers to
    // never go to a worker thread.
    template<typename Result>
    void start(std::function<Result()> work, std::function<void(const Result &)> done);
    void finish(quint64 job);

    Check check;
    OutcomeRunner runOutcome;
    QThreadPool workers;
    mutable QMutex lock; // guards waiting, nextJob and runOutcome
    QHash<quint64, std::function<void()>> waiting;
    quint64 nextJob = 1;
};
