#include "screenwatcher.h"

#include <QApplication>
#include <QWidget>

ScreenWatcher::ScreenWatcher()
{
    connect(&poll, &QTimer::timeout, this, &ScreenWatcher::look);
    poll.start(10);
}

void ScreenWatcher::onScreen(const QString &className, Action action, Condition ready)
{
    plans.insert(className, {std::move(action), std::move(ready)});
}

void ScreenWatcher::closeScreen(const QString &className)
{
    onScreen(className, [](QWidget *screen) { screen->close(); });
}

// An action may run a nested event loop (a modal screen of its own); the
// watcher keeps looking from inside it.
void ScreenWatcher::look()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        const QString className = QString::fromLatin1(widget->metaObject()->className());
        if (!widget->isVisible() || !plans.contains(className) || handled.contains(widget))
            continue;
        const Plan plan = plans.value(className);
        if (plan.ready && !plan.ready(widget))
            continue;
        handled << widget;
        appeared << className;
        plan.action(widget);
    }
    handled.removeAll(QPointer<QWidget>());
}
