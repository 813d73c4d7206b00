#include "repaircodes.h"

#include <QVariant>

RepairCodes::AddResult RepairCodes::add(const RepairCode &code)
{
    AddResult result = AddResult::Failed;
    const bool committed = store.transaction([&] {
        QSqlQuery find = store.prepare(QStringLiteral(
            "SELECT 1 FROM repair_codes WHERE code_list = :list AND code = :code"));
        find.bindValue(QStringLiteral(":list"), textValue(code.codeList));
        find.bindValue(QStringLiteral(":code"), textValue(code.code));
        if (!Store::execute(find))
            return false;
        if (find.next()) {
            result = AddResult::CodeTaken;
            return false;
        }
        QSqlQuery insert = store.prepare(QStringLiteral(
            "INSERT INTO repair_codes (code_list, code, code_type, description) VALUES (:list, :code, :type, :description)"));
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
