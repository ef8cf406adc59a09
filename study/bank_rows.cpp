// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/bank_rows.h"

#include "bank/answer_key.h"
#include "exam/exam_paper.h"
#include "study/question_filter.h"

#include <QSet>

namespace zoma {

BankRows bankRows(const QuestionBank& bank) {
    BankRows result;
    bool keys = false;
    QSet<int> seen;
    result.rows.reserve(bank.PaperCount);
    for (int k = 0; k < bank.PaperCount; ++k) {
        const std::optional<int> q = questionNumber(bank.PaperIds.view(k));
        if (!q || seen.contains(*q)) continue;
        if (bank.BankId.view(*q).isEmpty() || bank.BankQuestion.view(*q).isEmpty()) continue;
        seen.insert(*q);
        keys = keys || hasKey(bank, *q);
        QString text;
        text.reserve(bank.BankId.view(*q).size() + bank.Label.view(*q).size() +
                     bank.BankQuestion.view(*q).size() + 200);
        text.append(bank.BankId.view(*q)).append(u'\n').append(bank.Label.view(*q));
        text.append(u'\n').append(bank.BankQuestion.view(*q));
        for (const QStringView line : answerLines(bank, *q, false)) {
            // Without the [A] tag, so that "a]" or "[b" finds nothing by accident.
            const bool tagged = line.size() >= 3 && line[0] == u'[' && line[2] == u']';
            text.append(u'\n').append(tagged ? line.mid(3) : line);
        }
        result.rows.append({*q, foldForSearch(text)});
    }
    result.edition = editionKey(keys ? Edition::Y2025 : Edition::Earlier);
    return result;
}

QMap<QString, int> chapterCounts(const QuestionBank& bank, const QList<BankRow>& rows) {
    QMap<QString, int> counts;
    for (const BankRow& row : rows) {
        const QStringView code = bank.Category.view(row.number);
        if (code.isEmpty()) continue;
        for (qsizetype dot = code.indexOf(u'.'); dot >= 0; dot = code.indexOf(u'.', dot + 1)) {
            ++counts[code.left(dot).toString()];
        }
        ++counts[code.toString()];
    }
    return counts;
}

}  // namespace zoma
