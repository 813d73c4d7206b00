#include "accessgate.h"

#include "actinguser.h"
#include "admittedrequest.h"
#include "reply.h"

#include "auth/terminalsessions.h"

#include <QDebug>

#include <algorithm>

AccessGate::AccessGate(Store &store, TerminalSessions &sessions)
    : sessions(sessions)
    , binOrders(store)
    , customJobs(store)
{ }

bool AccessGate::admits(const QString &command, const QStringList &arguments, const Reply &reply)
{
    AdmittedRequest &admitted = reply.session().get<AdmittedRequest>();
    admitted = {};
    const AccessRule *rule = CommandAccess::ruleFor(command, arguments.size());
    if (!rule) {
        refuse(reply, command, QString(), QStringLiteral("\"%1\" is not served to any terminal").arg(command));
        return false;
    }
    if (rule->level == PermissionLevel::None)
        return true;

    const QHostAddress &terminal = reply.session().peerAddress();
    const QString notLoggedIn = QStringLiteral("this terminal is not logged in");
    const std::optional<Lookup<UserAccount>> sessionAccount = sessions.accountAt(terminal);
    if (!sessionAccount) {
        refuse(reply, command, QString(), notLoggedIn);
        return false;
    }
    const Lookup<UserAccount> &account = *sessionAccount;
    if (account.failed()) {
        reply.storeFailure();
        return false;
    }
    if (!account.found() || !account->active) {
        sessions.end(terminal);
        refuse(reply, command, QString(), notLoggedIn);
        return false;
    }

    const std::optional<int> needed = levelNeeded(*rule, arguments, account->userName, admitted);
    if (!needed) {
        reply.storeFailure();
        return false;
    }
    if (account->permissionLevel >= *needed) {
        reply.session().get<ActingUser>().userName = account->userName;
        admitted.account = *account;
        return true;
    }
    refuse(reply, command, account->userName,
           QStringLiteral("the user logged in at this terminal may not make this request"));
    return false;
}

std::optional<int> AccessGate::levelNeeded(const AccessRule &rule, const QStringList &arguments,
                                           const QString &userLoggedIn, AdmittedRequest &admitted) const
{
    int level = rule.level;
    if (rule.actsFor >= 0 && arguments.value(rule.actsFor) != userLoggedIn)
        level = std::max(level, int(PermissionLevel::Office));
    if (rule.setsStatus >= 0) {
        const int status = arguments.value(rule.setsStatus).toInt();
        level = std::max(level, rule.order == AccessRule::Order::Custom ? CommandAccess::levelForCustomJob(status)
                                                                        : CommandAccess::levelToSetBinStatus(status));
    }
    if (rule.listsStatus >= 0)
        level = std::max(level, CommandAccess::levelForBinOrder(arguments.value(rule.listsStatus).toInt()));
    const std::optional<int> forOrder = levelForOrder(rule, arguments, admitted);
    if (!forOrder)
        return std::nullopt;
    return std::max(level, *forOrder);
}

// An order that does not exist needs nothing here: the command itself says
// that it is unknown.
std::optional<int> AccessGate::levelForOrder(const AccessRule &rule, const QStringList &arguments,
                                             AdmittedRequest &admitted) const
{
    const auto argument = [&](int index) { return arguments.value(rule.orderArguments[index]); };
    switch (rule.order) {
    case AccessRule::Order::None:
        return PermissionLevel::None;
    case AccessRule::Order::Bin: {
        admitted.binOrderId = argument(0);
        admitted.binOrderRepairId = argument(1).toInt();
        const Lookup<BinOrder> order = binOrders.find(admitted.binOrderId, admitted.binOrderRepairId);
        if (order.failed())
            return std::nullopt;
        if (!order.found())
            return PermissionLevel::None;
        admitted.binOrder = *order;
        return CommandAccess::levelForBinOrder(order->status);
    }
    case AccessRule::Order::Custom: {
        const Lookup<CustomJob> job = customJobs.find({argument(0).toLongLong(), argument(1), argument(2)});
        if (job.failed())
            return std::nullopt;
        return job.found() ? CommandAccess::levelForCustomJob(job->status) : PermissionLevel::None;
    }
    }
    return std::nullopt;
}

bool AccessGate::servesAside(const Reply &reply) const
{
    return sessions.servesAside(reply.session().peerAddress());
}

void AccessGate::refuse(const Reply &reply, const QString &command, const QString &userLoggedIn, const QString &why)
{
    qInfo().noquote() << "refused" << command << "from" << TerminalSessions::addressKey(reply.session().peerAddress())
                      << "user" << (userLoggedIn.isEmpty() ? QStringLiteral("(none)") : userLoggedIn) << "-" << why;
    reply.error(why);
}
