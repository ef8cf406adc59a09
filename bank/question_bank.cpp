// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/question_bank.h"

#include "common/whole_number.h"

#include <algorithm>

bool TextSlots::set(qint64 index, const QString& text) {
    if (!contains(index)) return false;
    m_slots[index] = text;
    return true;
}

bool TextSlots::assign(qint64 index, QStringView text) {
    if (!contains(index)) return false;
    QString& slot = m_slots[index];
    // Such as the 2025 fields of an earlier-edition record: no need to touch
    // the slot's storage.
    if (text.isEmpty() && slot.isEmpty()) return true;
    if (slot.isDetached() && slot.capacity() >= text.size()) {
        // A bank read again mostly fits its slots exactly.
        if (slot.size() != text.size()) slot.resize(text.size());
        std::copy(text.begin(), text.end(), slot.begin());
    } else {
        slot = text.toString();
    }
    return true;
}

bool TextSlots::assign(qint64 index, QStringView head, QStringView tail) {
    if (!contains(index)) return false;
    QString& slot = m_slots[index];
    const qsizetype size = head.size() + tail.size();
    if (slot.isDetached() && slot.capacity() >= size) {
        if (slot.size() != size) slot.resize(size);
    } else {
        slot = QString(size, Qt::Uninitialized);
    }
    std::copy(tail.begin(), tail.end(), std::copy(head.begin(), head.end(), slot.begin()));
    return true;
}

std::optional<int> zoma::questionNumber(QStringView identifier) {
    if (identifier.size() < 3) return std::nullopt;
    QStringView number = identifier.mid(2);
    // MC<k>-<nnnn>: only this exact shape, so that no identifier of the
    // earlier editions changes its meaning.
    if (identifier.startsWith(u"MC")) {
        const qsizetype hyphen = number.indexOf(u'-');
        const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
        if (hyphen > 0 && std::all_of(number.begin(), number.begin() + hyphen, digit)) {
            number = number.sliced(hyphen + 1);
        }
    }
    const WholeNumber n = WholeNumber::parse(number);
    if (!n.inRange(0, TextSlots::Size - 1)) return std::nullopt;
    return static_cast<int>(n.value);
}
