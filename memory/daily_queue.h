// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memory/level_questions.h"
#include "memory/memory_state.h"

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QStringList>

#include <optional>

struct QueueOptions {
    int newPerDay = 20;    // new questions a day the user asked for
    QStringList chapters;  // chosen chapter codes; empty takes every question
    QDate examDate;        // invalid when none is set
    // When set, only these identifiers (the favourites), due and new alike;
    // an empty set is an empty queue.
    std::optional<QSet<QString>> only;
};

// Today's review for one level.
struct DailyQueue {
    QStringList due;     // learning and relearning first (earliest due first), then
                         // review questions by lowest retrievability
    QStringList fresh;   // new questions still allowed today, in bank order
    int done = 0;        // answers given today to questions of the queue's scope
    int newToday = 0;    // questions answered for the first time today
    int newPerDay = 0;   // the limit in force: the user's, or what the exam date needs
    int newForExam = 0;  // new a day so that all are seen a week before the exam; 0 without a date
    QDateTime nextDue;   // when the next question falls due, once due is empty; else invalid

    // The next question to ask, or empty text when the queue is empty.
    QString head() const;
    bool empty() const { return due.isEmpty() && fresh.isEmpty(); }
};

namespace zoma {

// The queue at now (local time decides what "today" is): learning and
// relearning questions due by now, review questions due today, and new
// questions up to the day's limit less those already introduced today.
DailyQueue dailyQueue(const QList<LevelQuestion>& level, const MemoryState& memory,
                      const QueueOptions& options, const QDateTime& now,
                      const FsrsParams& params = {});

// New questions a day so that every unseen question has been seen a week
// before the exam: the unseen (and those first seen today) spread over the
// days from today to then; all of them when that day has come.
int newPerDayForExam(int unseen, const QDate& today, const QDate& examDate);

// The latest due time the exam date allows, for FsrsParams::latestDue: the
// start of the day before the exam (local time), so that every question
// learnt comes up once more before it; invalid without a date.
QDateTime latestDueFor(const QDate& examDate);

}  // namespace zoma
