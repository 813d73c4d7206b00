#include "clocktext.h"

#include "wire/clocktimes.h"

#include <QComboBox>
#include <QLocale>
#include <QTimeZone>

namespace {

QDateTime fixedNow;

int numberOf(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

} // namespace

namespace ClockText {

QDateTime now()
{
    return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
}

void setNowForTesting(const QDateTime &moment)
{
    fixedNow = moment;
}

QString timeText(quint32 unixTime)
{
    // The zone is read once, and only its offset at that moment is asked
    // for: a local-time conversion would have the C library check the zone
    // file again for every text, and a moment kept in the zone looks its
    // offset up again for each part it is asked for. Long lists of periods
    // pay either thousands of times. Without a known system zone the texts
    // fall back to local time.
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(unixTime, Qt::UTC);
    const QDateTime moment = zone.isValid() ? utc.toOffsetFromUtc(zone.offsetFromUtc(utc)) : localTime(unixTime);
    // The C locale keeps the digits and the separators the same everywhere.
    return QLocale::c().toString(moment, QStringLiteral("M/d/yyyy HH:mm:ss"));
}

std::optional<quint32> unixTime(const QDate &date, const QTime &time)
{
    const QDateTime moment(date, time, Qt::LocalTime);
    if (!date.isValid() || !time.isValid() || !moment.isValid())
        return std::nullopt;
    const qint64 seconds = moment.toSecsSinceEpoch();
    if (seconds < 0 || seconds >= ClockTime::Invalid)
        return std::nullopt;
    return quint32(seconds);
}

QDateTime localTime(quint32 unixTime)
{
    return QDateTime::fromSecsSinceEpoch(unixTime, Qt::LocalTime);
}

QString hoursText(double hours)
{
    return QString::number(hours, 'g', 10);
}

void fillDays(QComboBox *days, const QString &year, const QString &month)
{
    days->clear();
    const QDate first(numberOf(year), numberOf(month), 1);
    if (!first.isValid())
        return;
    for (int day = 1; day <= first.daysInMonth(); ++day)
        days->addItem(QString::number(day));
}

QDate chosenDate(const QComboBox *year, const QComboBox *month, const QComboBox *day)
{
    if (year->currentIndex() < 0 || month->currentIndex() < 0 || day->currentIndex() < 0)
        return {};
    return QDate(numberOf(year->currentText()), numberOf(month->currentText()), numberOf(day->currentText()));
}

} // namespace ClockText
