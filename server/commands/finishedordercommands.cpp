#include "finishedordercommands.h"

#include "accountlookup.h"
#include "actinguser.h"
#include "argumentrules.h"
#include "commanddispatcher.h"
#include "listtexts.h"
#include "ownergroups.h"
#include "reply.h"
#include "replyfields.h"

#include "net/longlistreader.h"

#include "wire/commands.h"
#include "wire/customjobstatus.h"
#include "wire/finishedorderlists.h"
#include "wire/repaircodelists.h"
#include "wire/replytags.h"

#include <QDateTime>

namespace {

using Text = const QString &;

FinishedOrders::Sequence sequenceOf(const QString &sequence)
{
    return sequence == FinishedOrderList::OldestFirst ? FinishedOrders::Sequence::OldestFirst
                                                      : FinishedOrders::Sequence::NewestFirst;
}

QString workTypeOf(const QString &listKey)
{
    for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
        if (kind.key == listKey)
            return kind.category;
    }
    return {};
}

// The number of owners, then per owner: the name and three parallel
// columns, bin IDs, repair ids and dates.
void sendBinList(const Reply &reply, const std::optional<QVector<FinishedBinOrder>> &orders)
{
    if (reply.storeFailed(orders))
        return;
    struct Columns
    {
        QString owner;
        QStringList binIds, repairIds, dates;
    };
    // Repair IDs count a bin's repairs: a list of thousands holds few.
    TextsMadeOnce<int> repairIds;
    DayTexts dates;
    const QList<Columns> groups
        = groupByOwner<Columns>(*orders, [&repairIds, &dates](Columns &group, const FinishedBinOrder &order) {
              group.binIds.append(order.binId);
              group.repairIds.append(repairIds.of(order.repairId, [](int id) { return QString::number(id); }));
              group.dates.append(dates.of(order.completedAt));
          });
    ReplyFields fields;
    for (const Columns &group : groups)
        fields.add(group.owner, group.binIds, group.repairIds, group.dates);
    reply.send(ReplyTag::GetFERInfoView, QString::number(groups.size()), fields);
}

// The number of owners, then per owner: the name and five parallel columns,
// order numbers, job types, customers, customers' IDs and dates.
void sendCustomList(const Reply &reply, const std::optional<QVector<FinishedCustomJob>> &jobs)
{
    if (reply.storeFailed(jobs))
        return;
    struct Columns
    {
        QString owner;
        QStringList numbers, jobTypes, customers, customerRefs, dates;
    };
    DayTexts dates;
    const QList<Columns> groups = groupByOwner<Columns>(*jobs, [&dates](Columns &group, const FinishedCustomJob &job) {
        group.numbers.append(QString::number(job.orderId));
        group.jobTypes.append(job.jobType);
        group.customers.append(job.customer);
        group.customerRefs.append(job.customerRef);
        group.dates.append(dates.of(job.completedAt));
    });
    ReplyFields fields;
    for (const Columns &group : groups)
        fields.add(group.owner, group.numbers, group.jobTypes, group.customers, group.customerRefs, group.dates);
    reply.send(ReplyTag::GetCustomInfoView, QString::number(groups.size()), fields);
}

// Submitted by its worker: waiting for confirmation, or confirmed.
bool isFinished(const CustomJob &job)
{
    return CustomJobStatus::isWaitingForConfirmation(job.status) || job.status == CustomJobStatus::Confirmed;
}

CustomJobKey jobKey(const QString &number, const QString &jobType, const QString &customer)
{
    return CustomJobKey{number.toLongLong(), jobType, customer};
}

} // namespace

FinishedOrderCommands::FinishedOrderCommands(ServerServices services)
    : longLists(services.longLists)
    , users(services.store)
    , finished(services.store)
    , jobs(services.store)
    , stamps(services.store)
{ }

void FinishedOrderCommands::registerCommands(CommandDispatcher &dispatcher)
{
    // The order review sends the same command with a status.
    dispatcher.add<>(Command::GetListOfUserOrders, [this](const Reply &reply) { owners(reply); });
    dispatcher.add<BinListKeyArgument, UserNameArgument, ListSequenceArgument>(
        Command::GetFERInfoView,
        [this](const Reply &reply, Text key, Text user, Text sequence) { binList(reply, key, user, sequence); });
    dispatcher.add<UserNameArgument, ListSequenceArgument>(
        Command::GetCustomInfoView,
        [this](const Reply &reply, Text user, Text sequence) { customList(reply, user, sequence); });
    dispatcher.add<UserNameArgument, BinIdArgument, RepairIdArgument>(
        Command::RemoveBin, [this](const Reply &reply, Text owner, Text binId, Text repairId) {
            removeBin(reply, owner, binId, repairId);
        });
    dispatcher.add<UserNameArgument, CustomOrderNumberArgument, CustomJobTypeArgument, CustomerArgument>(
        Command::RemoveCustom, [this](const Reply &reply, Text owner, Text number, Text jobType, Text customer) {
            removeCustom(reply, owner, jobKey(number, jobType, customer));
        });
    // The custom record names the job by customer before job type.
    dispatcher.add<UserNameArgument, CustomOrderNumberArgument, CustomerArgument, CustomJobTypeArgument>(
        Command::GetCustomInfo, [this](const Reply &reply, Text owner, Text number, Text customer, Text jobType) {
            customDetails(reply, owner, jobKey(number, jobType, customer));
        });
    dispatcher.add<UserNameArgument, CustomOrderNumberArgument, CustomerArgument, CustomJobTypeArgument>(
        Command::GetCustomInfoRepairData,
        [this](const Reply &reply, Text owner, Text number, Text customer, Text jobType) {
            customLines(reply, owner, jobKey(number, jobType, customer));
        });
}

