// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "exam/exam_paper.h"

#include <QList>
#include <QMap>
#include <QString>

// One question of the level read, as the bank browser lists it: where the
// store keeps it, and its searchable text folded once per level read (a
// cache for the filter, see BENCHMARKS.md; the table itself reads the store).
struct BankRow {
    int number = 0;    // the question's slot in the store
    QString haystack;  // identifier, label, question and answers, folded
};

// The questions of the level read, in paper order.
struct BankRows {
    QString edition;  // zoma::editionKey: "2025" or "2013-2021"
    QList<BankRow> rows;

    bool hasChapters() const { return edition == zoma::editionKey(Edition::Y2025); }
};

namespace zoma {

// The paper read last: every entry that names a question with an identifier
// and a question text, each once.
BankRows bankRows(const QuestionBank& bank);

// Questions per chapter code, counting each one under its code and under
// every parent of it: "1.1.1" adds one to "1", "1.1" and "1.1.1".
QMap<QString, int> chapterCounts(const QuestionBank& bank, const QList<BankRow>& rows);

}  // namespace zoma
