#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

class QComboBox;

// How the time-keeping screens show and build clock times. Texts are the
// same on every terminal whatever its locale: month/day/four-digit year and
// a 24-hour time with seconds, in local time.
namespace ClockText {

// The current moment; a test may fix it to a moment of its choosing.
QDateTime now();
void setNowForTesting(const QDateTime &moment);

// The text of a Unix time as the screens show it.
QString timeText(quint32 unixTime);

// The Unix time of a local date and time; nothing for a date or time that
// does not exist, which the screens then refuse to send.
std::optional<quint32> unixTime(const QDate &date, const QTime &time);

// The local date and time of a Unix time.
QDateTime localTime(quint32 unixTime);

// Hours as the server sends them ("7.50"), shown as a number ("7.5").
QString hoursText(double hours);

// Refills a day list with the days of this month, none when the year or
// month is not a number.
void fillDays(QComboBox *days, const QString &year, const QString &month);

// The date that three combo boxes show; invalid when one has no item or
// the day does not exist in that month.
QDate chosenDate(const QComboBox *year, const QComboBox *month, const QComboBox *day);

} // namespace ClockText
