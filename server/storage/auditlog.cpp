#include "auditlog.h"

#include <QJsonDocument>
#include <QVariant>

namespace {

QVariant jsonValue(const QJsonObject &object)
{
    if (object.isEmpty())
        return QVariant(QVariant::String);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

bool AuditLog::record(const AuditEntry &entry, qint64 now)
{
    QSqlQuery insert = store.prepare(
        QStringLiteral("INSERT INTO audit_log (changed_at, actor, command, subject, before_value, after_value)"
                       " VALUES (:now, :actor, :command, :subject, :before, :after)"));
    insert.bindValue(QStringLiteral(":now"), now);
    insert.bindValue(QStringLiteral(":actor"), textValue(entry.actor));
    insert.bindValue(QStringLiteral(":command"), textValue(entry.command));
    insert.bindValue(QStringLiteral(":subject"), textValue(entry.subject));
    insert.bindValue(QStringLiteral(":before"), jsonValue(entry.before));
    insert.bindValue(QStringLiteral(":after"), jsonValue(entry.after));
    return Store::execute(insert);
}
