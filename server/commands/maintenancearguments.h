#pragma once

#include "argumentrules.h"

#include "wire/permissionlevel.h"
#include "wire/repaircodelists.h"
#include "wire/textlimits.h"

// Argument rules of the repair-code catalogue, the user administration and
// the departments (see argumentrules.h for the shape of a rule).

namespace ArgumentRules {

inline bool hasControlCharacter(const QString &value)
{
    for (const QChar c : value) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// A name as a person types it: 1 to limit characters, no control
// characters, no blank at either end (which no one can see on a screen).
inline QString plainName(const QString &value, int limit)
{
    if (value.isEmpty())
        return QStringLiteral("is empty");
    if (hasControlCharacter(value))
        return QStringLiteral("contains a control character");
    if (value.front().isSpace() || value.back().isSpace())
        return QStringLiteral("begins or ends with a blank");
    return longerThan(value, limit);
}

// Text shown in a list or form, may be empty: at most limit characters,
// no control characters.
inline QString shownText(const QString &value, int limit)
{
    if (hasControlCharacter(value))
        return QStringLiteral("contains a control character");
    return longerThan(value, limit);
}

} // namespace ArgumentRules

// The key of a repair-code list: "FER", "ROR" or "KD".
struct RepairCodeListArgument
{
    using Type = QString;
    static constexpr const char *name = "code list";
    static QString problem(const QString &value)
    {
        for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
            if (kind.key == value)
                return {};
        }
        return QStringLiteral("is not \"FER\", \"ROR\" or \"KD\"");
    }
};

// The category the code editor names a list by: "Front End Repair", "Roll
// Off Repair" or "Kestrel Disposal".
struct RepairCodeCategoryArgument
{
    using Type = QString;
    static constexpr const char *name = "category";
    static QString problem(const QString &value)
    {
        for (const RepairCodeList::Kind &kind : RepairCodeList::all()) {
            if (kind.category == value)
                return {};
        }
        return QStringLiteral("is not \"Front End Repair\", \"Roll Off Repair\" or \"Kestrel Disposal\"");
    }
};

// A new catalogue code. The repair entry shows a code as code "-"
// description and sends back what stands before the first "-", at most 8
// characters: a longer code, or one with a "-", would come back cut.
struct NewRepairCodeArgument
{
    using Type = QString;
    static constexpr const char *name = "repair code";
    static QString problem(const QString &value)
    {
        if (value.contains(QLatin1Char('-')))
            return QStringLiteral("contains a \"-\"");
        return ArgumentRules::plainName(value, Limits::CatalogueCodeLength);
    }
};

struct RepairTypeArgument
{
    using Type = QString;
    static constexpr const char *name = "repair type";
    static QString problem(const QString &value) { return ArgumentRules::plainName(value, Limits::RepairTypeLength); }
};

// A catalogue description: required; line breaks are kept.
struct RepairDescriptionArgument
{
    using Type = QString;
    static constexpr const char *name = "description";
    static QString problem(const QString &value) { return ArgumentRules::lineText(value); }
};

// The type and description the code list sends along when it removes a
// code: only their size is checked, the code alone names what goes.
struct ShownRepairTypeArgument
{
    using Type = QString;
    static constexpr const char *name = "repair type";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::RepairTypeLength); }
};

struct ShownRepairDescriptionArgument
{
    using Type = QString;
    static constexpr const char *name = "description";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::FreeTextLength); }
};

// A password as typed into the user administration; empty where the
// command keeps the current one.
struct TypedPasswordArgument
{
    using Type = QString;
    static constexpr const char *name = "password";
    static QString problem(const QString &value) { return ArgumentRules::longerThan(value, Limits::NameLength); }
};

// A first or last name, may be empty.
struct PersonNameArgument
{
    using Type = QString;
    static constexpr const char *name = "first or last name";
    static QString problem(const QString &value) { return ArgumentRules::shownText(value, Limits::NameLength); }
};

// A department as a user form sends it: empty for none.
struct UserDepartmentArgument
{
    using Type = QString;
    static constexpr const char *name = "department";
    static QString problem(const QString &value) { return ArgumentRules::shownText(value, Limits::NameLength); }
};

// A permission level code: "1", "2" or "3".
struct PermissionCodeArgument
{
    using Type = QString;
    static constexpr const char *name = "permission level";
    static QString problem(const QString &value)
    {
        if (ArgumentRules::isWholeNumber(value, 1, PermissionLevel::Standard, PermissionLevel::Office))
            return {};
        return QStringLiteral("is not \"1\", \"2\" or \"3\"");
    }
};

// A department name to add.
struct NewDepartmentArgument
{
    using Type = QString;
    static constexpr const char *name = "department";
    static QString problem(const QString &value) { return ArgumentRules::plainName(value, Limits::NameLength); }
};

// A department name to remove, as listed.
struct DepartmentNameArgument
{
    using Type = QString;
    static constexpr const char *name = "department";
    static QString problem(const QString &value)
    {
        if (value.isEmpty())
            return QStringLiteral("is empty");
        return ArgumentRules::longerThan(value, Limits::NameLength);
    }
};

// A field of "AddUser", whose reply names a bad field with a result word
// instead of an error: the command checks it before anything else.
struct NewAccountFieldArgument
{
    using Type = QString;
    static constexpr const char *name = "account field";
    static QString problem(const QString &) { return {}; }
};
