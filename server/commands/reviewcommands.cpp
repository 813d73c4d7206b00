#include "reviewcommands.h"

#include "accountlookup.h"
#include "argumentrules.h"
#include "commanddispatcher.h"
#include "ownergroups.h"
#include "replyfields.h"

#include "wire/commands.h"
#include "wire/customjobstatus.h"
#include "wire/orderstatus.h"
#include "wire/repaircodelists.h"
#include "wire/replytags.h"

namespace {

// Custom jobs a manager still has to confirm: submitted, or changed during
// the check.
const QList<int> CustomWaitingForConfirmation = {CustomJobStatus::ChangedWhileChecked, CustomJobStatus::Submitted};

// A bin order's line in the review lists: the bin ID alone. The same bin
// may be listed under two workers; the worker tells the orders apart.
QString binOrderLine(const ReviewBinOrder &order)
{
    return order.binId;
}

// A custom job's line: order number, customer and job type, as the review
// builds it from the three columns it is sent.
QString customJobLine(const ReviewCustomJob &job)
{
    return QStringLiteral("%1 %2 %3").arg(job.orderId).arg(job.customer, job.jobType);
}

// Orders from before the code-list key was stored with them use the key of
// their work type's catalogue.
QString codeListOf(const ReviewBinOrder &order)
{
    if (!order.codeList.isEmpty())
        return order.codeList;
    for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
        if (kind.category == order.workType)
            return kind.key;
    }
    return {};
}

// The workers who own orders waiting for review, and a flag per worker:
// "Yes" for the owner of the order that has waited longest (started first;
// of two started in the same second, the one recorded first), "No" for the
// others.
void sendWorkers(const Reply &reply, const QList<ReviewOwner> &owners)
{
    const ReviewOwner *longestWaiting = nullptr;
    for (const ReviewOwner &owner : owners) {
        if (!longestWaiting || owner.oldestCreatedAt < longestWaiting->oldestCreatedAt
            || (owner.oldestCreatedAt == longestWaiting->oldestCreatedAt
                && owner.oldestOrderId < longestWaiting->oldestOrderId))
            longestWaiting = &owner;
    }
    QStringList names;
    QStringList flags;
    for (const ReviewOwner &owner : owners) {
        names.append(owner.userName);
        flags.append(&owner == longestWaiting ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    reply.send(ReplyTag::ListOfUserOrders, names, flags);
}

} // namespace

ReviewCommands::ReviewCommands(ServerServices services)
    : users(services.store)
    , review(services.store)
{ }

void ReviewCommands::registerCommands(CommandDispatcher &dispatcher)
{
    dispatcher.add<>(Command::GetNumberWorkToConfirm, [this](const Reply &reply) { numberToConfirm(reply); });
    dispatcher.add<StatusNumberArgument>(
        Command::GetListOfUserOrders,
        [this](const Reply &reply, const QString &status) { binWorkers(reply, status.toInt()); });
    // The order review's Custom box exists only while confirming, so its
    // bin list is the one of orders waiting for confirmation.
    dispatcher.add<>(Command::CheckBinWork, [this](const Reply &reply) { binWorkers(reply, OrderStatus::Checked); });
    dispatcher.add<>(Command::CheckCustomWork, [this](const Reply &reply) { customWorkers(reply); });
    dispatcher.add<AllWorkersArgument, StatusNumberArgument>(
        Command::GetAllWork, [this](const Reply &reply, const QString &selection, const QString &status) {
            allBinWork(reply, selection, status.toInt());
        });
    dispatcher.add<>(Command::GetAllCustomWork, [this](const Reply &reply) { allCustomWork(reply); });
    dispatcher.add<UserNameArgument>(Command::ListWorkOrders, [this](const Reply &reply, const QString &user) {
        workerBinOrders(reply, user, OrderStatus::WaitingForCheck);
    });
    dispatcher.add<UserNameArgument>(Command::ListWorkOrdersToConfirm, [this](const Reply &reply, const QString &user) {
        workerBinOrders(reply, user, OrderStatus::Checked);
    });
    dispatcher.add<UserNameArgument>(Command::ListCustomWorkToConfirm, [this](const Reply &reply, const QString &user) {
        workerCustomWork(reply, user);
    });
    dispatcher.add<UserNameArgument, BinIdArgument>(
        Command::GetBinForCheck, [this](const Reply &reply, const QString &user, const QString &binId) {
            binForReview(reply, ReplyTag::GetBinForCheck, user, binId, OrderStatus::WaitingForCheck);
        });
    dispatcher.add<UserNameArgument, BinIdArgument>(
        Command::GetBinForConfirmCheck, [this](const Reply &reply, const QString &user, const QString &binId) {
            binForReview(reply, ReplyTag::GetBinForConfirmCheck, user, binId, OrderStatus::Checked);
        });
    dispatcher.add<UserNameArgument, CustomOrderLineArgument>(
        Command::GetCustomForCheck,
        [this](const Reply &reply, const QString &user, const QString &line) { customForCheck(reply, user, line); });
}

// Bin orders checked and waiting for a manager, and custom jobs waiting
// for one.
void ReviewCommands::numberToConfirm(const Reply &reply)
{
    const std::optional<qint64> bins = review.countBinOrders(OrderStatus::Checked);
    const std::optional<qint64> custom = review.countCustomJobs(CustomWaitingForConfirmation);
    if (!bins || !custom) {
        reply.storeFailure();
        return;
    }
    reply.send(ReplyTag::NumberOfOrdersToConfirm, QString::number(*bins), QString::number(*custom));
}

void ReviewCommands::binWorkers(const Reply &reply, int status)
{
    const std::optional<QList<ReviewOwner>> owners = review.binOwners(status);
    if (reply.storeFailed(owners))
        return;
    sendWorkers(reply, *owners);
}

void ReviewCommands::customWorkers(const Reply &reply)
{
    const std::optional<QList<ReviewOwner>> owners = review.customOwners(CustomWaitingForConfirmation);
    if (reply.storeFailed(owners))
        return;
    sendWorkers(reply, *owners);
}

// The selection, the number of workers, then per worker the name and the
// lines of the orders at status.
void ReviewCommands::allBinWork(const Reply &reply, const QString &selection, int status)
{
    const std::optional<QList<ReviewBinOrder>> orders = review.binOrders(status);
    if (reply.storeFailed(orders))
        return;
    struct Lines
    {
        QString owner;
        QStringList lines;
    };
    const QList<Lines> workers = groupByOwner<Lines>(
        *orders, [](Lines &worker, const ReviewBinOrder &order) { worker.lines.append(binOrderLine(order)); });
    ReplyFields entries;
    for (const Lines &worker : workers)
        entries.add(worker.owner, worker.lines);
    reply.send(ReplyTag::GetAllWork, selection, QString::number(workers.size()), entries);
}

// The number of workers, then per worker the name and three parallel
// columns: order numbers, customers, job types.
void ReviewCommands::allCustomWork(const Reply &reply)
{
    const std::optional<QList<ReviewCustomJob>> jobs = review.customJobs(CustomWaitingForConfirmation);
    if (reply.storeFailed(jobs))
        return;
    struct Columns
    {
        QString owner;
        QStringList numbers, customers, jobTypes;
    };
    const QList<Columns> workers = groupByOwner<Columns>(*jobs, [](Columns &worker, const ReviewCustomJob &job) {
        worker.numbers.append(QString::number(job.orderId));
        worker.customers.append(job.customer);
        worker.jobTypes.append(job.jobType);
    });
    ReplyFields entries;
    for (const Columns &columns : workers)
        entries.add(columns.owner, columns.numbers, columns.customers, columns.jobTypes);
    reply.send(ReplyTag::GetAllCustomWork, QString::number(workers.size()), entries);
}

// Answered with "ListWorkOrders" for both statuses.
void ReviewCommands::workerBinOrders(const Reply &reply, const QString &userName, int status)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const std::optional<QList<ReviewBinOrder>> orders = review.binOrders(status, account->id);
    if (reply.storeFailed(orders))
        return;
    QStringList lines;
    for (const ReviewBinOrder &order : *orders)
        lines.append(binOrderLine(order));
    reply.send(ReplyTag::ListWorkOrders, lines);
}

