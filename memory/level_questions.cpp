// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/level_questions.h"

#include <QSet>

QList<LevelQuestion> zoma::levelQuestions(const QuestionBank& bank) {
    QList<LevelQuestion> level;
    level.reserve(bank.PaperCount);
    QSet<int> seen;
    for (int i = 0; i < bank.PaperCount; ++i) {
        const std::optional<int> number = zoma::questionNumber(bank.PaperIds.view(i));
        if (!number || seen.contains(*number)) continue;
        if (bank.BankId.view(*number).isEmpty() || bank.BankQuestion.view(*number).isEmpty())
            continue;
        seen.insert(*number);
        level.append({bank.BankId.value(*number), bank.Label.value(*number),
                      bank.Category.value(*number), bank.Keys.view(*number).size() > 1});
    }
    return level;
}

bool zoma::inChapters(const QString& chapter, const QStringList& chosen) {
    if (chosen.isEmpty()) return true;
    for (const QString& code : chosen) {
        if (chapter == code) return true;
        if (chapter.size() > code.size() && chapter.startsWith(code) &&
            chapter[code.size()] == u'.')
            return true;
    }
    return false;
}
