#pragma once

class QTableView;

// Keeps a table's columns as wide as what they hold, measured in the font
// the table really shows: every column covers its header and its cells,
// the widest column takes the width left over, and when the table is too
// narrow that column gives way, its text wrapping onto taller rows. A cell
// whose text is still cut shows it whole as a tooltip.
//
// Call it once the model is set; the columns follow later rows, a new font
// and every resize by themselves (a resize once the event loop runs). A screen that replaces the model calls it
// again after setModel().
void fitColumnsToContents(QTableView *table);
