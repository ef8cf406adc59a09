// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

// What the practice window, the export and the exam share about a question's
// answers, for both editions.

namespace zoma {

// The line after the answers that names the correct letters: "正确答案：AC".
inline constexpr QStringView kKeyLinePrefix = u"正确答案：";

// The correct letters of question q: its key, or "A" for a question of the
// earlier editions, whose first answer is the correct one.
QString correctLetters(const QuestionBank& bank, int q);

// Whether question q carries its own key (the 2025 edition).
bool hasKey(const QuestionBank& bank, int q);

// The answer lines of question q in letter order: all four, or only the
// correct ones. Views into the store, valid until it is written again.
QVarLengthArray<QStringView, 4> answerLines(const QuestionBank& bank, int q, bool onlyCorrect);

// The picture of a paper entry in the library folder, found without regard to
// letter case; empty when there is none. A 2025 question's picture is its [F]
// name, or else <label>.jpg, then <label>.png (the CSV conversion names them
// so); an earlier question's is <entry>.jpg.
QString picturePath(const QuestionBank& bank, const ProgramFolder& folder, QStringView entry);

}  // namespace zoma
