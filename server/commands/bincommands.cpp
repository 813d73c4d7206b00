#include "bincommands.h"

#include "accountlookup.h"
#include "admittedrequest.h"
#include "argumentrules.h"
#include "binorderlifecycle.h"
#include "commanddispatcher.h"
#include "replyfields.h"

#include "wire/commands.h"
#include "wire/repaircodelists.h"
#include "wire/replytags.h"
#include "wire/worktypes.h"

#include <QDateTime>
#include <QHash>

#include <utility>

namespace {

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

// The key of the repair-code list of a bin work type ("FER", "ROR").
QString codeListOf(const QString &workType)
{
    for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
        if (kind.category == workType)
            return kind.key;
    }
    return {};
}

QString orderName(const QString &binId, const QString &repairId)
{
    return QStringLiteral("bin %1, repair %2").arg(binId, repairId);
}

// A line's time as the repair entry offers it: hours ":" minutes, each a
// plain number ("1:05" is kept as "1:5").
QString plainTime(const QString &time)
{
    return QStringLiteral("%1:%2")
        .arg(time.section(QLatin1Char(':'), 0, 0).toInt())
        .arg(time.section(QLatin1Char(':'), 1, 1).toInt());
}

QString verdict(bool good)
{
    return good ? QStringLiteral("1") : QStringLiteral("0");
}

// The last line edit on a connection. The repair entry sends an edit as
// "EditBinRepair" followed by "SaveBinRepairInfo" with the same new line on
// the same connection; the edit does the work, and that save only repeats
// its outcome instead of storing the line a second time.
struct LastLineEdit
{
    bool pending = false;
    bool done = false;
    QString binId;
    QString repairId;
    BinRepairEntry entry;

    bool repeatedBy(const QString &saveBinId, const QString &saveRepairId, const BinRepairEntry &save) const
    {
        return pending && saveBinId == binId && saveRepairId == repairId && save.repairCode == entry.repairCode
               && save.materials == entry.materials && save.time == entry.time;
    }
};

} // namespace

BinCommands::BinCommands(ServerServices services)
    : store(services.store)
    , users(services.store)
    , orders(services.store)
    , lines(services.store)
    , stamps(services.store)
    , codes(services.store)
{ }

