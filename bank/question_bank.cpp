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
    if (slot.isDetached() && slot.capacity() >= text.size()) {
        slot.resize(text.size());
        std::copy(text.begin(), text.end(), slot.begin());
    } else {
        slot = text.toString();
    }
    return true;
}

std::optional<int> zoma::questionNumber(QStringView identifier) {
    if (identifier.size() < 3) return std::nullopt;
    const WholeNumber n = WholeNumber::parse(identifier.mid(2));
    if (!n.inRange(0, TextSlots::Size - 1)) return std::nullopt;
    return static_cast<int>(n.value);
}
