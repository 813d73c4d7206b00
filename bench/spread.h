#pragma once

#include <QVector>

#include <algorithm>

// How repeated measurements of one thing spread: on a machine whose pace
// moves within minutes, the median and the range say more than one run.
struct Spread
{
    double lowest = 0;
    double median = 0; // of an even count, the mean of the middle two
    double highest = 0;

    static Spread of(QVector<double> values)
    {
        Spread spread;
        if (values.isEmpty())
            return spread;
        std::sort(values.begin(), values.end());
        const int middle = values.size() / 2;
        spread.lowest = values.first();
        spread.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
        spread.highest = values.last();
        return spread;
    }
};
