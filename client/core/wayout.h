#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QDialog;

// Esc and the window's close button end a screen the way its own Back,
// Cancel or Close button does, with the question that button asks, so that
// nothing ends a screen past what it must do on leaving (a timed sheet ends
// its timing). A screen without such a button keeps Qt's own Esc and close.
class WayOut : public QObject
{
public:
    // Watches the screen for as long as it lives.
    static void watch(QDialog *screen);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WayOut(QDialog *screen, QAbstractButton *button);

    QPointer<QAbstractButton> button;
};
