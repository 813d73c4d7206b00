#pragma once

#include <QDate>
#include <QString>

class QIODevice;
class Store;

// The figures the office takes into its spreadsheets: payroll hours and
// finished orders, as CSV. Days are the server's local days, both ends of
// a range included.
namespace OfficeExports {

struct DayRange
{
    QDate first;
    QDate last;
};

// One row per clock period that starts in the range (all departments when
// department is empty), ordered by user and start. A period still open is
// flagged and counts nothing. Beside each period stand the hours its user
// clocked that day and the hours booked on orders that day (order time
// stamps started that day), so forgotten clock-outs and unbooked time show.
bool writeHours(Store &store, const DayRange &range, const QString &department, QIODevice &output, QString *error);

// One row per finished order (bin orders from the final checks on, custom
// jobs from submission on, none removed) finished in the range, in the
// order they were finished: its bin or job, worker, status, repair lines,
// materials and the hours timed on it.
bool writeOrders(Store &store, const DayRange &range, QIODevice &output, QString *error);

} // namespace OfficeExports
