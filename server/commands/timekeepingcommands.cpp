#include "timekeepingcommands.h"

#include "accountlookup.h"
#include "clockarguments.h"
#include "commanddispatcher.h"
#include "ownergroups.h"
#include "reply.h"
#include "replyfields.h"
#include "requestorigin.h"

#include "net/longlistreader.h"

#include "wire/clocktimes.h"
#include "wire/commands.h"
#include "wire/replytags.h"

#include <algorithm>

namespace {

qint64 clockTime(const QString &text)
{
    return text.toLongLong();
}

// A period as the browser names it: an end of 0 stands for the open period.
ClockPeriod namedPeriod(const QString &start, const QString &end)
{
    ClockPeriod period{clockTime(start), clockTime(end)};
    if (*period.end == ClockTime::None)
        period.end.reset();
    return period;
}

QString timeText(qint64 time)
{
    return QString::number(time);
}

QString endText(const ClockPeriod &period)
{
    return timeText(period.end.value_or(ClockTime::None));
}

// The hours of a closed period to two decimals at most, without trailing
// zeros: "7.5", "2.25", "8". An open period counts nothing yet: "0".
QString hoursText(const ClockPeriod &period)
{
    if (period.isOpen())
        return QStringLiteral("0");
    constexpr qint64 SecondsPerHundredthHour = 36;
    const qint64 seconds = std::max<qint64>(0, *period.end - period.start);
    const qint64 hundredths = (seconds + SecondsPerHundredthHour / 2) / SecondsPerHundredthHour;
    QString text = QString::number(hundredths / 100);
    const qint64 fraction = hundredths % 100;
    if (fraction % 10 != 0)
        text += QStringLiteral(".%1").arg(fraction, 2, 10, QLatin1Char('0'));
    else if (fraction != 0)
        text += QStringLiteral(".%1").arg(fraction / 10);
    return text;
}

ClockPeriods::Order orderOf(const QString &order)
{
    return order == TimeStampOrder::newToOld() ? ClockPeriods::Order::NewestFirst : ClockPeriods::Order::OldestFirst;
}

// Why a period may not be stored as given, or an empty text.
QString newPeriodProblem(const ClockPeriod &period, qint64 now)
{
    if (*period.end <= period.start)
        return QStringLiteral("the period ends before or when it starts");
    if (*period.end > now)
        return QStringLiteral("the period lies in the future");
    return {};
}

// Three parallel lists: starts, ends, hours.
struct PeriodColumns
{
    QStringList starts, ends, totals;

    void add(const ClockPeriod &period)
    {
        starts.append(timeText(period.start));
        ends.append(endText(period));
        totals.append(hoursText(period));
    }
};

// The number of users with periods in the span, then per user: name,
// starts, ends, hours.
void sendAllTimeStamps(const Reply &reply, const std::optional<QList<UserClockPeriod>> &found)
{
    if (reply.storeFailed(found))
        return;
    struct UserColumns
    {
        QString owner;
        PeriodColumns columns;
    };
    const QList<UserColumns> owners = groupByOwner<UserColumns>(
        *found, [](UserColumns &user, const UserClockPeriod &entry) { user.columns.add(entry.period); });
    ReplyFields groups;
    for (const UserColumns &user : owners)
        groups.add(user.owner, user.columns.starts, user.columns.ends, user.columns.totals);
    reply.send(ReplyTag::GetAllUserTimeStamps, QString::number(owners.size()), groups);
}

} // namespace

TimeKeepingCommands::TimeKeepingCommands(ServerServices services)
    : longLists(services.longLists)
    , users(services.store)
    , periods(services.store)
{ }

void TimeKeepingCommands::registerCommands(CommandDispatcher &dispatcher)
{
    dispatcher.add<ClockStatusFilterArgument, DepartmentFilterArgument>(
        Command::GetClockStat, [this](const Reply &reply, const QString &status, const QString &department) {
            clockOverview(reply, status, department);
        });
    dispatcher.add<>(Command::GetListOfTimeStampUsers, [this](const Reply &reply) { timeStampUsers(reply); });
    dispatcher.add<UserNameArgument>(Command::GetTimeStampUserLast,
                                     [this](const Reply &reply, const QString &user) { firstStart(reply, user); });
    dispatcher.add<UserNameArgument, ClockTimeArgument, ClockTimeArgument, TimeStampOrderArgument>(
        Command::GetUserTimeStamps,
        [this](const Reply &reply, const QString &user, const QString &from, const QString &to, const QString &order) {
            userTimeStamps(reply, user, from, to, order);
        });
    dispatcher.add<ClockTimeArgument, ClockTimeArgument, TimeStampOrderArgument>(
        Command::GetAllUserTimeStamps, [this](const Reply &reply, const QString &from, const QString &to,
                                              const QString &order) { allTimeStamps(reply, from, to, order); });
    dispatcher.add<UserNameArgument, ClockTimeArgument, ClockTimeArgument>(
        Command::AddTimeStamp, [this](const Reply &reply, const QString &user, const QString &start,
                                      const QString &end) { addTimeStamp(reply, user, start, end); });
    dispatcher.add<UserNameArgument, ClockTimeArgument, ClockTimeArgument, ClockTimeArgument, ClockTimeArgument>(
        Command::EditTimeStamp, [this](const Reply &reply, const QString &user, const QString &start,
                                       const QString &end, const QString &oldStart, const QString &oldEnd) {
            editTimeStamp(reply, user, start, end, oldStart, oldEnd);
        });
    dispatcher.add<UserNameArgument, ClockTimeArgument, ClockTimeArgument, TimeStampTotalArgument>(
        Command::RemoveTimeStamp,
        [this](const Reply &reply, const QString &user, const QString &start, const QString &end, const QString &) {
            removeTimeStamp(reply, user, start, end);
        });
}

