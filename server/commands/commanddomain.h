#pragma once

class Clock;
class CommandDispatcher;
class LoginThrottle;
class LongListReader;
class PasswordWorkers;
class Store;
class TerminalSessions;

// What every group of commands works with.
struct ServerServices
{
    Store &store;
    PasswordWorkers &passwords;
    TerminalSessions &sessions;
    LoginThrottle &loginThrottle;
    Clock &clock;
    LongListReader &longLists;
};

// One group of related commands (sessions, bins, users, ...). A domain is
// built from the ServerServices and registers its commands once.
class CommandDomain
{
public:
    virtual ~CommandDomain() = default;
    virtual void registerCommands(CommandDispatcher &dispatcher) = 0;
};
