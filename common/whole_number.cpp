// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/whole_number.h"

#include <algorithm>

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
}  // namespace

bool WholeNumber::inRange(qint64 low, qint64 high) const {
    return kind == Kind::Value && value >= low && value <= high;
}

WholeNumber WholeNumber::parse(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    if (begin == end) return {};

    WholeNumber result{Kind::Value, 0};
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return {};
        if (result.kind == Kind::Value) {
            result.value = result.value * 10 + (c - u'0');
            if (result.value > Huge) result.kind = Kind::TooLarge;
        }
    }
    if (result.kind == Kind::TooLarge) result.value = 0;
    return result;
}
