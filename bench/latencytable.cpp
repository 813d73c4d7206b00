#include "latencytable.h"

#include <QTextStream>

#include <algorithm>
#include <cmath>

double percentileMs(QVector<qint64> &microseconds, double q)
{
    if (microseconds.isEmpty())
        return 0;
    std::sort(microseconds.begin(), microseconds.end());
    const int index = std::min(int(microseconds.size()) - 1, int(std::ceil(q * microseconds.size())) - 1);
    return double(microseconds.at(std::max(index, 0))) / 1000.0;
}

void LatencyTable::record(const QString &command, qint64 sentMs, qint64 microseconds)
{
    samples[command].append({sentMs, microseconds});
}

void LatencyTable::recordError(const QString &command, const QString &what)
{
    if (errors[command]++ == 0)
        firstError[command] = what;
}

void LatencyTable::clear()
{
    samples.clear();
    errors.clear();
    firstError.clear();
}

QStringList LatencyTable::commands() const
{
    QStringList names = samples.keys();
    for (auto error = errors.cbegin(); error != errors.cend(); ++error)
        if (!names.contains(error.key()))
            names.append(error.key());
    names.sort();
    return names;
}

QVector<qint64> LatencyTable::latencies(const QString &command, qint64 fromMs, qint64 toMs) const
{
    QVector<qint64> values;
    for (const Sample &sample : samples.value(command))
        if (sample.sentMs >= fromMs && (toMs < 0 || sample.sentMs <= toMs))
            values.append(sample.microseconds);
    return values;
}

QVector<qint64> LatencyTable::allLatencies(const QString &except, qint64 fromMs, qint64 toMs) const
{
    QVector<qint64> values;
    for (const QString &command : samples.keys())
        if (command != except)
            values += latencies(command, fromMs, toMs);
    return values;
}

int LatencyTable::errorCount() const
{
    int count = 0;
    for (int errorsOfOne : errors)
        count += errorsOfOne;
    return count;
}

double LatencyTable::requestsPerSecond(double seconds) const
{
    return double(allLatencies(QStringLiteral("Login")).size()) / seconds;
}

void LatencyTable::print(QTextStream &out, const QString &title, double seconds, const LatencyTable *share,
                         const QString &shareName) const
{
    const auto line = [&out](const QString &name, QVector<qint64> values, double rate) {
        out << QStringLiteral("  %1 %2 %3 %4 %5 %6 ")
                   .arg(name, -24)
                   .arg(values.size(), 8)
                   .arg(rate, 9, 'f', 0)
                   .arg(percentileMs(values, 0.5), 8, 'f', 2)
                   .arg(percentileMs(values, 0.99), 8, 'f', 2)
                   .arg(percentileMs(values, 0.999), 8, 'f', 2);
    };
    out << title << "\n";
    out << QStringLiteral("  %1 %2 %3 %4 %5 %6 errors\n")
               .arg(QStringLiteral("command"), -24)
               .arg(QStringLiteral("count"), 8)
               .arg(QStringLiteral("req/s"), 9)
               .arg(QStringLiteral("p50 ms"), 8)
               .arg(QStringLiteral("p99 ms"), 8)
               .arg(QStringLiteral("p99.9 ms"), 8);
    for (const QString &command : commands()) {
        const QVector<qint64> values = latencies(command);
        line(command, values, double(values.size()) / seconds);
        const int errorsOfOne = errors.value(command);
        out << errorsOfOne;
        if (errorsOfOne > 0)
            out << " (first: " << firstError.value(command) << ")";
        out << "\n";
    }
    if (share) {
        QVector<qint64> ofShare = share->allLatencies(QStringLiteral("Login"));
        out << QStringLiteral("  %1 (Login aside): %2 requests/s, p99 %3 ms\n")
                   .arg(shareName)
                   .arg(share->requestsPerSecond(seconds), 0, 'f', 0)
                   .arg(percentileMs(ofShare, 0.99), 0, 'f', 2);
    }
    QVector<qint64> all = allLatencies(QStringLiteral("Login"));
    out << QStringLiteral("  overall (Login aside): %1 requests/s, p99 %2 ms, %3 errors\n")
               .arg(requestsPerSecond(seconds), 0, 'f', 0)
               .arg(percentileMs(all, 0.99), 0, 'f', 2)
               .arg(errorCount());
}
