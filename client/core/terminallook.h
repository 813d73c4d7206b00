#pragma once

// How every screen reads on a shop-floor terminal, where people work with
// gloves: check boxes and radio buttons as large as a line of their
// screen's font, and a group box that holds only ticks ticks the one nearest
// to wherever it is pressed. Applied once to the whole program; screens
// need not do anything for it.
namespace TerminalLook {

void apply();

} // namespace TerminalLook
