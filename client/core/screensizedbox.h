#pragma once

class QInputDialog;
class QMessageBox;
class QWidget;

// A box is read at the size of the screen it comes from: it takes that
// screen's font and at least half its width, so that its whole text and
// its title bar show. Without a screen the active window stands in.
void sizeLikeScreen(QMessageBox &box, const QWidget *screen);
void sizeLikeScreen(QInputDialog &box, const QWidget *screen);
