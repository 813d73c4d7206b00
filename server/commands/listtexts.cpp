#include "listtexts.h"

#include <QDate>
#include <QDateTime>

#include <limits>
#include <mutex>

namespace {

constexpr qint64 SecondsPerDay = 24 * 3600;

// A day's text depends on the day alone, so every list shares the texts
// made: a manager browses one worker's ten years after another, thousands
// of days each. The texts held are as many as the days orders were
// finished on.
class SharedDayTexts
{
public:
    static QString of(qint64 daySinceEpoch)
    {
        static SharedDayTexts shared;
        const std::lock_guard<std::mutex> locked(shared.lock);
        return shared.texts.of(daySinceEpoch, [](qint64 day) { return textOf(QDate(1970, 1, 1).addDays(day)); });
    }

private:
    // Written by hand: QDate::toString reads its format through the locale
    // and the calendar.
    static QString textOf(const QDate &date)
    {
        QString text = QString::number(date.month());
        text += QLatin1Char('/');
        text += QString::number(date.day());
        text += QLatin1Char('/');
        text += QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
        return text;
    }

    std::mutex lock; // on PostgreSQL, lists are read side by side
    TextsMadeOnce<qint64> texts; // by day
};

} // namespace

QString DayTexts::of(qint64 secondsSinceEpoch)
{
    const qint64 localSeconds = secondsSinceEpoch + offsetAt(secondsSinceEpoch);
    const qint64 day = localSeconds / SecondsPerDay - (localSeconds % SecondsPerDay < 0 ? 1 : 0);
    if (day != lastDay) {
        lastDay = day;
        lastText = SharedDayTexts::of(day);
    }
    return lastText;
}

int DayTexts::offsetAt(qint64 secondsSinceEpoch)
{
    if (secondsSinceEpoch >= validFrom && secondsSinceEpoch < validUntil)
        return offset;
    const QDateTime at = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::UTC);
    offset = zone.offsetFromUtc(at);
    // A zone without transitions (UTC) keeps its offset for good.
    validFrom = std::numeric_limits<qint64>::min();
    validUntil = std::numeric_limits<qint64>::max();
    if (zone.hasTransitions()) {
        const QDateTime previous = zone.previousTransition(at.addSecs(1)).atUtc;
        const QDateTime next = zone.nextTransition(at).atUtc;
        validFrom = previous.isValid() ? previous.toSecsSinceEpoch() : std::numeric_limits<qint64>::min();
        validUntil = next.isValid() ? next.toSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    }
    return offset;
}
