#include "loginthrottle.h"

#include "clock.h"
#include "terminalsessions.h"

#include <QMutexLocker>

#include <algorithm>

LoginThrottle::LoginThrottle(Clock &clock)
    : clock(clock)
{ }

qint64 LoginThrottle::begin(const QHostAddress &address)
{
    const qint64 now = clock.now();
    const QMutexLocker guard(&lock);
    forgetOldRecords(now);
    Record &record = records[TerminalSessions::addressKey(address)];
    while (!record.failures.isEmpty() && record.failures.constFirst() <= now - WindowMilliseconds)
        record.failures.removeFirst();

    qint64 wait = 0;
    const int beyondFree = record.failures.size() - FreeFailures;
    if (beyondFree >= 0) {
        const qint64 delay = std::min(LongestWaitMilliseconds, FirstWaitMilliseconds << std::min(beyondFree, 16));
        record.lastAnswerAt = std::max(now, record.lastAnswerAt) + delay;
        wait = record.lastAnswerAt - now;
    }
    record.failures.append(now);
    return wait;
}

void LoginThrottle::succeeded(const QHostAddress &address)
{
    const QMutexLocker guard(&lock);
    const auto found = records.find(TerminalSessions::addressKey(address));
    if (found == records.end())
        return;
    if (!found->failures.isEmpty())
        found->failures.removeLast();
    if (found->failures.isEmpty())
        records.erase(found);
}

void LoginThrottle::forgetOldRecords(qint64 now)
{
    if (now - lastForgetting < WindowMilliseconds)
        return;
    lastForgetting = now;
    for (auto record = records.begin(); record != records.end();) {
        const bool old = (record->failures.isEmpty() || record->failures.constLast() <= now - WindowMilliseconds)
                         && record->lastAnswerAt <= now;
        record = old ? records.erase(record) : std::next(record);
    }
}

int LoginThrottle::recentFailures(const QHostAddress &address) const
{
    const qint64 since = clock.now() - WindowMilliseconds;
    const QMutexLocker guard(&lock);
    const QList<qint64> failures = records.value(TerminalSessions::addressKey(address)).failures;
    return int(std::count_if(failures.cbegin(), failures.cend(), [since](qint64 at) { return at > since; }));
}
