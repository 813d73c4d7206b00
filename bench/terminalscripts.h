#pragma once

#include "loadterminal.h"

#include <memory>

// What the terminals of the load program do, request for request as the
// client's screens do it. Every script but the echo's logs in first, as the
// login screen and the main window do.
namespace TerminalScripts {

// A worker: clocks in, then bin orders (front end and roll off: intake,
// pre-checks, repair sheet with a few lines, final checks) and now and then
// a custom job, six bins to one job as in the shop.
std::unique_ptr<TerminalScript> worker(const QString &user, int firstJob);
// A checker (level 2) in the order review: takes the orders waiting for a
// check of the owners that fall to it (of checkerCount) and passes them.
std::unique_ptr<TerminalScript> checker(const QString &user, int index, int checkerCount);
// A manager (level 3): the finished-orders lists of one worker at a time
// and the clock overview.
std::unique_ptr<TerminalScript> manager(const QString &user);
// Logs in, then sends one command over and over: "GetWork",
// "GetClockStatus", or "ClockIn" alternating with "ClockOut".
std::unique_ptr<TerminalScript> repeating(const QString &user, const QString &command);
// Logs in (unless user is empty) and then stays idle, as a screen left open.
std::unique_ptr<TerminalScript> idle(const QString &user);
// Logs in as a manager and asks for each of the heaviest lists, and each
// read a worker's screens make on every order, once.
constexpr int HeaviestListCount = 22;
std::unique_ptr<TerminalScript> heaviestLists(const QString &user);
// The echo server's small frame, over and over.
std::unique_ptr<TerminalScript> echo();

bool knowsRepeated(const QString &command);

} // namespace TerminalScripts
