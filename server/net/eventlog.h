#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

// The server's log of what peers do wrong. The first event of a kind from an
// address in a period is logged at once; the rest are only counted, and the
// counts are logged when the period ends. So a peer that sends thousands of
// bad frames costs a few lines a minute. Network thread only.
class EventLog : public QObject
{
    Q_OBJECT

public:
    explicit EventLog(int periodMs, QObject *parent = nullptr);

    // text says what happened, e.g. "sent a frame with an impossible size".
    void note(const QString &address, const QString &text);

    // Logs the counts of the period so far and starts a new one.
    void summarize();

private:
    QTimer period;
    QMap<QPair<QString, QString>, int> repeats; // (address, text) -> events after the first
};
