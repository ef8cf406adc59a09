// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memory/review_log.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>

// The FSRS-6 scheduler of the open-spaced-repetition project, as its
// reference implementation ts-fsrs 5 computes it (short-term steps on).
// tests/memory/fsrs_reference.tsv holds the scheduler to it.

enum class CardState { New = 0, Learning = 1, Review = 2, Relearning = 3 };

// What the scheduler knows of one question. Times are in UTC.
struct Card {
    CardState state = CardState::New;
    double stability = 0;   // days until recall falls to 90 %
    double difficulty = 0;  // 1 to 10
    int step = 0;           // the learning or relearning step it is on
    int reps = 0;           // reviews so far
    int lapses = 0;         // times forgotten once learnt
    int scheduledDays = 0;  // the interval given at the last review, 0 for a step
    QDateTime due;          // invalid while new
    QDateTime lastReview;   // invalid while new

    friend bool operator==(const Card&, const Card&) = default;
};

struct FsrsParams {
    static constexpr double MinRetention = 0.70;
    static constexpr double MaxRetention = 0.97;

    // w0..w20, the published defaults of FSRS-6.
    std::array<double, 21> w = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    double retention = 0.9;              // desired retention, kept within the bounds above
    QList<int> learningSteps = {1, 10};  // minutes
    QList<int> relearningSteps = {10};   // minutes
    int maximumInterval = 36500;         // days
    bool fuzz = true;
    // When valid, no review falls due after it (the exam date); ignored once passed.
    QDateTime latestDue;

    friend bool operator==(const FsrsParams&, const FsrsParams&) = default;
};

namespace zoma {

// The card after one review at now. Pure: the same card, rating, time,
// parameters and key always give the same card. The interval fuzz is seeded
// from fuzzKey (the question's identifier) and the review's count, as
// ts-fsrs seeds it with a card identifier, so a log replays to one schedule.
// A time before the card's last review counts as that time.
Card next(const Card& card, Rating rating, const QDateTime& now, const FsrsParams& params,
          QStringView fuzzKey);

// The chance of recalling the card at a time (days counted with their
// fractions): 0 for a new card.
double retrievability(const Card& card, const QDateTime& at, const FsrsParams& params = {});

// "新", "学习中", "复习", "重学": the state as the windows and the progress file name it.
QString stateName(CardState state);

}  // namespace zoma
