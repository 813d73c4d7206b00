#include "repaircodes.h"

#include <QVariant>

RepairCodes::AddResult RepairCodes::add(const RepairCode &code)
{
    AddResult result = AddResult::Failed;
    const bool committed = store.transaction([&] {
        QSqlQuery find = store.prepare(
            QStringLiteral("SELECT id, removed_at FROM repair_codes WHERE code_list = :list AND code = :code"));
        find.bindValue(QStringLiteral(":list"), textValue(code.codeList));
        find.bindValue(QStringLiteral(":code"), textValue(code.code));
        if (!Store::execute(find))
            return false;
        QVariant removedId;
        if (find.next()) {
            if (find.value(1).isNull()) {
                result = AddResult::CodeTaken;
                return false;
            }
            removedId = find.value(0);
        }
        find.finish();
        QSqlQuery write = store.prepare(
            removedId.isValid()
                ? QStringLiteral("UPDATE repair_codes SET code_type = :type, description = :description,"
                                 " removed_at = NULL WHERE id = :id")
                : QStringLiteral("INSERT INTO repair_codes (code_list, code, code_type, description)"
                                 " VALUES (:list, :code, :type, :description)"));
        if (removedId.isValid()) {
            write.bindValue(QStringLiteral(":id"), removedId);
        } else {
            write.bindValue(QStringLiteral(":list"), textValue(code.codeList));
            write.bindValue(QStringLiteral(":code"), textValue(code.code));
        }
        write.bindValue(QStringLiteral(":type"), textValue(code.type));
        write.bindValue(QStringLiteral(":description"), textValue(code.description));
        if (!Store::execute(write))
            return false;
        result = AddResult::Added;
        return true;
    });
    if (result == AddResult::Added && !committed)
        return AddResult::Failed;
    return result;
}

Lookup<RepairCode> RepairCodes::find(const QString &codeList, const QString &code) const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT code_type, description FROM repair_codes"
                                                   " WHERE code_list = :list AND code = :code AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":list"), textValue(codeList));
    query.bindValue(QStringLiteral(":code"), textValue(code));
    if (!Store::execute(query))
        return Lookup<RepairCode>::failure();
    if (!query.next())
        return Lookup<RepairCode>::missing();
    return Lookup<RepairCode>::of({codeList, code, query.value(0).toString(), query.value(1).toString()});
}

bool RepairCodes::update(const RepairCode &code)
{
    return store.transaction([&] {
        QSqlQuery update
            = store.prepare(QStringLiteral("UPDATE repair_codes SET code_type = :type, description = :description"
                                           " WHERE code_list = :list AND code = :code AND removed_at IS NULL"));
        update.bindValue(QStringLiteral(":type"), textValue(code.type));
        update.bindValue(QStringLiteral(":description"), textValue(code.description));
        update.bindValue(QStringLiteral(":list"), textValue(code.codeList));
        update.bindValue(QStringLiteral(":code"), textValue(code.code));
        return Store::execute(update) && update.numRowsAffected() == 1;
    });
}

bool RepairCodes::remove(const QString &codeList, const QString &code, qint64 now)
{
    return store.transaction([&] {
        QSqlQuery update
            = store.prepare(QStringLiteral("UPDATE repair_codes SET removed_at = :now"
                                           " WHERE code_list = :list AND code = :code AND removed_at IS NULL"));
        update.bindValue(QStringLiteral(":now"), now);
        update.bindValue(QStringLiteral(":list"), textValue(codeList));
        update.bindValue(QStringLiteral(":code"), textValue(code));
        return Store::execute(update) && update.numRowsAffected() == 1;
    });
}

std::optional<QList<RepairCode>> RepairCodes::codesOf(const QString &codeList) const
{
    const std::optional<qint64> version = catalogueVersion();
    if (!version)
        return std::nullopt;
    {
        const std::lock_guard<std::mutex> lock(listsLock);
        const auto read = listsRead.constFind(codeList);
        if (read != listsRead.constEnd() && read->catalogueVersion == *version)
            return read->codes;
    }
    QSqlQuery query = store.prepare(QStringLiteral("SELECT code, code_type, description FROM repair_codes"
                                                   " WHERE code_list = :list AND removed_at IS NULL ORDER BY code"));
    query.bindValue(QStringLiteral(":list"), textValue(codeList));
    if (!Store::execute(query))
        return std::nullopt;
    QList<RepairCode> codes;
    while (query.next())
        codes.append({codeList, query.value(0).toString(), query.value(1).toString(), query.value(2).toString()});
    // Kept only as the list of that version for everyone: not seen through
    // a change of this connection's that may yet be rolled back, nor read
    // across another's commit (PostgreSQL reads outside a transaction each
    // see the latest).
    if (!store.readsOwnUncommittedWrites() && catalogueVersion() == version) {
        const std::lock_guard<std::mutex> lock(listsLock);
        listsRead.insert(codeList, {*version, codes});
    }
    return codes;
}

std::optional<qint64> RepairCodes::catalogueVersion() const
{
    QSqlQuery query = store.prepare(QStringLiteral("SELECT version FROM repair_codes_version"));
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}
