// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/level_questions.h"

QList<LevelQuestion> zoma::levelQuestions(const QuestionBank&) {
    return {};
}

bool zoma::inChapters(const QString&, const QStringList&) {
    return true;
}
