#pragma once

#include "commanddomain.h"

#include "storage/binorders.h"
#include "storage/clockrecords.h"
#include "storage/useraccounts.h"

#include <QHostAddress>

class Reply;

// Logging in (which opens the terminal's session) and what the main window asks for after it: the work types,
// the user's permission level, the orders waiting for a check, and clocking
// in and out.
class SessionCommands : public CommandDomain
{
public:
    explicit SessionCommands(ServerServices services);

    void registerCommands(CommandDispatcher &dispatcher) override;

private:
    void login(const Reply &reply, const QString &userName, const QString &digest);
    void answerLogin(const Reply &reply, const UserAccount &account, const QHostAddress &terminal, bool success);
    void permissions(const Reply &reply, const QString &userName);
    void numberOfOrders(const Reply &reply);
    void clockStatus(const Reply &reply, const QString &userName);
    void clockIn(const Reply &reply, const QString &userName);
    void clockOut(const Reply &reply, const QString &userName);

    PasswordWorkers &passwords;
    TerminalSessions &sessions;
    LoginThrottle &loginThrottle;
    Clock &serverClock;
    UserAccounts users;
    ClockRecords clock;
    BinOrders binOrders;
};
