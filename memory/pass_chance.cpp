// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/pass_chance.h"

#include <algorithm>
#include <vector>

double zoma::answerChance(double r, bool multiple) {
    const double guess = multiple ? 1.0 / 15 : 1.0 / 4;
    return r + (1 - r) * guess;
}

// g[j][s]: over the j-subsets of the items so far, the average chance of s
// right. Adding item i + 1 mixes the subsets without it and those with it in
// the ratio of their counts, (i + 1 − j) : j, so every value stays a
// probability and nothing overflows however large the pool.
QList<double> zoma::drawDistribution(const QList<double>& chances, int k) {
    const int n = int(chances.size());
    k = std::clamp(k, 0, n);
    const int width = k + 1;
    std::vector<double> g(size_t(width) * width, 0.0);
    auto at = [&g, width](int j, int s) -> double& { return g[size_t(j) * width + s]; };
    at(0, 0) = 1;
    for (int i = 0; i < n; ++i) {
        const double p = chances[i];
        const double total = i + 1;
        for (int j = std::min(i + 1, k); j >= 1; --j) {
            const double keep = (total - j) / total;
            const double take = j / total;
            for (int s = j; s >= 0; --s) {
                const double with =
                    (s > 0 ? p * at(j - 1, s - 1) : 0.0) + (s < j ? (1 - p) * at(j - 1, s) : 0.0);
                at(j, s) = keep * at(j, s) + take * with;
            }
        }
    }
    QList<double> distribution(width);
    for (int s = 0; s <= k; ++s) distribution[s] = at(k, s);
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
    for (const LevelQuestion& q : level) {
        const QuestionMemory* m = memory.find(q.id);
        const double r = m ? zoma::retrievability(m->card, at, params) : 0;
        (q.multiple ? multiples : singles).append(zoma::answerChance(r, q.multiple));
    }
    return zoma::passChance(singles, multiples, singlesDrawn, multiplesDrawn, passMark);
}
