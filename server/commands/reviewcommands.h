#pragma once

#include "commanddomain.h"

#include "storage/reviewqueries.h"
#include "storage/useraccounts.h"

class Reply;

// The management panel's counts and the order review: which workers have
// orders waiting for a check or a confirmation, their orders, and the
// details of the one a checker or manager opens.
class ReviewCommands : public CommandDomain
{
public:
    explicit ReviewCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void numberToConfirm(const Reply &reply);
    void binWorkers(const Reply &reply, int status);
    void customWorkers(const Reply &reply);
    void allBinWork(const Reply &reply, const QString &selection, int status);
    void allCustomWork(const Reply &reply);
    void workerBinOrders(const Reply &reply, const QString &userName, int status);
    void workerCustomWork(const Reply &reply, const QString &userName);
    void binForReview(const Reply &reply, const QString &tag, const QString &userName, const QString &binId,
                      int status);
    void customForCheck(const Reply &reply, const QString &userName, const QString &orderLine);

    UserAccounts users;
    ReviewQueries review;
};
