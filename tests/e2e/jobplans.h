#pragma once

#include <QString>

class QWidget;
class ScreenWatcher;

// What a worker does on each screen of a job, as plans for the screen
// watcher: each acts once its screen appears and is ready.

// The intake takes the proposed bin ID (written to *binId); the pre-check
// finds lids and chains good, the lid rod bad.
void planNewBin(ScreenWatcher &watcher, QString *binId);
// One repair line: the first code of the catalogue, 1:30, with materials.
void planRepairLine(ScreenWatcher &watcher);
// The final checks: both sizes entered, every check ticked, Submit.
void planFinalChecks(ScreenWatcher &watcher);
// The bin sheet: one line added, then Submit, once timing has started.
void planBinSheetWork(ScreenWatcher &watcher);
bool binSheetIsTiming(QWidget *sheet);

// The custom start screen names the job for the customer.
void planCustomJob(ScreenWatcher &watcher, const QString &customer);
// One custom line: a description, materials, 2:15.
void planCustomLine(ScreenWatcher &watcher);
bool customSheetIsTiming(QWidget *sheet);
