#include "sessioncommands.h"

#include "accountlookup.h"
#include "argumentrules.h"
#include "commanddispatcher.h"
#include "requestorigin.h"

#include "auth/clock.h"
#include "auth/loginthrottle.h"
#include "auth/passwordworkers.h"
#include "auth/terminalsessions.h"
#include "wire/clocktimes.h"
#include "wire/commands.h"
#include "wire/orderstatus.h"
#include "wire/permissionlevel.h"
#include "wire/replytags.h"
#include "wire/worktypes.h"

#include <QDateTime>
#include <QDebug>

SessionCommands::SessionCommands(ServerServices services)
    : passwords(services.passwords)
    , sessions(services.sessions)
    , loginThrottle(services.loginThrottle)
    , serverClock(services.clock)
    , users(services.store)
    , clock(services.store)
    , binOrders(services.store)
{ }

void SessionCommands::registerCommands(CommandDispatcher &dispatcher)
{
    dispatcher.add<UserNameArgument, PasswordDigestArgument>(
        Command::Login,
        [this](const Reply &reply, const QString &user, const QString &digest) { login(reply, user, digest); });
    dispatcher.add<>(Command::GetWork, [](const Reply &reply) { reply.send(ReplyTag::WorkType, WorkType::all()); });
    dispatcher.add<UserNameArgument>(Command::GetPermissions,
                                     [this](const Reply &reply, const QString &user) { permissions(reply, user); });
    dispatcher.add<>(Command::GetNumberOfOrders, [this](const Reply &reply) { numberOfOrders(reply); });
    dispatcher.add<UserNameArgument>(Command::GetClockStatus,
                                     [this](const Reply &reply, const QString &user) { clockStatus(reply, user); });
    // The main window asks these whenever it shows, with a person waiting.
    dispatcher.answerAside(
        {Command::GetWork, Command::GetPermissions, Command::GetNumberOfOrders, Command::GetClockStatus});
    dispatcher.add<UserNameArgument>(Command::ClockIn,
                                     [this](const Reply &reply, const QString &user) { clockIn(reply, user); });
    dispatcher.add<UserNameArgument>(Command::ClockOut,
                                     [this](const Reply &reply, const QString &user) { clockOut(reply, user); });
}

// Guessing from one terminal is slowed down: the verification starts as
// late as the login throttle says, whatever the password. The account is
// read at once, in the handler's turn, so that the wait holds no thread.
// "Success" only for an active account whose hash matches the digest. An
// unknown name still costs one full verification, so the time to answer
// does not tell whether the name exists.
void SessionCommands::login(const Reply &reply, const QString &userName, const QString &digest)
{
    const QHostAddress terminal = reply.session().peerAddress();
    const qint64 wait = loginThrottle.begin(terminal);
    const Lookup<UserAccount> account = users.find(userName);
    if (reply.storeFailed(account))
        return;
    const bool usable = account.found() && account->active;
    const UserAccount found = account.found() ? *account : UserAccount();
    const auto verify = [this, reply, found, digest, terminal, usable] {
        passwords.verify(found.passwordHash, digest, [this, reply, found, terminal, usable](bool matches) {
            answerLogin(reply, found, terminal, usable && matches);
        });
    };
    if (wait == 0)
        verify();
    else
        serverClock.callAfter(wait, &passwords, verify);
}

// A successful login opens the user's session at the terminal, ending the
// session of whoever was logged in there.
void SessionCommands::answerLogin(const Reply &reply, const UserAccount &account, const QHostAddress &terminal,
                                  bool success)
{
    const QString address = TerminalSessions::addressKey(terminal);
    if (!success) {
        qInfo().noquote() << "failed login from" << address << "-" << loginThrottle.recentFailures(terminal)
                          << "failed within 15 minutes";
        reply.send(ReplyTag::Wrong);
        return;
    }
    loginThrottle.succeeded(terminal);
    if (!sessions.open(terminal, account.id)) {
        reply.storeFailure();
        return;
    }
    qInfo().noquote() << account.userName << "logged in at" << address;
    reply.send(ReplyTag::Success);
}

// Unknown and deactivated users get level "0", which opens nothing.
void SessionCommands::permissions(const Reply &reply, const QString &userName)
{
    const Lookup<UserAccount> account = accountNamed(users, reply, userName);
    if (reply.storeFailed(account))
        return;
    const int level = account.found() && account->active ? account->permissionLevel : PermissionLevel::None;
    reply.send(ReplyTag::Permissions, QString::number(level));
}

// The orders a checker has to look at: bin orders whose final checks are
// saved and not yet checked (status 4).
void SessionCommands::numberOfOrders(const Reply &reply)
{
    const std::optional<qint64> count = binOrders.countWithStatus(OrderStatus::WaitingForCheck);
    if (reply.storeFailed(count))
        return;
    reply.send(ReplyTag::NumberOfOrders, QString::number(*count));
}

// "In" while a period is open, "Out" after one, "" for a user with no
// periods, unknown users included.
void SessionCommands::clockStatus(const Reply &reply, const QString &userName)
{
    const Lookup<UserAccount> account = accountNamed(users, reply, userName);
    if (reply.storeFailed(account))
        return;
    const QString tag = ReplyTag::GetClockStatus;
    if (!account.found()) {
        reply.send(tag, QString());
        return;
    }
    const std::optional<ClockRecords::State> state = clock.state(account->id);
    if (reply.storeFailed(state))
        return;
    switch (*state) {
    case ClockRecords::State::NeverClocked:
        reply.send(tag, QString());
        return;
    case ClockRecords::State::In:
        reply.send(tag, ClockState::in());
        return;
    case ClockRecords::State::Out:
        reply.send(tag, ClockState::out());
        return;
    }
}

// Clocking in while in keeps the open period and answers as usual. Removed
// users cannot clock in.
void SessionCommands::clockIn(const Reply &reply, const QString &userName)
{
    const Lookup<UserAccount> account = accountOrError(users, reply, userName, AccountState::Active);
    if (!account.found())
        return;
    if (clock.clockIn(account->id, clockActor(reply)) == ClockRecords::Change::Failed) {
        reply.storeFailure();
        return;
    }
    reply.send(ReplyTag::ClockIn);
}

// Clocking out while out changes nothing and answers as usual. A removed
// user can still be clocked out, so that no period stays open for good.
void SessionCommands::clockOut(const Reply &reply, const QString &userName)
{
    const Lookup<UserAccount> account = accountNamed(users, reply, userName);
    if (reply.storeFailed(account))
        return;
    if (!account.found()) {
        reply.error(QStringLiteral("there is no user \"%1\"").arg(userName));
        return;
    }
    if (clock.clockOut(account->id, clockActor(reply)) == ClockRecords::Change::Failed) {
        reply.storeFailure();
        return;
    }
    reply.send(ReplyTag::ClockOut);
}