void BinCommands::registerCommands(CommandDispatcher &dispatcher)
{
    using Text = const QString &;

    dispatcher.add<BinWorkTypeArgument, UserNameArgument>(
        Command::GetNewBinId, [this](const Reply &reply, Text workType, Text) { proposeBinId(reply, workType); });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument>(
        Command::FindBin,
        [this](const Reply &reply, Text, Text workType, Text binId) { findBin(reply, workType, binId); });
    dispatcher.add<BinIdLabelArgument, BinWorkTypeArgument>(
        Command::MakeRepairId,
        [this](const Reply &reply, Text label, Text workType) { makeRepairId(reply, label, workType); });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, BinSizeArgument, RepairIdArgument,
                   AdditionalInfoArgument>(
        Command::StoreCurrentInfo,
        [this](const Reply &reply, Text userName, Text workType, Text binId, Text binSize, Text repairId, Text info) {
            startOrder(reply, userName, workType, binId, binSize, repairId, info);
        });

    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument>(
        Command::GetPreForChecks, [this](const Reply &reply, Text, Text workType, Text binId, Text repairId) {
            preChecks(reply, workType, binId, repairId);
        });
    dispatcher
        .add<BinIdArgument, RepairIdArgument, BinWorkTypeArgument, VerdictArgument, VerdictArgument, VerdictArgument>(
            Command::StorePreChecks,
            [this](const Reply &reply, Text binId, Text repairId, Text workType, Text lids, Text chains, Text lidRod) {
                const QLatin1String good("1");
                storePreChecks(reply, binId, repairId, workType, {lids == good, chains == good, lidRod == good});
            });

    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument>(
        Command::SetStartTime, [this](const Reply &reply, Text userName, Text workType, Text binId, Text repairId) {
            startTiming(reply, userName, workType, binId, repairId);
        });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument, TimeStampIdArgument>(
        Command::SetEndTime, [this](const Reply &reply, Text userName, Text workType, Text binId, Text repairId,
                                    Text stampId) { endTiming(reply, userName, workType, binId, repairId, stampId); });
    dispatcher.add<UserNameArgument, BinIdArgument, RepairIdArgument, BinWorkTypeArgument>(
        Command::GetBinTotalTime, [this](const Reply &reply, Text, Text binId, Text repairId, Text workType) {
            totalTime(reply, ReplyTag::GetBinTotalTime, workType, binId, repairId);
        });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument>(
        Command::GetBinTime, [this](const Reply &reply, Text, Text workType, Text binId, Text repairId) {
            totalTime(reply, Command::GetBinTime, workType, binId, repairId);
        });

    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument>(
        Command::GetBinInfo, [this](const Reply &reply, Text, Text workType, Text binId, Text repairId) {
            binSize(reply, workType, binId, repairId);
        });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument>(
        Command::GetBinRepairInfo, [this](const Reply &reply, Text, Text workType, Text binId, Text repairId) {
            repairLines(reply, workType, binId, repairId);
        });
    dispatcher.add<BinWorkTypeArgument, CodeListKeyArgument>(
        Command::GetRepairCodes,
        [this](const Reply &reply, Text workType, Text key) { repairCodes(reply, workType, key); });
    dispatcher.add<UserNameArgument, StatusNumberArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument,
                   BinSizeArgument, RepairLineCodeArgument, RepairLineMaterialsArgument, CustomLineTimeArgument>(
        Command::SaveBinRepairInfo, [this](const Reply &reply, Text userName, Text, Text workType, Text binId,
                                           Text repairId, Text, Text code, Text materials, Text time) {
            saveLine(reply, userName, workType, binId, repairId, {code, materials, plainTime(time)});
        });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument, RepairLineCodeArgument,
                   RepairLineMaterialsArgument, RepairLineCodeArgument, RepairLineMaterialsArgument,
                   CustomLineTimeArgument>(Command::EditBinRepair, [this](const Reply &reply, Text userName,
                                                                          Text workType, Text binId, Text repairId,
                                                                          Text oldCode, Text oldMaterials, Text code,
                                                                          Text materials, Text time) {
        editLine(reply, userName, workType, binId, repairId, oldCode, oldMaterials, {code, materials, plainTime(time)});
    });
    dispatcher
        .add<BinWorkTypeArgument, BinIdArgument, RepairIdArgument, RepairLineCodeArgument, RepairLineMaterialsArgument>(
            Command::RemoveFromRepairList,
            [this](const Reply &reply, Text workType, Text binId, Text repairId, Text code, Text materials) {
                removeLine(reply, workType, binId, repairId, code, materials);
            });
    dispatcher.add<UserNameArgument, StatusNumberArgument, BinIdArgument, RepairIdArgument>(
        Command::ChangeStatus, [this](const Reply &reply, Text userName, Text status, Text binId, Text repairId) {
            moveOrder(reply, Command::ChangeStatus, ReplyTag::StatusChanged, userName, status, binId, repairId);
        });
    // Bare from a worker's own sheet, which has nothing to send back.
    dispatcher.add<>(Command::SendBinBack, [](const Reply &reply) { reply.send(ReplyTag::SendBinBack); });
    dispatcher.add<UserNameArgument, BinIdArgument, RepairIdArgument, StatusNumberArgument>(
        Command::SendBinBack, [this](const Reply &reply, Text userName, Text binId, Text repairId, Text status) {
            moveOrder(reply, Command::SendBinBack, ReplyTag::SendBinBack, userName, status, binId, repairId);
        });

    dispatcher.add<BinWorkTypeArgument, BinIdArgument, RepairIdArgument>(
        Command::GetChecksList, [this](const Reply &reply, Text workType, Text binId, Text repairId) {
            finalChecks(reply, workType, binId, repairId);
        });
    dispatcher.add<UserNameArgument, BinWorkTypeArgument, BinIdArgument, RepairIdArgument, StatusNumberArgument,
                   LidMeasurementArgument, LidMeasurementArgument>(
        Command::SaveChecks, [this](const Reply &reply, Text userName, Text workType, Text binId, Text repairId,
                                    Text status, Text lidSize, Text lidTabWidth) {
            saveFinalChecks(reply, userName, workType, binId, repairId, status, {lidSize, lidTabWidth});
        });

    dispatcher.add<UserNameArgument>(Command::GetWorkOrders,
                                     [this](const Reply &reply, Text userName) { workOrders(reply, userName); });
    dispatcher.add<UserNameArgument, BinIdArgument>(
        Command::GetBin, [this](const Reply &reply, Text owner, Text binId) { continueOrder(reply, owner, binId); });
}

