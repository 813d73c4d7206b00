#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>

// A screen's widget by the object name its form gives it; the test stops
// when the screen has none of that name and kind.
template<typename Widget = QWidget>
Widget *child(const QWidget *screen, const QString &name)
{
    auto *found = screen->findChild<Widget *>(name);
    if (!found)
        qFatal("%s has no %s", screen->metaObject()->className(), qPrintable(name));
    return found;
}

// Clicks the screen's button as a user would.
inline void press(QWidget *screen, const QString &button)
{
    child<QAbstractButton>(screen, button)->click();
}
inline void press(QWidget &screen, const QString &button)
{
    press(&screen, button);
}