void FinishedOrderCommands::owners(const Reply &reply)
{
    const std::optional<QStringList> names = finished.owners();
    if (reply.storeFailed(names))
        return;
    reply.send(ReplyTag::ListOfUserOrders, *names);
}

// Read on the long-list reader: ten years of a worker's orders take
// milliseconds.
void FinishedOrderCommands::binList(const Reply &reply, const QString &listKey, const QString &user,
                                    const QString &sequence)
{
    std::optional<qint64> ownerId;
    if (!listOwner(reply, user, &ownerId))
        return;
    longLists.read([reply, finished = finished, workType = workTypeOf(listKey), ownerId, order = sequenceOf(sequence)] {
        sendBinList(reply, finished.binOrders(workType, ownerId, order));
    });
}

void FinishedOrderCommands::customList(const Reply &reply, const QString &user, const QString &sequence)
{
    std::optional<qint64> ownerId;
    if (!listOwner(reply, user, &ownerId))
        return;
    longLists.read([reply, finished = finished, ownerId, order = sequenceOf(sequence)] {
        sendCustomList(reply, finished.customJobs(ownerId, order));
    });
}

void FinishedOrderCommands::removeBin(const Reply &reply, const QString &owner, const QString &binId,
                                      const QString &repairId)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, owner, AccountState::Any);
    if (!account.found())
        return;
    switch (finished.removeBinOrder(account->id, binId, repairId.toInt(), actingUserId(reply),
                                    QDateTime::currentSecsSinceEpoch())) {
    case FinishedOrders::Removal::Removed:
        reply.send(ReplyTag::RemoveBin);
        return;
    case FinishedOrders::Removal::NotFound:
        reply.error(QStringLiteral("\"%1\" has no finished order for bin %2, repair %3").arg(owner, binId, repairId));
        return;
    case FinishedOrders::Removal::Failed:
        reply.storeFailure();
        return;
    }
}

void FinishedOrderCommands::removeCustom(const Reply &reply, const QString &owner, const CustomJobKey &key)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, owner, AccountState::Any);
    if (!account.found())
        return;
    switch (finished.removeCustomJob(account->id, key, actingUserId(reply), QDateTime::currentSecsSinceEpoch())) {
    case FinishedOrders::Removal::Removed:
        reply.send(ReplyTag::RemoveCustom);
        return;
    case FinishedOrders::Removal::NotFound:
        reply.error(QStringLiteral("\"%1\" has no finished custom job %2 %3 %4")
                        .arg(owner, QString::number(key.id), key.customer, key.jobType));
        return;
    case FinishedOrders::Removal::Failed:
        reply.storeFailure();
        return;
    }
}

// The job's date as it was started, contact name, phone, e-mail and the
// hours booked on it.
void FinishedOrderCommands::customDetails(const Reply &reply, const QString &owner, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = finishedJobOrError(reply, owner, key);
    if (!job.found())
        return;
    const std::optional<double> hours = stamps.totalHours(TimedOrder::custom(job->id));
    if (reply.storeFailed(hours))
        return;
    reply.send(ReplyTag::GetCustomInfo, job->details.date, job->details.contactName, job->details.phone,
               job->details.email, OrderTimeStamps::hoursText(*hours));
}

// Three parallel lists, in the order the lines were entered: descriptions,
// materials and times ("h:m").
void FinishedOrderCommands::customLines(const Reply &reply, const QString &owner, const CustomJobKey &key)
{
    const Lookup<CustomJob> job = finishedJobOrError(reply, owner, key);
    if (!job.found())
        return;
    const std::optional<QList<CustomLine>> found = jobs.lines(job->id);
    if (reply.storeFailed(found))
        return;
    QStringList descriptions, materials, times;
    for (const CustomLine &line : *found) {
        descriptions.append(line.description);
        materials.append(line.materials);
        times.append(line.timeText());
    }
    reply.send(ReplyTag::GetCustomInfoRepairData, descriptions, materials, times);
}

bool FinishedOrderCommands::listOwner(const Reply &reply, const QString &user, std::optional<qint64> *ownerId)
{
    if (user == FinishedOrderList::AllUsers) {
        *ownerId = std::nullopt;
        return true;
    }
    const Lookup<UserAccount> account = accountOrError(users, reply, user, AccountState::Any);
    if (!account.found())
        return false;
    *ownerId = account->id;
    return true;
}

Lookup<CustomJob> FinishedOrderCommands::finishedJobOrError(const Reply &reply, const QString &owner,
                                                            const CustomJobKey &key)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, owner, AccountState::Any);
    if (!account.found())
        return Lookup<CustomJob>::missing();
    const Lookup<CustomJob> job = jobs.find(key);
    if (job.failed()) {
        reply.storeFailure();
        return job;
    }
    if (!job.found() || job->ownerId != account->id || !isFinished(*job)) {
        reply.error(QStringLiteral("\"%1\" has no finished custom job %2 %3 %4")
                        .arg(owner, QString::number(key.id), key.customer, key.jobType));
        return Lookup<CustomJob>::missing();
    }
    return job;
}

std::optional<qint64> FinishedOrderCommands::actingUserId(const Reply &reply) const
{
    const QString userName = reply.session().get<ActingUser>().userName;
    if (userName.isEmpty())
        return std::nullopt;
    const Lookup<UserAccount> account = accountNamed(users, reply, userName);
    if (!account.found())
        return std::nullopt;
    return account->id;
}
