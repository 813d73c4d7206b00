#pragma once

// The number of files the process may have open, which bounds its
// connections: each one holds a descriptor.
namespace FileLimit {

// Descriptors kept back from connections for the database, the log and
// the listener.
constexpr int Reserve = 64;

// Raises the soft limit to the hard limit and returns the limit now in
// force (or a cautious guess where it cannot be read).
int raiseToHard();

} // namespace FileLimit
