#include "screensizedbox.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

const QWidget *screenWindow(const QWidget *screen)
{
    return screen ? screen->window() : QApplication::activeWindow();
}

int halfWidth(const QWidget *window)
{
    return window->width() / 2;
}

} // namespace

void sizeLikeScreen(QMessageBox &box, const QWidget *screen)
{
    const QWidget *window = screenWindow(screen);
    if (!window)
        return;
    box.setFont(window->font());
    // A message box fixes its own size from its layout when shown; a row
    // as wide as half the screen is what makes it keep that width.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(halfWidth(window), 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                      0, 1, grid->columnCount());
}

void sizeLikeScreen(QInputDialog &box, const QWidget *screen)
{
    const QWidget *window = screenWindow(screen);
    if (!window)
        return;
    box.setFont(window->font());
    box.setMinimumWidth(halfWidth(window));
}
