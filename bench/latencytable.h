#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class QTextStream;

// The replies one group of terminals received, per command: when each
// request was sent and how long its reply took, and the replies that were
// not the ones the flow expects (errors).
class LatencyTable
{
public:
    struct Sample
    {
        qint64 sentMs = 0; // since the run began
        qint64 microseconds = 0;
    };

    void record(const QString &command, qint64 sentMs, qint64 microseconds);
    void recordError(const QString &command, const QString &what);
    // Forgets everything recorded so far: the measured seconds begin.
    void clear();

    QStringList commands() const;
    QVector<qint64> latencies(const QString &command, qint64 fromMs = 0, qint64 toMs = -1) const;
    // Every command's, or every command's but one.
    QVector<qint64> allLatencies(const QString &except = {}, qint64 fromMs = 0, qint64 toMs = -1) const;
    int errorCount() const;

    // One line per command, then the overall one; rates per the seconds given.
    // A share of the requests (such as the workers' screens) gets a line of
    // its own before the overall one.
    void print(QTextStream &out, const QString &title, double seconds, const LatencyTable *share = nullptr,
               const QString &shareName = {}) const;
    // The overall requests per second, Login left out (it is throttled on purpose).
    double requestsPerSecond(double seconds) const;

private:
    QHash<QString, QVector<Sample>> samples;
    QHash<QString, int> errors;
    QHash<QString, QString> firstError;
};

// The latency at quantile q (0.99 for p99) in milliseconds; sorts values.
double percentileMs(QVector<qint64> &microseconds, double q);
