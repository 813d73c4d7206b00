#pragma once

#include "wire/orderstatus.h"

// Where a custom job stands. The numbers are the order status numbers that
// bin orders use too; a custom job has no separate check step, so it goes
// from open straight to waiting for a manager's confirmation.
namespace CustomJobStatus {

constexpr int Started = OrderStatus::Started; // 1: opened, no line saved yet
constexpr int LinesSaved = OrderStatus::LinesRecorded; // 2: a line saved by its worker
constexpr int ChangedWhileChecked = 3; // 3: a line saved while a manager checks it
constexpr int Submitted = OrderStatus::Checked; // 5: submitted, waiting for confirmation
constexpr int Confirmed = OrderStatus::Confirmed; // 6: confirmed by a manager: finished

// Open jobs are listed for continuing, take new lines from their worker and
// can be submitted.
constexpr bool isOpen(int status)
{
    return status == Started || status == LinesSaved;
}

// Jobs a manager confirms: submitted, and possibly changed during the check.
constexpr bool isWaitingForConfirmation(int status)
{
    return status == Submitted || status == ChangedWhileChecked;
}

} // namespace CustomJobStatus
