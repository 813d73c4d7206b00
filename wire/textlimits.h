#pragma once

// Lengths the server accepts, in UTF-16 code units, checked before anything
// is looked up or stored.
namespace Limits {

constexpr int NameLength = 50; // user names, first and last names, departments
constexpr int FreeTextLength = 512; // materials and descriptions
constexpr int CustomJobFieldLength = 100; // a custom job's worker, job type, customer and contact details
constexpr int BinIdLength = 30;
// A custom job's line in the order review: order number, customer and job
// type, with a blank between each.
constexpr int CustomOrderLineLength = 19 + 1 + CustomJobFieldLength + 1 + CustomJobFieldLength;
constexpr int BinDetailLength = 50; // a bin's size and additional information, lid measurements
constexpr int RepairLineCodeLength = 8; // the repair code of a bin repair line, as the repair entry sends it

// The repair-code catalogue: a code fits a bin repair line, which carries
// at most RepairLineCodeLength characters of it.
constexpr int CatalogueCodeLength = RepairLineCodeLength;
constexpr int RepairTypeLength = 50;

// Time keeping: the total that the time stamp browser sends along with a
// removal, as it shows it ("7.5").
constexpr int TimeStampTotalLength = 32;

} // namespace Limits
