#pragma once

#include "domain/textlimits.h"

#include <passworddigest.h>

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
