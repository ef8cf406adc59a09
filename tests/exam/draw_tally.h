// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_session.h"
#include "tests/support/fairness.h"

#include <algorithm>

// The exam draw's outcomes: a question in a slot of its kind (the n-th single
// or multiple of the paper), and an answer under a shown letter.
namespace draw_tally {

inline QString slot(const ExamQuestion& q, int n) {
    return QStringLiteral("%1 as %2 %3")
        .arg(q.id, q.multiple() ? QStringLiteral("multiple") : QStringLiteral("single"))
        .arg(n);
}

inline QString answer(int answer, int letter) {
    return QStringLiteral("answer %1 under %2").arg(answer).arg(QChar(u'A' + letter));
}

// What `draws` fair draws by the rule give: every question of a kind equally
// often in each slot its kind fills, every answer equally often under each letter.
inline void expect(Tally& tally, const QList<ExamQuestion>& paper, const ExamRule& rule,
                   int draws) {
    const PaperKinds kinds = zoma::paperKinds(paper);
    const int singles = std::min(rule.singles, kinds.singles);
    const int multiples = std::min(rule.multiples, kinds.multiples);
    for (const ExamQuestion& q : paper) {
        const int pool = q.multiple() ? kinds.multiples : kinds.singles;
        for (int n = 0; n < (q.multiple() ? multiples : singles); ++n)
            tally.expect(slot(q, n), double(draws) / pool);
    }
    for (int a = 0; a < 4; ++a) {
        for (int letter = 0; letter < 4; ++letter)
            tally.expect(answer(a, letter), double(draws) * (singles + multiples) / 4);
    }
}

inline void count(Tally& tally, const QList<ShownQuestion>& drawn) {
    int singles = 0, multiples = 0;
    for (const ShownQuestion& s : drawn) {
        tally.count(slot(s.question, s.question.multiple() ? multiples++ : singles++));
        for (int letter = 0; letter < 4; ++letter) tally.count(answer(s.order[letter], letter));
    }
}

}  // namespace draw_tally
