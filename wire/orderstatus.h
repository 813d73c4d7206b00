#pragma once

// Where a work order stands. Stored with every bin and custom order and sent
// as decimal text.
namespace OrderStatus {

constexpr int Started = 1; // opened, nothing recorded yet
constexpr int LinesRecorded = 2; // repair lines recorded, or the final checks cancelled
constexpr int FrontEndSheetSubmitted = 3; // front-end sheet submitted, final checks due
constexpr int WaitingForCheck = 4; // final checks saved; a checker reviews it
constexpr int Checked = 5; // passed by a checker; a manager confirms it
constexpr int Confirmed = 6; // confirmed by a manager: finished

constexpr bool isValid(int status)
{
    return status >= Started && status <= Confirmed;
}

} // namespace OrderStatus
