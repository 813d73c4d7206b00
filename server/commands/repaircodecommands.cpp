#include "repaircodecommands.h"

#include "actinguser.h"
#include "commanddispatcher.h"
#include "maintenancearguments.h"
#include "replyfields.h"
#include "storedchange.h"

#include "wire/commands.h"
#include "wire/replytags.h"

#include <QDateTime>

namespace {

using Text = const QString &;

QString subjectOf(const QString &codeList, const QString &code)
{
    return QStringLiteral("repair code %1 %2").arg(codeList, code);
}

QJsonObject valuesOf(const RepairCode &code)
{
    return {{QStringLiteral("type"), code.type}, {QStringLiteral("description"), code.description}};
}

QString codeListOfCategory(const QString &category)
{
    for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
        if (kind.category == category)
            return kind.key;
    }
    return {};
}

} // namespace

RepairCodeCommands::RepairCodeCommands(ServerServices services)
    : store(services.store)
    , codes(services.store)
    , audit(services.store)
{ }

void RepairCodeCommands::registerCommands(CommandDispatcher &dispatcher)
{
    dispatcher.add<RepairCodeListArgument>(Command::GetRepairCodesForEdit,
                                           [this](const Reply &reply, Text codeList) { list(reply, codeList); });
    dispatcher.add<RepairCodeCategoryArgument, NewRepairCodeArgument, RepairTypeArgument, RepairDescriptionArgument>(
        Command::AddRepairCode, [this](const Reply &reply, Text category, Text code, Text type, Text description) {
            add(reply, category, code, type, description);
        });
    dispatcher.add<RepairCodeListArgument, RepairLineCodeArgument, RepairTypeArgument, RepairDescriptionArgument>(
        Command::EditRepairCode, [this](const Reply &reply, Text codeList, Text code, Text type, Text description) {
            edit(reply, {codeList, code, type, description});
        });
    dispatcher
        .add<RepairCodeListArgument, RepairLineCodeArgument, ShownRepairTypeArgument, ShownRepairDescriptionArgument>(
            Command::RemoveRepairCode,
            [this](const Reply &reply, Text codeList, Text code, Text, Text) { remove(reply, codeList, code); });
}

// The number of codes, then code, type and description of each, by code.
void RepairCodeCommands::list(const Reply &reply, const QString &codeList)
{
    const std::optional<QList<RepairCode>> found = codes.codesOf(codeList);
    if (reply.storeFailed(found))
        return;
    ReplyFields rows;
    for (const RepairCode &code : *found)
        rows.add(code.code, code.type, code.description);
    reply.send(ReplyTag::GetRepairCodesForEdit, QString::number(found->size()), rows);
}

// The editor names the list by its category. A code removed earlier comes
// back with the new type and description.
void RepairCodeCommands::add(const Reply &reply, const QString &category, const QString &code, const QString &type,
                             const QString &description)
{
    const RepairCode added{codeListOfCategory(category), code, type, description};
    RepairCodes::AddResult result = RepairCodes::AddResult::Failed;
    const bool stored = store.transaction([&] {
        result = codes.add(added);
        const AuditEntry entry{
            actingUserName(reply), Command::AddRepairCode, subjectOf(added.codeList, code), {}, valuesOf(added)};
        return result == RepairCodes::AddResult::Added && audit.record(entry, QDateTime::currentSecsSinceEpoch());
    });
    if (result == RepairCodes::AddResult::CodeTaken)
        reply.send(ReplyTag::RepairCodeAlreadyUsed);
    else if (!stored)
        reply.storeFailure();
    else
        reply.send(ReplyTag::AddRepairCode);
}

// The code is named by its list and code text; its type and description change.
void RepairCodeCommands::edit(const Reply &reply, const RepairCode &changed)
{
    bool missing = false;
    const bool stored = store.transaction([&] {
        const Lookup<RepairCode> current = codes.find(changed.codeList, changed.code);
        missing = !current.failed() && !current.found();
        if (!current.found())
            return false;
        const AuditEntry entry{actingUserName(reply), Command::EditRepairCode,
                               subjectOf(changed.codeList, changed.code), valuesOf(*current), valuesOf(changed)};
        return codes.update(changed) && audit.record(entry, QDateTime::currentSecsSinceEpoch());
    });
    if (stored)
        reply.send(ReplyTag::EditRepairCode);
    else if (missing)
        reply.send(ReplyTag::EditRepairCodeNotFound);
    else
        reply.storeFailure();
}

// The code leaves the catalogue the bin screens offer; repair lines keep
// the code text they were saved with.
void RepairCodeCommands::remove(const Reply &reply, const QString &codeList, const QString &code)
{
    applyStoredChange(store, reply, ReplyTag::RemoveRepairCode, [&](QString &refusal, qint64 now) {
        const Lookup<RepairCode> current = codes.find(codeList, code);
        if (current.failed())
            return false;
        if (!current.found()) {
            refusal = QStringLiteral("the list %1 has no repair code \"%2\"").arg(codeList, code);
            return false;
        }
        const AuditEntry entry{
            actingUserName(reply), Command::RemoveRepairCode, subjectOf(codeList, code), valuesOf(*current), {}};
        return codes.remove(codeList, code, now) && audit.record(entry, now);
    });
}
