// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memory/fsrs.h"
#include "memory/review_log.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// What the log says of one question.
struct QuestionMemory {
    Card card;
    QString lastChosen;        // the letters of the last answer
    bool lastCorrect = false;  // whether the last answer was right
    int right = 0;             // answers right
    int wrong = 0;             // answers wrong
    // Every answer taken on its day, seconds since the epoch, in log order: an
    // answer dated on a later day than the replay's latest time has none.
    QList<qint64> answeredAt;
};

// The memory of every question of one edition, replayed from the log. A
// question the bank no longer has keeps its entry here; callers look up only
// the questions they show.
class MemoryState final {
public:
    // Replays the entries of the edition in log order (the others are
    // skipped). A time earlier than the question's last review counts as that
    // review's time, so a clock set back does not break the schedule. When
    // latest (now) is valid, an answer dated after it counts as given then:
    // an answer cannot be later than now. It counts among that day's answers
    // only when it is dated on that day.
    void replay(const QList<ReviewEntry>& entries, const QString& edition, const FsrsParams& params,
                const QDateTime& latest = {});
    // One more answer, as replay would take it.
    void apply(const ReviewEntry& entry, const FsrsParams& params, const QDateTime& latest = {});

    // The question's memory, or nullptr when it was never answered.
    const QuestionMemory* find(const QString& id) const;
    const QHash<QString, QuestionMemory>& questions() const { return m_questions; }
    void clear() { m_questions.clear(); }

private:
    QHash<QString, QuestionMemory> m_questions;
};
