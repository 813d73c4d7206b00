#pragma once

#include "core/navigation.h"

// The one place that knows every screen class: builds the screen of a kind.
// The program hands it to Navigation at start.
std::unique_ptr<QDialog> createScreen(ScreenKind kind);