// --- Lookups ---------------------------------------------------------------

// Reads the order again only when the access gate did not read it for this
// request.
Lookup<BinOrder> BinCommands::orderOrError(const Reply &reply, const QString &workType, const QString &binId,
                                           const QString &repairId)
{
    const int repair = repairId.toInt();
    const std::optional<BinOrder> admitted = reply.session().get<AdmittedRequest>().takeBinOrder(binId, repair);
    const Lookup<BinOrder> order = admitted ? Lookup<BinOrder>::of(*admitted) : orders.find(binId, repair);
    if (order.failed()) {
        reply.storeFailure();
        return order;
    }
    if (!order.found() || (!workType.isEmpty() && order->workType != workType)) {
        reply.error(QStringLiteral("there is no %1 order for %2")
                        .arg(workType.isEmpty() ? QStringLiteral("bin") : workType, orderName(binId, repairId)));
        return Lookup<BinOrder>::missing();
    }
    return order;
}

Lookup<BinOrder> BinCommands::ownOrderOrError(const Reply &reply, const QString &userName, const QString &workType,
                                              const QString &binId, const QString &repairId)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return order;
    if (order->ownerName != userName) {
        reply.error(
            QStringLiteral("the order for %1 is not an order of \"%2\"").arg(orderName(binId, repairId), userName));
        return Lookup<BinOrder>::missing();
    }
    return order;
}

bool BinCommands::binIdFitsOrError(const Reply &reply, const QString &binId, const QString &workType)
{
    const QString prefix = WorkType::binIdPrefix(workType);
    if (binId.startsWith(prefix))
        return true;
    reply.error(QStringLiteral("the IDs of %1 bins start with %2").arg(workType, prefix));
    return false;
}

// --- Intake ----------------------------------------------------------------

// Every proposal is a new ID (see BinOrders::proposeBinId); the bin is
// recorded only when the worker starts the order on it.
void BinCommands::proposeBinId(const Reply &reply, const QString &workType)
{
    const std::optional<QString> binId = orders.proposeBinId(WorkType::binIdPrefix(workType));
    if (reply.storeFailed(binId))
        return;
    reply.send(ReplyTag::NewBinID, *binId, codeListOf(workType));
}

// "BinInProgress" while an order on the bin is still with a worker,
// "BinFound" with the next repair id for any other recorded bin,
// "BinNotFound" for a bin not recorded yet.
void BinCommands::findBin(const Reply &reply, const QString &workType, const QString &binId)
{
    if (!binIdFitsOrError(reply, binId, workType))
        return;
    const Lookup<BinOrder> open = orders.openOrderOf(binId);
    const Lookup<Bin> bin = orders.findBin(binId);
    const std::optional<int> next = orders.nextRepairId(binId);
    if (open.failed() || bin.failed() || !next) {
        reply.storeFailure();
        return;
    }
    if (open.found())
        reply.send(ReplyTag::BinInProgress, binId);
    else if (bin.found())
        reply.send(ReplyTag::BinFound, binId, QString::number(*next), bin->size);
    else
        reply.send(ReplyTag::BinNotFound, binId);
}

// The repair id the bin's next order gets: 1 for a new bin.
void BinCommands::makeRepairId(const Reply &reply, const QString &label, const QString &workType)
{
    const QString binId = label.mid(3);
    if (!binIdFitsOrError(reply, binId, workType))
        return;
    const Lookup<BinOrder> open = orders.openOrderOf(binId);
    const std::optional<int> next = orders.nextRepairId(binId);
    if (open.failed() || !next) {
        reply.storeFailure();
        return;
    }
    if (open.found()) {
        reply.error(QStringLiteral("bin %1 is already in progress").arg(binId));
        return;
    }
    reply.send(ReplyTag::NewRepairId, qint32(*next));
}

