#pragma once

#include "store.h"

// Bin work orders: one repair of one bin, from intake to confirmation.
class BinOrders
{
public:
    explicit BinOrders(Store &store) : store(store) {}

    // Orders with the given status that have not been removed.
    std::optional<qint64> countWithStatus(int status) const;

private:
    Store &store;
};
