#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMutex>

class Clock;

// Slows down password guessing from one address. The digest a client sends
// is as good as the password, so after a few failed logins from an address
// within a while, each further attempt from there waits before its answer,
// longer each time, whatever the password. Other addresses are not
// affected, and no account is ever locked. Safe to use from any thread.
class LoginThrottle
{
public:
    static constexpr int FreeFailures = 5;
    static constexpr qint64 WindowMilliseconds = 15 * 60 * 1000;
    static constexpr qint64 FirstWaitMilliseconds = 2000;
    static constexpr qint64 LongestWaitMilliseconds = 60 * 1000;

    explicit LoginThrottle(Clock &clock);

    // Starts an attempt from the address, counted as failed until
    // succeeded() is called for it, and gives how long its answer must wait.
    // Attempts made at the same time wait one after the other.
    qint64 begin(const QHostAddress &address);
    void succeeded(const QHostAddress &address);

    // The failed attempts from the address within the window.
    int recentFailures(const QHostAddress &address) const;

private:
    struct Record
    {
        QList<qint64> failures; // when each attempt began, oldest first
        qint64 lastAnswerAt = 0;
    };

    // Drops the records of addresses whose failures are all old, once per
    // window, so that many guessing addresses cannot fill the memory.
    void forgetOldRecords(qint64 now);

    Clock &clock;
    mutable QMutex lock; // guards records and lastForgetting
    QHash<QString, Record> records;
    qint64 lastForgetting = 0;
};