void BinCommands::startOrder(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                             const QString &binSize, const QString &repairId, const QString &additionalInfo)
{
    if (!binIdFitsOrError(reply, binId, workType))
        return;
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Active);
    if (!account.found())
        return;
    NewBinOrder order;
    order.binId = binId;
    order.repairId = repairId.toInt();
    order.ownerId = account->id;
    order.workType = workType;
    order.codeList = codeListOf(workType);
    order.binSize = binSize;
    order.additionalInfo = additionalInfo;
    switch (orders.start(order, now())) {
    case BinOrders::StartResult::Started:
        reply.send(ReplyTag::InfoSaved);
        return;
    case BinOrders::StartResult::BinInProgress:
        reply.error(QStringLiteral("bin %1 is already in progress").arg(binId));
        return;
    case BinOrders::StartResult::NotNextRepairId:
        reply.error(QStringLiteral("%1 is not the next repair of bin %2").arg(repairId, binId));
        return;
    case BinOrders::StartResult::Failed:
        reply.storeFailure();
        return;
    }
}

// --- Pre-check -------------------------------------------------------------

// An order without pre-checks (its worker left the pre-check) answers
// three empty verdicts.
void BinCommands::preChecks(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    const Lookup<PreChecks> checks = orders.preChecks(order->id);
    if (reply.storeFailed(checks))
        return;
    if (!checks.found()) {
        reply.send(ReplyTag::PreForChecks, QString(), QString(), QString());
        return;
    }
    reply.send(ReplyTag::PreForChecks, verdict(checks->lidsGood), verdict(checks->chainsGood),
               verdict(checks->lidRodGood));
}

// Recorded for the order's owner; a second store replaces the first.
void BinCommands::storePreChecks(const Reply &reply, const QString &binId, const QString &repairId,
                                 const QString &workType, const PreChecks &checks)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    if (!orders.savePreChecks(order->id, checks, order->ownerId, now())) {
        reply.storeFailure();
        return;
    }
    reply.send(ReplyTag::PreChecksSaved);
}

// --- Timing ----------------------------------------------------------------

void BinCommands::startTiming(const Reply &reply, const QString &userName, const QString &workType,
                              const QString &binId, const QString &repairId)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Active);
    if (!account.found())
        return;
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    const std::optional<OrderTimeStamps::Opened> opened = stamps.open(TimedOrder::bin(order->id), account->id, now());
    if (reply.storeFailed(opened))
        return;
    reply.send(ReplyTag::StartTimeSet, QString::number(opened->stampId),
               OrderTimeStamps::hoursText(opened->bookedHours));
}

// Only the user who started a stamp ends it, and only on its own order.
// Ending a stamp that has ended already changes nothing, and so does the
// stamp id "0", which stands for none, so that a sheet can always be left.
void BinCommands::endTiming(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                            const QString &repairId, const QString &stampId)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    if (stampId.toLongLong() == 0) {
        reply.send(ReplyTag::EndTimeSet);
        return;
    }
    const Lookup<OrderTimeStamp> stamp = stamps.find(stampId.toLongLong());
    if (reply.storeFailed(stamp))
        return;
    if (!stamp.found() || stamp->order != TimedOrder::bin(order->id) || stamp->userId != account->id) {
        reply.error(QStringLiteral("there is no time stamp %1 of \"%2\" on %3")
                        .arg(stampId, userName, orderName(binId, repairId)));
        return;
    }
    switch (stamps.close(stamp->id, now())) {
    case OrderTimeStamps::Close::Closed:
    case OrderTimeStamps::Close::AlreadyClosed:
        reply.send(ReplyTag::EndTimeSet);
        return;
    case OrderTimeStamps::Close::NotFound:
    case OrderTimeStamps::Close::Failed:
        reply.storeFailure();
        return;
    }
}

void BinCommands::totalTime(const Reply &reply, const QString &tag, const QString &workType, const QString &binId,
                            const QString &repairId)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    const std::optional<double> hours = stamps.totalHours(TimedOrder::bin(order->id));
    if (reply.storeFailed(hours))
        return;
    reply.send(tag, OrderTimeStamps::hoursText(*hours));
}

// --- Repair sheet and repair entry -----------------------------------------

void BinCommands::binSize(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    reply.send(ReplyTag::BinSize, order->binSize);
}

