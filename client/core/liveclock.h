#pragma once

#include <QThread>

// Counts the seconds since its construction and emits them once a second
// as "hh:mm:ss" (modulo 24 hours) while AppState's liveClockRunning holds.
// The sheet that shows the time owns it, clears the flag to stop it, and
// waits for it; destroying a running clock does both.
class LiveClock : public QThread
{
    Q_OBJECT

public:
    explicit LiveClock(QObject *parent);
    ~LiveClock() override;

    // Clears the running flag and waits until the thread has returned.
    void stop();

    static QString elapsedText(quint32 elapsedSeconds);

signals:
    void LiveClockUpdate(const QString &text);

protected:
    void run() override;

private:
    // Whether the flag is still set after up to one second of sleep,
    // looked at often so that a cleared flag ends the thread promptly.
    static bool sleepWhileRunning();

    quint32 startTime;
    quint32 nowTime = 0;
    quint32 elapsedSeconds = 0;
};
