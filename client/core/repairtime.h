#pragma once

#include <QPair>
#include <QString>

class QComboBox;

// The time of a repair line as the entry screens show it: hours and
// minutes chosen in two combo boxes.

// The hours and minutes of a line's time "h:m": the hours are everything
// before the first ":", the minutes every later character but ":".
QPair<QString, QString> splitRepairTime(const QString &time);

// Makes current the item with this whole text, ignoring case; no current
// item when there is none.
void selectItemText(QComboBox *comboBox, const QString &text);
