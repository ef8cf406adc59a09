// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/memory_state.h"

void MemoryState::replay(const QList<ReviewEntry>& entries, const QString& edition,
                         const FsrsParams& params, const QDateTime& latest) {
    m_questions.clear();
    // In UTC once: each comparison with a local time asks the system for the
    // zone again (a stat of /etc/localtime), a million times over a large log.
    const QDateTime cap = latest.isValid() ? latest.toUTC() : latest;
    for (const ReviewEntry& entry : entries)
        if (entry.edition == edition) apply(entry, params, cap);
}

void MemoryState::apply(const ReviewEntry& entry, const FsrsParams& params,
                        const QDateTime& latest) {
    QuestionMemory& memory = m_questions[entry.id];
    const bool ahead = latest.isValid() && entry.when > latest;
    memory.card =
        zoma::next(memory.card, entry.rating, ahead ? latest : entry.when, params, entry.id);
    memory.lastChosen = entry.chosen;
    memory.lastCorrect = entry.correct;
    ++(entry.correct ? memory.right : memory.wrong);
    // The time the scheduler took, so the list stays in order when the clock
    // went back; an answer dated on a later day belongs to no day yet.
    if (!ahead || entry.when.toLocalTime().date() == latest.toLocalTime().date())
        memory.answeredAt.append(memory.card.lastReview.toSecsSinceEpoch());
}

const QuestionMemory* MemoryState::find(const QString& id) const {
    const auto it = m_questions.constFind(id);
    return it == m_questions.cend() ? nullptr : &*it;
}
