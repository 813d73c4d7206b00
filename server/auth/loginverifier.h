#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

// Checks password digests against stored hashes on worker threads, so that
// a login, which costs tens of milliseconds, never holds up the event loop.
// Outcomes are handed back on this object's thread, or through the outcome
// runner when one is set. verify() may be called from any thread.
class LoginVerifier : public QObject
{
    Q_OBJECT

public:
    // Whether a digest matches a stored hash; an empty hash means no account.
    // Called on worker threads.
    using Check = std::function<bool(const QByteArray &storedHash, const QString &digest)>;

    // The real check, with PasswordHasher.
    static bool passwordCheck(const QByteArray &storedHash, const QString &digest);

    // Runs an outcome callback where the caller wants it (for the server:
    // on a database thread, in the handlers' turn).
    using OutcomeRunner = std::function<void(std::function<void()> callback)>;

    explicit LoginVerifier(QObject *parent = nullptr);
    explicit LoginVerifier(Check check, QObject *parent = nullptr);
    // Waits for the checks still running; their outcomes are dropped.
    ~LoginVerifier() override;

    // Starts checking digest against storedHash and later calls done with
    // the outcome on this object's thread. An empty storedHash (no account)
    // costs the same and never matches.
    void verify(const QByteArray &storedHash, const QString &digest, std::function<void(bool matches)> done);

    void setOutcomeRunner(OutcomeRunner runner);

    int pendingChecks() const;

private:
    void finish(quint64 job, bool matches);

    Check check;
    OutcomeRunner runOutcome;
    QThreadPool workers;
    mutable QMutex lock; // guards waiting, nextJob and runOutcome
    QHash<quint64, std::function<void(bool)>> waiting;
    quint64 nextJob = 1;
};
