#include "screenwatcher.h"

#include <QApplication>
#include <QDebug>
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

// An action may run a nested event loop (a modal screen of its own). It is
// run from its own queued call, not from the poll, because a timer is never
// delivered again while its own slot runs: the watcher keeps looking.
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
        QTimer::singleShot(0, widget, [action = plan.action, widget]() { action(widget); });
    }
    handled.removeAll(QPointer<QWidget>());
    closeStalled();
}

void ScreenWatcher::closeStalled()
{
    QList<QWidget *> open;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isModal())
            open << widget;
    }
    if (open != modalOpen) {
        modalOpen = open;
        modalSince.start();
    } else if (!open.isEmpty() && modalSince.elapsed() > StalledMs) {
        for (QWidget *screen : open) {
            qWarning() << screen->metaObject()->className() << "stayed open without being closed; closing it";
            screen->close();
        }
        modalOpen.clear();
    }
}