void BinCommands::repairLines(const Reply &reply, const QString &workType, const QString &binId,
                              const QString &repairId)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    const std::optional<QList<BinRepairLine>> found = lines.of(order->id);
    if (reply.storeFailed(found))
        return;
    ReplyFields rows;
    for (const BinRepairLine &line : *found)
        rows.add(line.repairCode, line.materials, line.time, line.userName);
    reply.send(ReplyTag::BinRepairInfo, order->binSize, QString::number(found->size()), rows);
}

// The list the key names; an empty key stands for the work type's own list.
void BinCommands::repairCodes(const Reply &reply, const QString &workType, const QString &codeListKey)
{
    const std::optional<QList<RepairCode>> found
        = codes.codesOf(codeListKey.isEmpty() ? codeListOf(workType) : codeListKey);
    if (reply.storeFailed(found))
        return;
    ReplyFields pairs;
    for (const RepairCode &code : *found)
        pairs.add(code.code, code.description);
    reply.send(ReplyTag::RepairCodes, QString::number(found->size()), pairs);
}

// The line is entered by userName. The first line moves a started order on
// to "lines recorded"; otherwise the order keeps its status, whatever
// status the sender believes it has.
void BinCommands::saveLine(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                           const QString &repairId, const BinRepairEntry &entry)
{
    const LastLineEdit edit = std::exchange(reply.session().get<LastLineEdit>(), LastLineEdit());
    if (edit.repeatedBy(binId, repairId, entry)) {
        if (edit.done)
            reply.send(ReplyTag::BinRepairSaved);
        else
            reply.error(QStringLiteral("the edit of this line was refused, so the line was not saved"));
        return;
    }
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Any);
    if (!account.found())
        return;
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    const bool saved = store.transaction(
        [&] { return lines.add(order->id, entry, account->id, now()) && orders.markLinesRecorded(order->id); });
    if (reply.storeFailed(saved))
        return;
    reply.send(ReplyTag::BinRepairSaved);
}

// Only the order's owner edits its lines; the line keeps its place and the
// user who entered it.
void BinCommands::editLine(const Reply &reply, const QString &userName, const QString &workType, const QString &binId,
                           const QString &repairId, const QString &oldCode, const QString &oldMaterials,
                           const BinRepairEntry &entry)
{
    LastLineEdit &edit = reply.session().get<LastLineEdit>();
    edit = LastLineEdit{true, false, binId, repairId, entry};
    const Lookup<BinOrder> order = ownOrderOrError(reply, userName, workType, binId, repairId);
    if (!order.found())
        return;
    const BinRepairLines::Change change = lines.replace(order->id, oldCode, oldMaterials, entry);
    edit.done = change == BinRepairLines::Change::Done;
    answerLineChange(reply, change, ReplyTag::BinRepairSaved, orderName(binId, repairId), oldCode);
}

void BinCommands::removeLine(const Reply &reply, const QString &workType, const QString &binId, const QString &repairId,
                             const QString &repairCode, const QString &materials)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    answerLineChange(reply, lines.remove(order->id, repairCode, materials), ReplyTag::RepairRemoved,
                     orderName(binId, repairId), repairCode);
}

// Answers the change of a line found by its code and materials.
void BinCommands::answerLineChange(const Reply &reply, BinRepairLines::Change change, const QString &tag,
                                   const QString &order, const QString &repairCode)
{
    switch (change) {
    case BinRepairLines::Change::Done:
        reply.send(tag);
        return;
    case BinRepairLines::Change::NotFound:
        reply.error(QStringLiteral("%1 has no line %2 with these materials").arg(order, repairCode));
        return;
    case BinRepairLines::Change::Failed:
        reply.storeFailure();
        return;
    }
}

// Moves the owner's order by the step that command makes with the status
// sent (submitting, cancelling the checks, passing a check, confirming,
// sending back), and answers with tag.
void BinCommands::moveOrder(const Reply &reply, const QString &command, const QString &tag, const QString &userName,
                            const QString &status, const QString &binId, const QString &repairId)
{
    const Lookup<BinOrder> order = ownOrderOrError(reply, userName, QString(), binId, repairId);
    if (!order.found())
        return;
    const std::optional<BinOrderLifecycle::Step> step = stepOrError(reply, command, status, *order);
    if (!step)
        return;
    answerMove(reply, orders.setStatus(order->id, step->to, step->from, now()), tag, *step, *order);
}

