#pragma once

#include "wire/finishedorderlists.h"
#include "wire/textlimits.h"

#include <passworddigest.h>

#include <QDate>
#include <QString>
#include <QStringList>

// The rules for command arguments. Each rule names the argument's wire type
// (Type), how error replies call it (name), and what makes a value
// unacceptable (problem() returns an empty text for a good value). The
// dispatcher applies them before any handler runs.

namespace ArgumentRules {

inline QString longerThan(const QString &value, int limit)
{
    if (value.size() <= limit)
        return {};
    return QStringLiteral("is %1 characters long; at most %2 are allowed").arg(value.size()).arg(limit);
}

} // namespace ArgumentRules

// A user name exactly as typed.
struct UserNameArgument
{
    using Type = QString;
    static constexpr const char *name = "user name";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::NameLength); }
};

// The password digest the login sends: 128 lowercase hex digits.
struct PasswordDigestArgument
{
    using Type = QString;
    static constexpr const char *name = "password digest";
    static QString problem(const QString &value)
    {
        if (wire::isPasswordDigest(value))
            return {};
        return QStringLiteral("is not 128 lowercase hexadecimal digits");
    }
};

// An order status number as decimal text, "1" to "6".
struct StatusNumberArgument
{
    using Type = QString;
    static constexpr const char *name = "status";
    static QString problem(const QString &value)
    {
        if (value.size() == 1 && value.at(0) >= QLatin1Char('1') && value.at(0) <= QLatin1Char('6'))
            return {};
        return QStringLiteral("is not an order status from 1 to 6");
    }
};

// A bin ID as painted on the bin: "KD..." (front end) or "ROR..." (roll
// off), without blanks.
struct BinIdArgument
{
    using Type = QString;
    static constexpr const char *name = "bin ID";
    static QString problem(const QString &value)
    {
        if (!value.startsWith(QLatin1String("KD")) && !value.startsWith(QLatin1String("ROR")))
            return QStringLiteral("does not start with KD or ROR");
        if (value.contains(QLatin1Char(' ')))
            return QStringLiteral("contains a blank");
        return ArgumentRules::longerThan(value, Limits::BinIdLength);
    }
};

// The selection of "GetAllWork": the word "All" (every worker).
struct AllWorkersArgument
{
    using Type = QString;
    static constexpr const char *name = "selection";
    static QString problem(const QString &value)
    {
        if (value == QLatin1String("All"))
            return {};
        return QStringLiteral("is not \"All\"");
    }
};

// A custom job as the order review lists it: its order number in decimal
// (no leading zero), a blank, then the customer and the job type.
struct CustomOrderLineArgument
{
    using Type = QString;
    static constexpr const char *name = "order line";
    static QString problem(const QString &value)
    {
        const QString number = value.section(QLatin1Char(' '), 0, 0);
        bool isNumber = false;
        const qint64 orderNumber = number.toLongLong(&isNumber);
        if (!isNumber || orderNumber <= 0 || number != QString::number(orderNumber) || number.size() == value.size())
            return QStringLiteral("does not start with an order number and a blank");
        return ArgumentRules::longerThan(value, Limits::CustomOrderLineLength);
    }
};

// Custom jobs: the values that start one, name one, and make up its lines.

namespace ArgumentRules {

// Decimal digits only, 1 to maxDigits of them, with a value from lowest to highest.
inline bool isWholeNumber(const QString &value, int maxDigits, qint64 lowest, qint64 highest)
{
    if (value.isEmpty() || value.size() > maxDigits)
        return false;
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const qint64 number = value.toLongLong();
    return number >= lowest && number <= highest;
}

inline QString customJobText(const QString &value, bool required, bool blanksAllowed)
{
    if (required && value.isEmpty())
        return QStringLiteral("is empty");
    if (!blanksAllowed && value.contains(QLatin1Char(' ')))
        return QStringLiteral("contains a blank");
    return longerThan(value, Limits::CustomJobFieldLength);
}

inline QString lineText(const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("is empty");
    return longerThan(value, Limits::FreeTextLength);
}

constexpr int MaxLineHours = 8;

} // namespace ArgumentRules

