#pragma once

// Lengths the server accepts, in UTF-16 code units, checked before anything
// is looked up or stored.
namespace Limits {

constexpr int NameLength = 50;   // user names, first and last names, departments
constexpr int FreeTextLength = 512; // materials and descriptions

} // namespace Limits