std::optional<BinOrderLifecycle::Step> BinCommands::stepOrError(const Reply &reply, const QString &command,
                                                                const QString &status, const BinOrder &order)
{
    const std::optional<BinOrderLifecycle::Step> step
        = BinOrderLifecycle::step(command, status.toInt(), order.workType);
    if (!step)
        reply.error(
            QStringLiteral("\"%1\" with status %2 is no step of a %3 order").arg(command, status, order.workType));
    return step;
}

void BinCommands::answerMove(const Reply &reply, BinOrders::Move move, const QString &tag,
                             const BinOrderLifecycle::Step &step, const BinOrder &order)
{
    switch (move) {
    case BinOrders::Move::Done:
        reply.send(tag);
        return;
    case BinOrders::Move::Refused: {
        QStringList from;
        for (int status : step.from)
            from.append(QString::number(status));
        reply.error(QStringLiteral("the order for %1 is not at status %2, where %3 is made")
                        .arg(orderName(order.binId, QString::number(order.repairId)), from.join(QStringLiteral(" or ")),
                             step.name));
        return;
    }
    case BinOrders::Move::Failed:
        reply.storeFailure();
        return;
    }
}

// --- Final checks ----------------------------------------------------------

// An order without final checks (a roll-off order) answers two empty texts.
void BinCommands::finalChecks(const Reply &reply, const QString &workType, const QString &binId,
                              const QString &repairId)
{
    const Lookup<BinOrder> order = orderOrError(reply, workType, binId, repairId);
    if (!order.found())
        return;
    const Lookup<FinalChecks> checks = orders.finalChecks(order->id);
    if (reply.storeFailed(checks))
        return;
    if (!checks.found()) {
        reply.send(ReplyTag::GetCheckList, QString(), QString());
        return;
    }
    reply.send(ReplyTag::GetCheckList, checks->lidSize, checks->lidTabWidth);
}

// Saved when the worker finishes (4) or a manager confirms (6), as a step
// of the order; a second save replaces the first. The checks are recorded
// for the order's owner.
void BinCommands::saveFinalChecks(const Reply &reply, const QString &userName, const QString &workType,
                                  const QString &binId, const QString &repairId, const QString &status,
                                  const FinalChecks &checks)
{
    const Lookup<BinOrder> order = ownOrderOrError(reply, userName, workType, binId, repairId);
    if (!order.found())
        return;
    const std::optional<BinOrderLifecycle::Step> step = stepOrError(reply, Command::SaveChecks, status, *order);
    if (!step)
        return;
    answerMove(reply, orders.saveFinalChecks(order->id, checks, step->to, step->from, order->ownerId, now()),
               ReplyTag::ChecksSaved, *step, *order);
}

// --- Continuing ------------------------------------------------------------

// Every user's orders still with a worker (status 1 to 3), as bin IDs
// grouped by owner: the asking user's own first, then the others by user
// name; oldest order first within a group.
void BinCommands::workOrders(const Reply &reply, const QString &userName)
{
    const std::optional<QList<BinOrder>> open = orders.openOrders();
    if (reply.storeFailed(open))
        return;
    QStringList owners;
    QHash<QString, QStringList> binIds;
    for (const BinOrder &order : *open) {
        if (!binIds.contains(order.ownerName))
            owners.append(order.ownerName);
        binIds[order.ownerName].append(order.binId);
    }
    if (owners.removeOne(userName))
        owners.prepend(userName);
    ReplyFields groups;
    for (const QString &owner : qAsConst(owners))
        groups.add(owner, binIds.value(owner));
    reply.send(ReplyTag::WorkOrders, QString::number(owners.size()), groups);
}

// The owner's open order of the bin, also when the bin has another one.
void BinCommands::continueOrder(const Reply &reply, const QString &owner, const QString &binId)
{
    const Lookup<BinOrder> order = orders.openOrderOf(binId, owner);
    if (reply.storeFailed(order))
        return;
    if (!order.found()) {
        reply.error(QStringLiteral("\"%1\" has no open order for bin %2").arg(owner, binId));
        return;
    }
    const QString codeList = order->codeList.isEmpty() ? codeListOf(order->workType) : order->codeList;
    reply.send(ReplyTag::Bin, order->binId, order->workType, QString::number(order->repairId),
               QString::number(order->status), codeList);
}
