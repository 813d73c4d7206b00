#include "binorders.h"

#include <QVariant>

std::optional<qint64> BinOrders::countWithStatus(int status) const
{
    QSqlQuery query = store.prepare(QStringLiteral(
        "SELECT COUNT(*) FROM bin_orders WHERE status = :status AND removed_at IS NULL"));
    query.bindValue(QStringLiteral(":status"), status);
    if (!Store::execute(query) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}
