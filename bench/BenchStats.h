#pragma once

#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>

// min / median / max of a series of runs, printed as a table row.
struct BenchStats
{
    QList<double> samples;

    void add(double value) { samples.append(value); }
    double min() const { return *std::min_element(samples.begin(), samples.end()); }
    double max() const { return *std::max_element(samples.begin(), samples.end()); }
    double percentile(double p) const
    {
        QList<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        const qsizetype i = qsizetype(p * double(sorted.size() - 1) + 0.5);
        return sorted[qBound<qsizetype>(0, i, sorted.size() - 1)];
    }
    double median() const { return percentile(0.5); }
};

inline void printHeader(const char *title, const char *unit)
{
    std::printf("\n### %s\n\n| case | min (%s) | median (%s) | max (%s) |\n|---|---|---|---|\n",
                title, unit, unit, unit);
}

// A case that did not run prints no row.
inline void printRow(const QString &name, const BenchStats &s)
{
    if (s.samples.isEmpty())
        return;
    std::printf("| %s | %.3f | %.3f | %.3f |\n", qPrintable(name), s.min(), s.median(), s.max());
    std::fflush(stdout);
}
