// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/notebook.h"
#include "memory/memory_state.h"
#include "study/bank_rows.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>

// What the study pages know of the user's answers: the memory of a question
// of the level's edition by its identifier, or nullptr when it was never
// answered. The study window hands over its MemoryState's find().
using MemoryLookup = std::function<const QuestionMemory*(const QString& id)>;

// A question's standing, as the progress map colours it.
enum class StudyState { New, Learning, Known, Lapsed };

struct QuestionStanding {
    StudyState state = StudyState::New;
    double retrievability = 0;  // for Known: the chance of recall now
};

// Questions of one group (a chapter, a label prefix) by standing.
struct GroupCounts {
    QString name;
    int fresh = 0;
    int learning = 0;  // learning and lapsed
    int known = 0;
};

struct ScorePoint {
    QDateTime when;
    int score = 0;
    int count = 0;
    bool passed = false;
};

struct WrongQuestion {
    QString id;
    int wrong = 0;
};

namespace zoma {

// Learning steps are learning, review is known, relearning is lapsed.
QuestionStanding standing(const QuestionMemory* memory, const QDateTime& now);

// The group of a question on the progress page: its top chapter ("3") in the
// 2025 edition, else its identifier's letters with the hundreds ("LK00xx").
QString groupOf(const QuestionBank& bank, int number, bool chapters);

QList<GroupCounts> groupCounts(const QuestionBank& bank, const BankRows& rows,
                               const MemoryLookup& memory, const QDateTime& now);

// The exams of the level and edition, oldest first.
QList<ScorePoint> scorePoints(const QList<ExamHistory::Line>& history, const QString& level,
                              const QString& edition);

// Answers to questions of the level per local day, over the days days up to today.
QMap<QDate, int> answersPerDay(const QuestionBank& bank, const BankRows& rows,
                               const MemoryLookup& memory, const QDate& today, int days);

// The questions of the level answered wrongly most often, most first, ties
// in bank order; none that was never answered wrongly.
QList<WrongQuestion> mostWrong(const QuestionBank& bank, const BankRows& rows,
                               const MemoryLookup& memory, int count);

}  // namespace zoma
