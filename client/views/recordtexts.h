#pragma once

#include <QString>

// What the Delete button of a finished order's record says: deleting from
// a record is switched off.
inline QString deletionSwitchedOffText()
{
    return QStringLiteral("This function has been disabled to prevent problems for development.\n"
                          "This function has been tested and is working and will be enabled on the final product");
}
