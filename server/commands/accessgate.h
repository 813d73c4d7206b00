#pragma once

#include "auth/commandaccess.h"
#include "storage/binorders.h"
#include "storage/customorders.h"

#include <QStringList>

#include <optional>

class Reply;
class TerminalSessions;
class AdmittedRequest;

// Lets a request run only when the user logged in at its terminal may make
// it, by the command's access rule. From a terminal without a session only
// the login is served. Refusals are logged and answered with "Error"; the
// answer never tells whether a user named in the request exists.
class AccessGate
{
public:
    AccessGate(Store &store, TerminalSessions &sessions);

    // False when the request was refused (and answered).
    bool admits(const QString &command, const QStringList &arguments, const Reply &reply);
    // Whether the request's terminal may be served aside (Store::ReadAside).
    bool servesAside(const Reply &reply) const;

private:
    // The level the request needs; nothing when the store failed.
    std::optional<int> levelNeeded(const AccessRule &rule, const QStringList &arguments, const QString &userLoggedIn,
                                   AdmittedRequest &admitted) const;
    std::optional<int> levelForOrder(const AccessRule &rule, const QStringList &arguments,
                                     AdmittedRequest &admitted) const;
    static void refuse(const Reply &reply, const QString &command, const QString &userLoggedIn, const QString &why);

    TerminalSessions &sessions;
    BinOrders binOrders;
    CustomOrders customJobs;
};