// A custom job's order number: decimal, from 1.
struct CustomOrderNumberArgument
{
    using Type = QString;
    static constexpr const char *name = "order number";
    static QString problem(const QString &value)
    {
        if (ArgumentRules::isWholeNumber(value, 18, 1, 999999999999999999))
            return {};
        return QStringLiteral("is not an order number (decimal, from 1)");
    }
};

// A custom job's job type or customer: required and without blanks, since
// the screens separate them from the order number by blanks.
struct CustomJobTypeArgument
{
    using Type = QString;
    static constexpr const char *name = "job type";
    static QString problem(const QString &value) { return ArgumentRules::customJobText(value, true, false); }
};

struct CustomerArgument
{
    using Type = QString;
    static constexpr const char *name = "customer";
    static QString problem(const QString &value) { return ArgumentRules::customJobText(value, true, false); }
};

struct CustomWorkerArgument
{
    using Type = QString;
    static constexpr const char *name = "worker";
    static QString problem(const QString &value) { return ArgumentRules::customJobText(value, true, true); }
};

// The customer's ID, contact name, phone number or e-mail: may be empty.
struct CustomContactArgument
{
    using Type = QString;
    static constexpr const char *name = "contact detail";
    static QString problem(const QString &value) { return ArgumentRules::customJobText(value, false, true); }
};

// The date a custom job was started, as the start screen shows it:
// month/day/year, as in 3/7/2016.
struct CustomJobDateArgument
{
    using Type = QString;
    static constexpr const char *name = "date";
    static QString problem(const QString &value)
    {
        if (value.size() <= 10 && QDate::fromString(value, QStringLiteral("M/d/yyyy")).isValid())
            return {};
        return QStringLiteral("is not a date of the form month/day/year");
    }
};

// A custom repair line's description and materials: required.
struct CustomLineDescriptionArgument
{
    using Type = QString;
    static constexpr const char *name = "description";
    static QString problem(const QString &value) { return ArgumentRules::lineText(value); }
};

struct CustomLineMaterialsArgument
{
    using Type = QString;
    static constexpr const char *name = "materials";
    static QString problem(const QString &value) { return ArgumentRules::lineText(value); }
};

// The time of a custom repair line: hours "0" to "8", minutes "0" to "59".
struct CustomLineHoursArgument
{
    using Type = QString;
    static constexpr const char *name = "hours";
    static QString problem(const QString &value)
    {
        if (ArgumentRules::isWholeNumber(value, 1, 0, ArgumentRules::MaxLineHours))
            return {};
        return QStringLiteral("is not a number of hours from 0 to 8");
    }
};

struct CustomLineMinutesArgument
{
    using Type = QString;
    static constexpr const char *name = "minutes";
    static QString problem(const QString &value)
    {
        if (ArgumentRules::isWholeNumber(value, 2, 0, 59))
            return {};
        return QStringLiteral("is not a number of minutes from 0 to 59");
    }
};

// The same time as one text, hours ":" minutes (1:5 and 1:05 alike).
struct CustomLineTimeArgument
{
    using Type = QString;
    static constexpr const char *name = "time";
    static QString problem(const QString &value)
    {
        const QStringList parts = value.split(QLatin1Char(':'));
        if (parts.size() == 2 && CustomLineHoursArgument::problem(parts.at(0)).isEmpty()
            && CustomLineMinutesArgument::problem(parts.at(1)).isEmpty())
            return {};
        return QStringLiteral("is not a time of the form hours:minutes (0 to 8 hours, 0 to 59 minutes)");
    }
};

// A time stamp id as answered when timing started; "0" stands for none.
struct TimeStampIdArgument
{
    using Type = QString;
    static constexpr const char *name = "time stamp id";
    static QString problem(const QString &value)
    {
        if (ArgumentRules::isWholeNumber(value, 18, 0, 999999999999999999))
            return {};
        return QStringLiteral("is not a time stamp id (decimal, from 0)");
    }
};

// Bin jobs: the work type, the order's repair id, and what intake, pre-check,
// repair lines and final checks record.

