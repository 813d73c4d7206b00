#pragma once

#include "commanddomain.h"

#include "storage/customorders.h"
#include "storage/ordertimestamps.h"
#include "storage/useraccounts.h"

class Reply;

// Custom jobs from the shop floor: starting one, its repair sheet (lines,
// timing, submitting, a manager's confirmation), line entry, and continuing
// an open job.
class CustomCommands : public CommandDomain
{
public:
    explicit CustomCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void start(const Reply &reply, const QString &userName, const NewCustomJob &job);
    void repairLines(const Reply &reply, const CustomJobKey &key);
    void addLine(const Reply &reply, const CustomJobKey &key, const CustomLine &line, const QString &status,
                 const QString &userName);
    void editLine(const Reply &reply, const CustomJobKey &key, const CustomLine &old, const CustomLine &replacement);
    void removeLine(const Reply &reply, const CustomJobKey &key, const CustomLine &old);
    void submit(const Reply &reply, const CustomJobKey &key);
    void confirm(const Reply &reply, const CustomJobKey &key);
    void startTiming(const Reply &reply, const QString &userName, const CustomJobKey &key);
    void endTiming(const Reply &reply, const QString &userName, const CustomJobKey &key, const QString &stampId);
    void totalTime(const Reply &reply, const CustomJobKey &key);
    void openJobs(const Reply &reply);
    void continueJob(const Reply &reply, const CustomJobKey &key);

    // The job, or an "Error" reply and nothing.
    Lookup<CustomJob> jobOrError(const Reply &reply, const CustomJobKey &key);
    // Answers a write: the tag when it was done, otherwise an "Error".
    static void answer(const Reply &reply, CustomOrders::Change change, const QString &tag, const QString &refusal);

    UserAccounts users;
    CustomOrders jobs;
    OrderTimeStamps stamps;
};
