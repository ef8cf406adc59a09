// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/bank_record.h"

#include "common/whole_number.h"

#include <algorithm>

namespace {

// The letters A to D of keys in letter order, each once; empty when keys
// holds anything else.
QString sortedKeys(QStringView keys) {
    bool seen[4] = {};
    for (const QChar c : keys) {
        if (c < u'A' || c > u'D') return {};
        seen[c.unicode() - u'A'] = true;
    }
    QString sorted;
    for (int i = 0; i < 4; ++i) {
        if (seen[i]) sorted += QChar(u'A' + i);
    }
    return sorted;
}

// The characters of a record's fields together.
qsizetype textSize(const BankRecord& r) {
    qsizetype size = r.id.size() + r.question.size() + r.keys.size() + r.label.size() +
                     r.category.size() + r.picture.size();
    for (const QStringView answer : r.answers) size += answer.size();
    return size;
}

}  // namespace

QStringView LevelRecords::own(QString text) {
    owned.append(std::move(text));
    return owned.constLast();
}

QStringView LevelRecords::join(std::initializer_list<QStringView> pieces) {
    constexpr qsizetype kBlock = 16 * 1024;
    qsizetype size = 0;
    for (const QStringView piece : pieces) size += piece.size();
    auto piece = pieces.begin();
    const bool extending = m_last && piece->utf16() == m_last;
    if (extending && m_end - m_last >= size) {
        m_free = m_last + piece->size();  // the text given last, maybe shortened
        ++piece;
    } else {
        if (m_end - m_free < size) {
            // A text that outgrows its block moves to one twice its size, so
            // that a text joined a line at a time costs linear time and memory
            // instead of a new block of its whole size per line.
            const qsizetype capacity = std::max(extending ? 2 * size : size, kBlock);
            m_blocks.push_back(std::make_unique<char16_t[]>(capacity));
            m_blockChars += capacity;
            m_free = m_blocks.back().get();
            m_end = m_free + capacity;
        }
        m_last = m_free;
    }
    for (; piece != pieces.end(); ++piece)
        m_free = std::copy(piece->utf16(), piece->utf16() + piece->size(), m_free);
    return QStringView(m_last, m_free - m_last);
}

namespace zoma {

bool checkRecords(LevelRecords& level, TextIssue* error) {
    const auto fail = [error](qsizetype line, const QString& reason) {
        if (error) *error = {line, reason};
        return false;
    };
    std::array<qsizetype, TextSlots::Size> firstLine{};
    for (BankRecord& record : level.records) {
        if (textSize(record) > kMaxRecordText) {
            return fail(record.line,
                        QStringLiteral("题目文字过长，超过 %1 个字").arg(kMaxRecordText));
        }
        if (record.id.isEmpty()) return fail(record.line, QStringLiteral("题目没有 [I] 题号"));
        const std::optional<int> q = questionNumber(record.id);
        if (!q) {
            return fail(record.idLine,
                        QStringLiteral("题号不是 0 到 2000 之间的整数：") + record.id.toString());
        }
        if (firstLine[*q] != 0) {
            return fail(record.idLine, QStringLiteral("题号 ") + record.id.toString() +
                                           QStringLiteral(" 重复，第 ") +
                                           QString::number(firstLine[*q]) +
                                           QStringLiteral(" 行已有同一题号"));
        }
        firstLine[*q] = record.idLine;
        record.number = *q;
        if (record.earlierLayout) continue;
        if (record.keys.isEmpty()) {
            return fail(record.keysLine ? record.keysLine : record.line,
                        QStringLiteral("正确答案 [T] 为空"));
        }
        // Most keys are already one or more letters in order.
        const bool ordered =
            std::adjacent_find(record.keys.begin(), record.keys.end(),
                               [](QChar a, QChar b) { return a >= b; }) == record.keys.end();
        const bool plain = std::all_of(record.keys.begin(), record.keys.end(),
                                       [](QChar c) { return c >= u'A' && c <= u'D'; });
        if (!ordered || !plain) {
            QString keys = sortedKeys(record.keys);
            if (keys.isEmpty()) {
                return fail(record.keysLine,
                            QStringLiteral("正确答案 [T] 只能由 A、B、C、D 组成：") +
                                record.keys.toString());
            }
            record.keys = level.own(std::move(keys));
        }
    }
    return true;
}

void storeRecords(QuestionBank& bank, const LevelRecords& level) {
    static constexpr QStringView kTags[] = {u"[A]", u"[B]", u"[C]", u"[D]"};
    TextSlots* const options[] = {&bank.OptionA, &bank.OptionB, &bank.OptionC, &bank.OptionD};
    int position = 0;
    for (const BankRecord& record : level.records) {
        const int q = record.number;
        (void)bank.BankId.assign(q, record.id);
        (void)bank.BankQuestion.assign(q, record.question);
        for (int i = 0; i < 4; ++i) (void)options[i]->assign(q, kTags[i], record.answers[i]);
        (void)bank.Keys.assign(q, record.keys);
        (void)bank.Label.assign(q, record.label);
        (void)bank.Category.assign(q, record.category);
        (void)bank.Picture.assign(q, record.picture);
        (void)bank.PaperIds.assign(position++, record.id);
    }
    bank.PaperCount = position;
}

}  // namespace zoma
