#include "screenwatcher.h"

#include <QApplication>
#include <QWidget>

ScreenWatcher::ScreenWatcher()
{
    connect(&poll, &QTimer::timeout, this, &ScreenWatcher::look);
    poll.start(10);
}

void ScreenWatcher::onScreen(const QString &className, Action action)
{
    actions.insert(className, std::move(action));
}

void ScreenWatcher::closeScreen(const QString &className)
{
    onScreen(className, [](QWidget *screen) { screen->close(); });
}

void ScreenWatcher::look()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        const QString className = QString::fromLatin1(widget->metaObject()->className());
        if (!widget->isVisible() || !actions.contains(className) || handled.contains(widget))
            continue;
        handled << widget;
        appeared << className;
        actions.value(className)(widget);
    }
    handled.removeAll(QPointer<QWidget>());
}