// "Front End Repair" or "Roll Off Repair": the work types of bin jobs.
struct BinWorkTypeArgument
{
    using Type = QString;
    static constexpr const char *name = "work type";
    static QString problem(const QString &value)
    {
        if (value == QLatin1String("Front End Repair") || value == QLatin1String("Roll Off Repair"))
            return {};
        return QStringLiteral("is not \"Front End Repair\" or \"Roll Off Repair\"");
    }
};

// A bin order's repair id: decimal, from 1.
struct RepairIdArgument
{
    using Type = QString;
    static constexpr const char *name = "repair id";
    static QString problem(const QString &value)
    {
        if (ArgumentRules::isWholeNumber(value, 9, 1, 999999999))
            return {};
        return QStringLiteral("is not a repair id (decimal, from 1)");
    }
};

// The intake's bin label: "ID ", then the bin ID.
struct BinIdLabelArgument
{
    using Type = QString;
    static constexpr const char *name = "bin label";
    static QString problem(const QString &value)
    {
        const QLatin1String prefix("ID ");
        if (!value.startsWith(prefix))
            return QStringLiteral("does not start with \"ID \"");
        const QString binProblem = BinIdArgument::problem(value.mid(prefix.size()));
        if (binProblem.isEmpty())
            return {};
        return QStringLiteral("holds a bin ID that ") + binProblem;
    }
};

struct BinSizeArgument
{
    using Type = QString;
    static constexpr const char *name = "bin size";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::BinDetailLength); }
};

struct AdditionalInfoArgument
{
    using Type = QString;
    static constexpr const char *name = "additional information";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::BinDetailLength); }
};

// A pre-check verdict: "1" good, "0" bad.
struct VerdictArgument
{
    using Type = QString;
    static constexpr const char *name = "verdict";
    static QString problem(const QString &value)
    {
        if (value == QLatin1String("0") || value == QLatin1String("1"))
            return {};
        return QStringLiteral("is not \"1\" (good) or \"0\" (bad)");
    }
};

// The lid size or lid tab width of the final checks, as entered.
struct LidMeasurementArgument
{
    using Type = QString;
    static constexpr const char *name = "lid measurement";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::BinDetailLength); }
};

// A code-list key: "FER", "ROR", "KD", or empty for the work type's own list.
struct CodeListKeyArgument
{
    using Type = QString;
    static constexpr const char *name = "code-list key";
    static QString problem(const QString &value)
    {
        if (value.isEmpty() || value == QLatin1String("FER") || value == QLatin1String("ROR")
            || value == QLatin1String("KD"))
            return {};
        return QStringLiteral("is not \"FER\", \"ROR\" or \"KD\"");
    }
};

// The repair code of a bin repair line: required, at most 8 characters.
struct RepairLineCodeArgument
{
    using Type = QString;
    static constexpr const char *name = "repair code";
    static QString problem(const QString &value)
    {
        if (value.isEmpty())
            return QStringLiteral("is empty");
        return ArgumentRules::longerThan(value, Limits::RepairLineCodeLength);
    }
};

// The materials of a bin repair line: may be empty.
struct RepairLineMaterialsArgument
{
    using Type = QString;
    static constexpr const char *name = "materials";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::FreeTextLength); }
};

// Finished orders: the browser's choices.

// The bin work type of a finished-order list, by its code-list key: "FER"
// front end, "ROR" roll off.
struct BinListKeyArgument
{
    using Type = QString;
    static constexpr const char *name = "work type";
    static QString problem(const QString &value)
    {
        if (value == QLatin1String("FER") || value == QLatin1String("ROR"))
            return {};
        return QStringLiteral("is not \"FER\" or \"ROR\"");
    }
};

// The order within each user's group: "New To Old" or "Old To New".
struct ListSequenceArgument
{
    using Type = QString;
    static constexpr const char *name = "date order";
    static QString problem(const QString &value)
    {
        if (value == FinishedOrderList::NewestFirst || value == FinishedOrderList::OldestFirst)
            return {};
        return QStringLiteral("is not \"%1\" or \"%2\"")
            .arg(FinishedOrderList::NewestFirst, FinishedOrderList::OldestFirst);
    }
};
