#pragma once

#include <QDialog>

#include <functional>
#include <memory>

// Every screen that another screen opens, by what it is for.
enum class ScreenKind {
    BinIntake,
    PreCheck,
    BinRepairSheet,
    BinRepairLine,
    FinalChecks,
    ContinueOrder,
    CustomJobStart,
    CustomJobSheet,
    CustomRepairLine,
    ManagementPanel,
    OrderReview,
    // Time keeping
    ClockOverview,
    TimeStampBrowser,
    TimeStampEditor,
    // Finished orders
    FinishedOrders,
    BinOrderRecord,
    CustomOrderRecord,
    // Shop maintenance
    RepairCodeList,
    RepairCodeEditor,
    UserAdmin,
    Departments,
};

// Screens open each other by kind only: the program sets the one factory
// that knows every screen class, so no group of screens depends on another.
namespace Navigation {

using Factory = std::function<std::unique_ptr<QDialog>(ScreenKind kind)>;

void setFactory(Factory factory);

// The screen of this kind, built by the factory; nothing without one. Esc
// and its window's close button take the screen's own way out (WayOut).
std::unique_ptr<QDialog> create(ScreenKind kind);

// Builds the screen of this kind and runs it modally until it closes.
void run(ScreenKind kind);

// How many screens have been built so far: what the server holds may have
// changed since a count was taken when it has grown.
quint64 screensCreated();

} // namespace Navigation
