#include "eventlog.h"

#include <QDebug>

EventLog::EventLog(int periodMs, QObject *parent)
    : QObject(parent)
{
    period.setInterval(periodMs);
    connect(&period, &QTimer::timeout, this, &EventLog::summarize);
}

void EventLog::note(const QString &address, const QString &text)
{
    const auto key = qMakePair(address, text);
    const auto seen = repeats.find(key);
    if (seen != repeats.end()) {
        ++*seen;
        return;
    }
    repeats.insert(key, 0);
    qInfo().noquote() << address << text;
    if (!period.isActive())
        period.start();
}

void EventLog::summarize()
{
    for (auto event = repeats.cbegin(); event != repeats.cend(); ++event) {
        if (event.value() > 0)
            qInfo().noquote() << event.key().first << event.key().second << "again" << event.value() << "times";
    }
    repeats.clear();
    period.stop();
}
