// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QList>
#include <QString>
#include <QStringList>

// A question of the level as the memory needs it, in bank order.
struct LevelQuestion {
    QString id;
    QString label;    // 2025 edition only
    QString chapter;  // syllabus code such as 1.1.1; 2025 edition only
    bool multiple = false;
};

namespace zoma {

// The questions of the paper read last, in its order: those with an
// identifier and a question text, each once.
QList<LevelQuestion> levelQuestions(const QuestionBank& bank);

// Whether a chapter code falls under one of the chosen codes: "1" and "1.1"
// take "1.1.1", "1.1" does not take "1.10". No codes chosen takes everything.
bool inChapters(const QString& chapter, const QStringList& chosen);

}  // namespace zoma
