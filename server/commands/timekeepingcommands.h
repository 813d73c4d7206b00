#pragma once

#include "commanddomain.h"

#include "storage/clockperiods.h"
#include "storage/useraccounts.h"

class LongListReader;
class Reply;

// The office's view of the clock records: who is in, each user's periods
// with their hours, and periods added, corrected and removed by hand.
class TimeKeepingCommands : public CommandDomain
{
public:
    explicit TimeKeepingCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void clockOverview(const Reply &reply, const QString &status, const QString &department);
    void timeStampUsers(const Reply &reply);
    void firstStart(const Reply &reply, const QString &userName);
    void userTimeStamps(const Reply &reply, const QString &userName, const QString &from, const QString &to,
                        const QString &order);
    void allTimeStamps(const Reply &reply, const QString &from, const QString &to, const QString &order);
    void addTimeStamp(const Reply &reply, const QString &userName, const QString &start, const QString &end);
    void editTimeStamp(const Reply &reply, const QString &userName, const QString &start, const QString &end,
                       const QString &oldStart, const QString &oldEnd);
    void removeTimeStamp(const Reply &reply, const QString &userName, const QString &start, const QString &end);

    Lookup<UserAccount> ownerOfNewPeriod(const Reply &reply, const QString &userName, const ClockPeriod &period,
                                         qint64 now);
    void answerChange(const Reply &reply, ClockPeriods::Change change, const QString &tag, const QString &userName);

    LongListReader &longLists;
    UserAccounts users;
    ClockPeriods periods;
};
