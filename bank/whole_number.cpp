#include "bank/whole_number.h"

#include "bank/question_bank.h"

#include <algorithm>

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
}  // namespace

bool WholeNumber::inRange(qint64 low, qint64 high) const {
    if (kind == Kind::NotANumber) return false;
    if (kind == Kind::TooLarge) return high >= Huge;
    return value >= low && value <= high;
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

std::optional<int> questionNumber(QStringView identifier) {
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
