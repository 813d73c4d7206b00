#pragma once

// What a user may do. Sent as decimal text.
namespace PermissionLevel {

constexpr int None = 0; // answered for unknown or deactivated users
constexpr int Standard = 1; // shop-floor work only
constexpr int Management = 2; // also reviews orders
constexpr int Office = 3; // also the management panel

constexpr bool isValid(int level)
{
    return level >= Standard && level <= Office;
}

} // namespace PermissionLevel
