// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memory/level_questions.h"
#include "memory/memory_state.h"

#include <QDateTime>
#include <QList>

// The chance of passing an exam drawn from the level.
struct PassChance {
    double expectedScore = 0;  // expected right answers
    double probability = 0;    // chance of at least the pass mark
};

namespace zoma {

// The chance of answering right: recalled (retrievability r, 0 for a
// question never seen) or, failing that, guessed: 1/4 for a single answer,
// 1/15 for a multiple answer (any non-empty set of four letters).
double answerChance(double r, bool multiple);

// Exact, for a paper of the given numbers of singles and multiples drawn
// without repetition from the pools, each question right with its own
// chance. A pool smaller than its draw gives all it has.
PassChance passChance(const QList<double>& singles, const QList<double>& multiples,
                      int singlesDrawn, int multiplesDrawn, int passMark);

// The same for a level at a time: each question's recall then (0 for one
// never answered) as the chance of knowing it, singles and multiples apart.
PassChance levelPassChance(const QList<LevelQuestion>& level, const MemoryState& memory,
                           int singlesDrawn, int multiplesDrawn, int passMark, const QDateTime& at,
                           const FsrsParams& params = {});

// The distribution of right answers in a uniformly drawn k-subset of the
// chances: element j is the probability of exactly j right (size k + 1).
QList<double> drawDistribution(const QList<double>& chances, int k);

}  // namespace zoma
