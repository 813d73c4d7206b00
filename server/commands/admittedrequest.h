#pragma once

#include "storage/binorders.h"
#include "storage/useraccounts.h"

#include <optional>
#include <utility>

// What the access gate read to admit the request being served, kept in the
// connection's session so that the request's handler, which runs next in
// the same turn, need not read it again. The gate sets it for every
// request; the handler takes each read once, before changing anything.
class AdmittedRequest
{
public:
    // The account of the user logged in at the terminal (without its
    // password hash), if the request names that user.
    std::optional<UserAccount> takeAccount(const QString &userName)
    {
        std::optional<UserAccount> taken = std::exchange(account, std::nullopt);
        if (taken && taken->userName != userName)
            return std::nullopt;
        return taken;
    }

    // The bin order read for binId and repairId, if the gate read that one.
    std::optional<BinOrder> takeBinOrder(const QString &binId, int repairId)
    {
        std::optional<BinOrder> taken = std::exchange(binOrder, std::nullopt);
        if (taken && (binId != binOrderId || repairId != binOrderRepairId))
            return std::nullopt;
        return taken;
    }

private:
    friend class AccessGate;

    std::optional<UserAccount> account;
    QString binOrderId; // as the request named the order
    int binOrderRepairId = 0;
    std::optional<BinOrder> binOrder;
};
