// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/exam_session.h"

#include <algorithm>

namespace {

// A uniform index below n, the same on every platform for one seed (the
// standard distributions are not). The multiply-and-shift gives some indices
// one 32-bit value more than others; the few values that cause it are drawn
// again, so that every index is exactly as likely.
int below(int n, ExamRandom& random) {
    quint64 product = quint64(random()) * quint64(n);
    if (quint32(product) < quint32(n)) {
        const quint32 excess = quint32(-quint32(n)) % quint32(n);  // 2^32 mod n
        while (quint32(product) < excess) product = quint64(random()) * quint64(n);
    }
    return int(product >> 32);
}

// The first `take` of the indices, drawn without repetition.
QList<int> pick(QList<int> indices, int take, ExamRandom& random) {
    take = std::clamp(take, 0, int(indices.size()));
    for (int i = 0; i < take; ++i)
        std::swap(indices[i], indices[i + below(int(indices.size()) - i, random)]);
    indices.resize(take);
    return indices;
}

}  // namespace

namespace zoma {

ShownQuestion shuffled(const ExamQuestion& question, ExamRandom& random) {
    ShownQuestion shown;
    shown.question = question;
    for (int i = 3; i > 0; --i) std::swap(shown.order[i], shown.order[below(i + 1, random)]);
    for (int i = 0; i < 4; ++i) {
        if (question.correct & (1u << shown.order[i])) shown.correct |= quint8(1u << i);
    }
    return shown;
}

PaperKinds paperKinds(const QList<ExamQuestion>& paper) {
    PaperKinds kinds;
    for (const ExamQuestion& q : paper) ++(q.multiple() ? kinds.multiples : kinds.singles);
    return kinds;
}

QList<ShownQuestion> drawExam(const QList<ExamQuestion>& paper, const ExamRule& rule,
                              ExamRandom& random) {
    QList<int> singles, multiples;
    for (int i = 0; i < paper.size(); ++i) (paper[i].multiple() ? multiples : singles).append(i);
    QList<ShownQuestion> drawn;
    for (const int i : pick(singles, rule.singles, random))
        drawn.append(shuffled(paper[i], random));
    for (const int i : pick(multiples, rule.multiples, random))
        drawn.append(shuffled(paper[i], random));
    return drawn;
}

}  // namespace zoma

ExamSession::ExamSession(QList<ShownQuestion> questions, int minutes, int passMark, Clock clock)
    : m_questions(std::move(questions)),
      m_choices(m_questions.size(), 0),
      m_marks(m_questions.size(), false),
      m_spentMs(m_questions.size(), 0),
      m_passMark(passMark),
      m_durationMs(qint64(std::max(minutes, 0)) * 60'000),
      m_clock(std::move(clock)),
      m_startMs(m_clock()) {
    m_enteredMs = m_startMs;
}

void ExamSession::go(int i) {
    if (i < 0 || i >= count()) return;
    if (!submitted()) {
        const qint64 now = m_clock();
        m_spentMs[m_current] += std::max<qint64>(now - m_enteredMs, 0);
        m_enteredMs = now;
    }
    m_current = i;
}

qint64 ExamSession::msOn(int i) const {
    if (i < 0 || i >= count()) return 0;
    if (i == m_current && !submitted())
        return m_spentMs[i] + std::max<qint64>(m_clock() - m_enteredMs, 0);
    return m_spentMs[i];
}

void ExamSession::move(int step) {
    go(std::clamp(m_current + step, 0, std::max(count() - 1, 0)));
}

void ExamSession::choose(int letter) {
    if (submitted() || letter < 0 || letter > 3 || count() == 0) return;
    const quint8 bit = quint8(1u << letter);
    quint8& chosen = m_choices[m_current];
    chosen = m_questions[m_current].question.multiple() ? quint8(chosen ^ bit) : bit;
}

void ExamSession::toggleMark() {
    if (!submitted() && count() > 0) m_marks[m_current] = !m_marks[m_current];
}

int ExamSession::unanswered() const {
    return int(std::count(m_choices.begin(), m_choices.end(), 0));
}

qint64 ExamSession::remainingMs() const {
    if (m_result) return m_durationMs - m_usedMs;
    return std::clamp<qint64>(m_durationMs - (m_clock() - m_startMs), 0, m_durationMs);
}

const ExamResult& ExamSession::submit() {
    if (m_result) return *m_result;
    ExamResult result;
    result.count = count();
    result.passMark = std::min(m_passMark, count());
    const qint64 now = m_clock();
    if (count() > 0) m_spentMs[m_current] += std::max<qint64>(now - m_enteredMs, 0);
    m_usedMs = std::clamp<qint64>(now - m_startMs, 0, m_durationMs);
    result.secondsUsed = (m_usedMs + 500) / 1000;
    for (int i = 0; i < count(); ++i) {
        const bool right = zoma::scores(m_choices[i], m_questions[i].correct);
        result.right.append(right);
        result.score += right ? 1 : 0;
    }
    result.passed = result.score >= result.passMark;
    m_result = std::move(result);
    return *m_result;
}