// The number of users, then per user: name, start and end of the latest
// period (end 0 while open, both 0 for a user never clocked in), "In" or
// "Out".
void TimeKeepingCommands::clockOverview(const Reply &reply, const QString &status, const QString &department)
{
    const std::optional<QList<ClockOverviewRow>> rows
        = periods.overview(department == ClockFilter::all() ? std::nullopt : std::optional<QString>(department));
    if (reply.storeFailed(rows))
        return;
    int count = 0;
    ReplyFields records;
    for (const ClockOverviewRow &row : *rows) {
        const QString state = row.latest && row.latest->isOpen() ? ClockState::in() : ClockState::out();
        if (status != ClockFilter::all() && status != state)
            continue;
        const ClockPeriod latest = row.latest.value_or(ClockPeriod{ClockTime::None, ClockTime::None});
        records.add(row.userName, timeText(latest.start), endText(latest), state);
        ++count;
    }
    reply.send(ReplyTag::GetClockStat, QString::number(count), records);
}

void TimeKeepingCommands::timeStampUsers(const Reply &reply)
{
    const std::optional<QStringList> names = periods.userNames();
    if (reply.storeFailed(names))
        return;
    reply.send(ReplyTag::GetListOfTimeStampUsers, *names);
}

// The start of the user's earliest period, from which the browser offers
// years; now for a user without periods.
void TimeKeepingCommands::firstStart(const Reply &reply, const QString &userName)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const Lookup<qint64> start = periods.earliestStart(account->id);
    if (reply.storeFailed(start))
        return;
    reply.send(ReplyTag::GetTimeStampUserLast, timeText(start.found() ? *start : clockActor(reply).at));
}

void TimeKeepingCommands::userTimeStamps(const Reply &reply, const QString &userName, const QString &from,
                                         const QString &to, const QString &order)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const std::optional<QList<ClockPeriod>> found
        = periods.periods(account->id, clockTime(from), clockTime(to), orderOf(order));
    if (reply.storeFailed(found))
        return;
    PeriodColumns columns;
    for (const ClockPeriod &period : *found)
        columns.add(period);
    reply.send(ReplyTag::GetUserTimeStamps, columns.starts, columns.ends, columns.totals);
}

// Read on the long-list reader: a year of every user's periods takes tens
// of milliseconds.
void TimeKeepingCommands::allTimeStamps(const Reply &reply, const QString &from, const QString &to,
                                        const QString &order)
{
    longLists.read([reply, periods = periods, from = clockTime(from), to = clockTime(to), order = orderOf(order)] {
        sendAllTimeStamps(reply, periods.allPeriods(from, to, order));
    });
}

// The account of the user whose period is set to period, when the period
// may stand; otherwise the reply says why.
Lookup<UserAccount> TimeKeepingCommands::ownerOfNewPeriod(const Reply &reply, const QString &userName,
                                                          const ClockPeriod &period, qint64 now)
{
    const QString problem = newPeriodProblem(period, now);
    if (!problem.isEmpty()) {
        reply.error(problem);
        return Lookup<UserAccount>::missing();
    }
    return accountOrError(users, reply, userName, AccountState::Any);
}

void TimeKeepingCommands::addTimeStamp(const Reply &reply, const QString &userName, const QString &start,
                                       const QString &end)
{
    const ClockActor actor = clockActor(reply);
    const ClockPeriod period{clockTime(start), clockTime(end)};
    const Lookup<UserAccount> account = ownerOfNewPeriod(reply, userName, period, actor.at);
    if (!account.found())
        return;
    answerChange(reply, periods.add(account->id, period, actor), ReplyTag::AddTimeStamp, userName);
}

// Answered like an addition.
void TimeKeepingCommands::editTimeStamp(const Reply &reply, const QString &userName, const QString &start,
                                        const QString &end, const QString &oldStart, const QString &oldEnd)
{
    const ClockActor actor = clockActor(reply);
    const ClockPeriod updated{clockTime(start), clockTime(end)};
    const Lookup<UserAccount> account = ownerOfNewPeriod(reply, userName, updated, actor.at);
    if (!account.found())
        return;
    answerChange(reply, periods.replace(account->id, namedPeriod(oldStart, oldEnd), updated, actor),
                 ReplyTag::AddTimeStamp, userName);
}

void TimeKeepingCommands::removeTimeStamp(const Reply &reply, const QString &userName, const QString &start,
                                          const QString &end)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    answerChange(reply, periods.remove(account->id, namedPeriod(start, end), clockActor(reply)),
                 ReplyTag::RemoveTimeStamp, userName);
}

void TimeKeepingCommands::answerChange(const Reply &reply, ClockPeriods::Change change, const QString &tag,
                                       const QString &userName)
{
    switch (change) {
    case ClockPeriods::Change::Done:
        reply.send(tag);
        return;
    case ClockPeriods::Change::NotFound:
        reply.error(QStringLiteral("\"%1\" has no period with exactly this start and end").arg(userName));
        return;
    case ClockPeriods::Change::Overlaps:
        reply.error(QStringLiteral("the period overlaps another period of \"%1\"").arg(userName));
        return;
    case ClockPeriods::Change::Failed:
        reply.storeFailure();
        return;
    }
}
