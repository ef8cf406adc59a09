// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_paper.h"
#include "exam/exam_rules.h"

#include <QList>

#include <array>
#include <functional>
#include <random>

// A question as the exam shows it: its answers in a shuffled order, relabelled
// A to D. Shown letter i holds the question's answer order[i].
struct ShownQuestion {
    ExamQuestion question;
    std::array<quint8, 4> order = {0, 1, 2, 3};
    quint8 correct = 0;  // the correct set in shown letters

    const QString& answer(int shownLetter) const { return question.answers[order[shownLetter]]; }
};

using ExamRandom = std::mt19937;

struct PaperKinds {
    int singles = 0;
    int multiples = 0;
};

namespace zoma {

// The question with its answers shuffled; the key follows its answers.
ShownQuestion shuffled(const ExamQuestion& question, ExamRandom& random);

// Questions drawn from the paper by the rule, without repetition: the singles
// first, then the multiples, each kind in random order. A paper short of a
// kind gives all it has.
QList<ShownQuestion> drawExam(const QList<ExamQuestion>& paper, const ExamRule& rule,
                              ExamRandom& random);

// How many questions of each kind the paper holds.
PaperKinds paperKinds(const QList<ExamQuestion>& paper);

// A question scores only when the chosen set is exactly the correct set.
inline bool scores(quint8 chosen, quint8 correct) {
    return chosen != 0 && chosen == correct;
}

}  // namespace zoma

struct ExamResult {
    int score = 0;
    int count = 0;
    int passMark = 0;
    bool passed = false;
    qint64 secondsUsed = 0;
    QList<bool> right;  // per question
};

// One running exam: the drawn questions, the choices, the marks and the
// clock. The clock gives monotonic milliseconds.
class ExamSession final {
public:
    using Clock = std::function<qint64()>;

    ExamSession(QList<ShownQuestion> questions, int minutes, int passMark, Clock clock);

    int count() const { return int(m_questions.size()); }
    const ShownQuestion& question(int i) const { return m_questions[i]; }
    int current() const { return m_current; }
    void go(int i);
    void move(int step);  // stops at the first and the last question

    // Letter 0..3 of the current question: a single takes it as its one
    // choice, a multiple toggles it.
    void choose(int letter);
    void toggleMark();
    quint8 choice(int i) const { return m_choices[i]; }
    bool marked(int i) const { return m_marks[i]; }
    int unanswered() const;
    // Time spent on question i while it was the current one, until submitted.
    qint64 msOn(int i) const;

    qint64 remainingMs() const;
    bool timeUp() const { return remainingMs() == 0; }

    bool submitted() const { return m_result.has_value(); }
    // Scores the exam once; later calls give the same result.
    const ExamResult& submit();

private:
    QList<ShownQuestion> m_questions;
    QList<quint8> m_choices;
    QList<bool> m_marks;
    QList<qint64> m_spentMs;  // per question, up to m_enteredMs for the current one
    qint64 m_enteredMs = 0;   // when the current question became current
    int m_current = 0;
    int m_passMark = 0;
    qint64 m_durationMs = 0;
    Clock m_clock;
    qint64 m_startMs = 0;
    qint64 m_usedMs = 0;
    std::optional<ExamResult> m_result;
};
