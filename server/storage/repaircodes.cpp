#include "repaircodes.h"

#include <QVariant>

RepairCodes::AddResult RepairCodes::add(const RepairCode &code)
{
    AddResult result = AddResult::Failed;
    const bool committed = store.transaction([&] {
        QSqlQuery find
            = store.prepare(QStringLiteral("SELECT 1 FROM repair_codes WHERE code_list = :list AND code = :code"));
        find.bindValue(QStringLiteral(":list"), textValue(code.codeList));
        find.bindValue(QStringLiteral(":code"), textValue(code.code));
        if (!Store::execute(find))
            return false;
        if (find.next()) {
            result = AddResult::CodeTaken;
            return false;
        }
        QSqlQuery insert = store.prepare(QStringLiteral("INSERT INTO repair_codes (code_list, code, code_type, "
                                                        "description) VALUES (:list, :code, :type, :description)"));
        insert.bindValue(QStringLiteral(":list"), textValue(code.codeList));
        insert.bindValue(QStringLiteral(":code"), textValue(code.code));
        insert.bindValue(QStringLiteral(":type"), textValue(code.type));
        insert.bindValue(QStringLiteral(":description"), textValue(code.description));
        if (!Store::execute(insert))
            return false;
        result = AddResult::Added;
        return true;
    });
    if (result == AddResult::Added && !committed)
        return AddResult::Failed;
    return result;
}

std::optional<QList<RepairCode>> RepairCodes::codesOf(const QString &codeList) const
{
    QSqlQuery query = store.prepare(
        QStringLiteral("SELECT code, code_type, description FROM repair_codes WHERE code_list = :list ORDER BY code"));
    query.bindValue(QStringLiteral(":list"), textValue(codeList));
    if (!Store::execute(query))
        return std::nullopt;
    QList<RepairCode> codes;
    while (query.next())
        codes.append({codeList, query.value(0).toString(), query.value(1).toString(), query.value(2).toString()});
    return codes;
}
