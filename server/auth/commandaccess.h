#pragma once

#include "wire/permissionlevel.h"

#include <QString>

// What a command asks of the user logged in at the terminal it comes from.
// The rules of every command stand in one table (commandaccess.cpp); a
// command without a rule is refused.
//
// A rule gives the least permission level, and may raise it by what the
// request names: another user than the one logged in, an order whose status
// belongs to a later step of the work, or a status that only a checker or
// a manager may set or list.
struct AccessRule
{
    enum class Order { None, Bin, Custom };

    int level = PermissionLevel::Standard; // PermissionLevel::None: served without a login
    int actsFor = -1; // argument naming the user the command acts for
    Order order = Order::None;
    // The order's arguments: a bin order's bin ID and repair id, or a custom
    // job's order number, job type and customer.
    int orderArguments[3] = {-1, -1, -1};
    int setsStatus = -1; // argument with the status the command gives an order
    int listsStatus = -1; // argument with the status of the bin orders listed

    static constexpr AccessRule withoutLogin() { return atLevel(PermissionLevel::None); }
    static constexpr AccessRule loggedIn() { return atLevel(PermissionLevel::Standard); }
    static constexpr AccessRule atLevel(int level)
    {
        AccessRule rule;
        rule.level = level;
        return rule;
    }

    // Served for the user logged in; another user's name needs an office user.
    constexpr AccessRule actingFor(int argument) const
    {
        AccessRule rule = *this;
        rule.actsFor = argument;
        return rule;
    }
    // The bin order named by a bin ID and the repair id that follows it.
    constexpr AccessRule onBinOrder(int binIdArgument) const
    {
        AccessRule rule = *this;
        rule.order = Order::Bin;
        rule.orderArguments[0] = binIdArgument;
        rule.orderArguments[1] = binIdArgument + 1;
        return rule;
    }
    constexpr AccessRule onCustomJob(int numberArgument, int jobTypeArgument, int customerArgument) const
    {
        AccessRule rule = *this;
        rule.order = Order::Custom;
        rule.orderArguments[0] = numberArgument;
        rule.orderArguments[1] = jobTypeArgument;
        rule.orderArguments[2] = customerArgument;
        return rule;
    }
    constexpr AccessRule setting(int statusArgument) const
    {
        AccessRule rule = *this;
        rule.setsStatus = statusArgument;
        return rule;
    }
    constexpr AccessRule listing(int statusArgument) const
    {
        AccessRule rule = *this;
        rule.listsStatus = statusArgument;
        return rule;
    }
};

namespace CommandAccess {

// The rule of the command in the form with this many arguments; nothing
// for a command the table does not know.
const AccessRule *ruleFor(const QString &command, int argumentCount);

// The level that may work on, or list, a bin order at this status: anyone
// while it is open, a checker while it waits for a check, a manager after.
int levelForBinOrder(int status);
// The level that may give a bin order this status.
int levelToSetBinStatus(int status);
// The level that may work on a custom job at this status, or give it the
// status: anyone while it is open, a manager after.
int levelForCustomJob(int status);

} // namespace CommandAccess