// The user name, the number of jobs, then per job its number, customer and
// job type.
void ReviewCommands::workerCustomWork(const Reply &reply, const QString &userName)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const std::optional<QList<ReviewCustomJob>> jobs = review.customJobs(CustomWaitingForConfirmation, account->id);
    if (reply.storeFailed(jobs))
        return;
    ReplyFields entries;
    for (const ReviewCustomJob &job : *jobs)
        entries.add(QString::number(job.orderId), job.customer, job.jobType);
    reply.send(ReplyTag::ListCustomWorkToConfirm, account->userName, QString::number(jobs->size()), entries);
}

// The worker's order for this bin at status (the oldest, should there be
// two): worker, code-list key, work type, bin ID, repair id.
void ReviewCommands::binForReview(const Reply &reply, const QString &tag, const QString &userName, const QString &binId,
                                  int status)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const Lookup<ReviewBinOrder> order = review.binOrder(account->id, binId, status);
    if (reply.storeFailed(order))
        return;
    if (!order.found()) {
        reply.error(QStringLiteral("\"%1\" has no order for bin %2 with status %3")
                        .arg(userName, binId, QString::number(status)));
        return;
    }
    reply.send(tag, order->userName, codeListOf(*order), order->workType, order->binId,
               QString::number(order->repairId));
}

// The job the line names, when it belongs to the user and waits for
// confirmation, and the line still reads as the review lists it: the user,
// then the job's number, job type, customer, date, worker, customer's ID,
// contact name, phone and e-mail.
void ReviewCommands::customForCheck(const Reply &reply, const QString &userName, const QString &orderLine)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const qint64 orderId = orderLine.section(QLatin1Char(' '), 0, 0).toLongLong();
    const Lookup<ReviewCustomJob> job = review.customJob(account->id, orderId, CustomWaitingForConfirmation);
    if (reply.storeFailed(job))
        return;
    if (!job.found() || customJobLine(*job) != orderLine) {
        reply.error(
            QStringLiteral("\"%1\" has no custom job \"%2\" waiting for confirmation").arg(userName, orderLine));
        return;
    }
    reply.send(ReplyTag::GetCustomForCheck, job->userName, QString::number(job->orderId), job->jobType, job->customer,
               job->date, job->worker, job->customerRef, job->contactName, job->phone, job->email);
}
