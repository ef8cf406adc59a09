// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

// How often each outcome of a random draw came out over a run of fixed
// seeds, against how often a fair draw gives it. Each count must lie within
// five standard deviations of its expectation (a fair draw strays that far
// about once in two million cells) and the chi-square sum within five of its
// own: an outcome that never comes out fails, and so does a lean of a few per
// cent spread over many outcomes. The seeds are fixed, so the verdict is too.
class Tally {
public:
    static constexpr double Sigmas = 5;

    // An outcome that a fair draw gives `times` times over the run.
    void expect(const QString& outcome, double times) { m_expected[outcome] += times; }
    void count(const QString& outcome) { ++m_counts[outcome]; }

    // Empty when the counts are what a fair draw gives; else what is not.
    QString unfairness() const {
        QStringList faults;
        double chiSquare = 0;
        for (auto it = m_expected.cbegin(); it != m_expected.cend(); ++it) {
            const double expected = it.value();
            const qint64 seen = m_counts.value(it.key());
            chiSquare += (seen - expected) * (seen - expected) / expected;
            if (seen == 0) {
                faults << QStringLiteral("%1 never came out (expected %2)")
                              .arg(it.key())
                              .arg(expected);
            } else if (std::abs(seen - expected) > Sigmas * std::sqrt(expected)) {
                faults << QStringLiteral("%1 came out %2 times, expected %3")
                              .arg(it.key())
                              .arg(seen)
                              .arg(expected);
            }
        }
        for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
            if (!m_expected.contains(it.key()))
                faults << QStringLiteral("%1 came out, which it cannot").arg(it.key());
        }
        const double freedom = std::max<double>(1, m_expected.size() - 1);
        if (chiSquare > freedom + Sigmas * std::sqrt(2 * freedom)) {
            faults << QStringLiteral("chi-square %1 over %2 outcomes")
                          .arg(chiSquare)
                          .arg(m_expected.size());
        }
        faults.sort();
        return faults.mid(0, 8).join(QStringLiteral("; "));
    }

private:
    QHash<QString, double> m_expected;
    QHash<QString, qint64> m_counts;
};
