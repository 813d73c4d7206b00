#include "clockaudit.h"

#include <QVariant>

namespace {

QString actionName(ClockAudit::Action action)
{
    switch (action) {
    case ClockAudit::Action::ClockIn:
        return QStringLiteral("clock in");
    case ClockAudit::Action::ClockOut:
        return QStringLiteral("clock out");
    case ClockAudit::Action::Add:
        return QStringLiteral("add");
    case ClockAudit::Action::Edit:
        return QStringLiteral("edit");
    case ClockAudit::Action::Remove:
        return QStringLiteral("remove");
    }
    return {};
}

const QVariant NoTime(QVariant::LongLong);

QVariant startOf(const std::optional<ClockPeriod> &period)
{
    return period ? QVariant(period->start) : NoTime;
}

QVariant endOf(const std::optional<ClockPeriod> &period)
{
    return period && period->end ? QVariant(*period->end) : NoTime;
}

} // namespace

namespace ClockAudit {

bool record(Store &store, const ClockActor &actor, Action action, qint64 userId,
            const std::optional<ClockPeriod> &before, const std::optional<ClockPeriod> &after)
{
    QSqlQuery insert = store.prepare(QStringLiteral(
        "INSERT INTO clock_audit (acted_at, terminal, acted_by, action, user_id, before_start, before_end,"
        " after_start, after_end)"
        " VALUES (:at, :terminal, :actedBy, :action, :user, :beforeStart, :beforeEnd, :afterStart, :afterEnd)"));
    insert.bindValue(QStringLiteral(":at"), actor.at);
    insert.bindValue(QStringLiteral(":terminal"), textValue(actor.terminal));
    insert.bindValue(QStringLiteral(":actedBy"), textValue(actor.userName));
    insert.bindValue(QStringLiteral(":action"), actionName(action));
    insert.bindValue(QStringLiteral(":user"), userId);
    insert.bindValue(QStringLiteral(":beforeStart"), startOf(before));
    insert.bindValue(QStringLiteral(":beforeEnd"), endOf(before));
    insert.bindValue(QStringLiteral(":afterStart"), startOf(after));
    insert.bindValue(QStringLiteral(":afterEnd"), endOf(after));
    return Store::execute(insert);
}

} // namespace ClockAudit
