#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>

// Checks password digests against stored hashes on worker threads, so that
// a login, which costs tens of milliseconds, never holds up the event loop.
// Outcomes are handed back on this object's thread.
class LoginVerifier : public QObject
{
    Q_OBJECT

public:
    // Whether a digest matches a stored hash; an empty hash means no account.
    // Called on worker threads.
    using Check = std::function<bool(const QByteArray &storedHash, const QString &digest)>;

    // The real check, with PasswordHasher.
    static bool passwordCheck(const QByteArray &storedHash, const QString &digest);

    explicit LoginVerifier(QObject *parent = nullptr);
    explicit LoginVerifier(Check check, QObject *parent = nullptr);
    // Waits for the checks still running; their outcomes are dropped.
    ~LoginVerifier() override;

    // Starts checking digest against storedHash and later calls done with
    // the outcome on this object's thread. An empty storedHash (no account)
    // costs the same and never matches.
    void verify(const QByteArray &storedHash, const QString &digest, std::function<void(bool matches)> done);

    int pendingChecks() const { return waiting.size(); }

private:
    void finish(quint64 job, bool matches);

    Check check;
    QThreadPool workers;
    QHash<quint64, std::function<void(bool)>> waiting;
    quint64 nextJob = 1;
};
