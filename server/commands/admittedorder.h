#pragma once

#include "storage/binorders.h"

#include <optional>
#include <utility>

// The bin order the access gate read to admit the request being served,
// kept in the connection's session so that the request's handler, which
// runs next in the same turn, need not read it again. The gate sets it for
// every request; the handler takes it once, before changing anything.
struct AdmittedBinOrder
{
    QString binId; // as the request named the order
    int repairId = 0;
    std::optional<BinOrder> order;

    // The order read for binId and repairId, if the gate read it; forgotten
    // either way, so that nothing later in the request uses it.
    std::optional<BinOrder> take(const QString &requestedBinId, int requestedRepairId)
    {
        std::optional<BinOrder> taken = std::exchange(order, std::nullopt);
        if (taken && (requestedBinId != binId || requestedRepairId != repairId))
            return std::nullopt;
        return taken;
    }
};
