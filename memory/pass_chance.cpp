// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/pass_chance.h"

#include <algorithm>
#include <vector>

double zoma::answerChance(double r, bool multiple) {
    const double guess = multiple ? 1.0 / 15 : 1.0 / 4;
    return r + (1 - r) * guess;
}

// Each question is right on its own chance, whether drawn or not, so the
// number R right in the whole pool is Poisson-binomial; given R = m, the right
// ones in a uniform k-draw are hypergeometric(n, m, k). Mixing the two costs
// O(n^2 + n*k) where the sum over every subset cost O(n*k^2): a whole pool of
// 2000 drawn froze the window for seconds after each answer (BENCHMARKS.md).
QList<double> zoma::drawDistribution(const QList<double>& chances, int k) {
    const int n = int(chances.size());
    k = std::clamp(k, 0, n);
    // right[m]: the chance of exactly m right in the pool. Each step is a
    // mixture of two distributions, so nothing leaves [0, 1].
    std::vector<double> right(size_t(n) + 1, 0.0);
    right[0] = 1;
    for (int i = 0; i < n; ++i) {
        const double p = chances[i];
        for (int m = i + 1; m >= 1; --m) right[m] = right[m] * (1 - p) + right[m - 1] * p;
        right[0] *= 1 - p;
    }
    QList<double> distribution(k + 1, 0.0);
    std::vector<double> h(size_t(k) + 1);
    // Counts whose chance is below this add less than the rounding of the
    // result; leaving them out makes a large draw ten times cheaper.
    const double negligible = *std::max_element(right.begin(), right.end()) * 1e-20;
    for (int m = 0; m <= n; ++m) {
        if (right[m] <= negligible) continue;
        const int lo = std::max(0, k - (n - m)), hi = std::min(k, m);
        // The hypergeometric weights by the ratio of neighbours, from the mode
        // (the largest, so none overflows) outwards, then made to sum to one:
        // no factorials, and what underflows is too small to matter.
        const int mode = std::clamp(int((double(k) + 1) * (m + 1) / (n + 2)), lo, hi);
        h[mode] = 1;
        double sum = 1;
        for (int s = mode; s < hi; ++s) {
            h[s + 1] = h[s] * (double(m - s) * (k - s)) / (double(s + 1) * (n - m - k + s + 1));
            sum += h[s + 1];
        }
        for (int s = mode; s > lo; --s) {
            h[s - 1] = h[s] * (double(s) * (n - m - k + s)) / (double(m - s + 1) * (k - s + 1));
            sum += h[s - 1];
        }
        const double weight = right[m] / sum;
        for (int s = lo; s <= hi; ++s) distribution[s] += weight * h[s];
    }
    return distribution;
}

PassChance zoma::passChance(const QList<double>& singles, const QList<double>& multiples,
                            int singlesDrawn, int multiplesDrawn, int passMark) {
    const QList<double> a = drawDistribution(singles, singlesDrawn);
    const QList<double> b = drawDistribution(multiples, multiplesDrawn);
    PassChance chance;
    for (qsizetype i = 0; i < a.size(); ++i) {
        for (qsizetype j = 0; j < b.size(); ++j) {
            const double p = a[i] * b[j];
            chance.expectedScore += p * double(i + j);
            if (i + j >= passMark) chance.probability += p;
        }
    }
    chance.probability = std::min(chance.probability, 1.0);
    return chance;
}

PassChance zoma::levelPassChance(const QList<LevelQuestion>& level, const MemoryState& memory,
                                 int singlesDrawn, int multiplesDrawn, int passMark,
                                 const QDateTime& at, const FsrsParams& params) {
    QList<double> singles, multiples;
    const QDateTime when = at.toUTC();  // no look-up of the zone a question
    for (const LevelQuestion& q : level) {
        const QuestionMemory* m = memory.find(q.id);
        const double r = m ? zoma::retrievability(m->card, when, params) : 0;
        (q.multiple ? multiples : singles).append(zoma::answerChance(r, q.multiple));
    }
    return zoma::passChance(singles, multiples, singlesDrawn, multiplesDrawn, passMark);
}
