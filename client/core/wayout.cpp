#include "wayout.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>

namespace {

// The buttons that leave a screen, the first one found being its way out.
const char *const WayOutButtons[] = {"pushButton_Back", "pushButton_Cancel", "pushButton_Close"};

bool isEscape(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
}

// Only the window system's close is the user's: the screen's own close()
// is how its way out ends it.
bool isWindowClose(const QEvent *event)
{
    return event->type() == QEvent::Close && event->spontaneous();
}

} // namespace

void WayOut::watch(QDialog *screen)
{
    for (const char *name : WayOutButtons) {
        if (auto *button = screen->findChild<QAbstractButton *>(QLatin1String(name))) {
            screen->installEventFilter(new WayOut(screen, button));
            return;
        }
    }
}

WayOut::WayOut(QDialog *screen, QAbstractButton *button)
    : QObject(screen)
    , button(button)
{ }

bool WayOut::eventFilter(QObject *watched, QEvent *event)
{
    if (!isEscape(event) && !isWindowClose(event))
        return QObject::eventFilter(watched, event);
    // The screen stays until its way out ends it; a disabled way out is no way out yet.
    event->ignore();
    if (button && button->isEnabled())
        button->click();
    return true;
}
