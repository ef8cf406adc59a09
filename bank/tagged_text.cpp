// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/tagged_text.h"

#include "common/text_file.h"

#include <array>
#include <optional>

namespace {

enum Field { J, P, I, Q, T, A, B, C, D, F, FieldCount };
constexpr QStringView kTagLetters = u"JPIQTABCDF";

// The field of a line that starts with a tag such as "[Q]", or nothing.
// A table rather than a switch: the tags of a file come in no order a branch
// predictor learns, and this runs for every line.
std::optional<Field> tagOf(QStringView line) {
    static constexpr auto kFieldOf = [] {
        std::array<signed char, 26> table{};
        table.fill(-1);
        for (int f = 0; f < FieldCount; ++f) table[kTagLetters[f].unicode() - u'A'] = char(f);
        return table;
    }();
    if (line.size() < 3 || line[0] != u'[' || line[2] != u']') return std::nullopt;
    const char16_t letter = line[1].unicode();
    if (letter < u'A' || letter > u'Z' || kFieldOf[letter - u'A'] < 0) return std::nullopt;
    return Field(kFieldOf[letter - u'A']);
}

// Where a damaged copy's tag can be recognised: a tag that must come next in
// the record, printed without part of its brackets. None is accepted yet;
// a repair made here is reported through a warning.
std::optional<Field> repairedTag(QStringView /*line*/, qsizetype /*lineNumber*/,
                                 LevelRecords* /*out*/) {
    return std::nullopt;
}

bool isDigits(QStringView text) {
    if (text.isEmpty() || text.size() > 6) return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

bool isAsciiWordChar(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Text fields wrap onto continuation lines; the others are one token.
bool isText(Field f) {
    return f == Q || (f >= A && f <= D);
}

QStringView trimmed(QStringView text) {
    // Most values have nothing to trim; spare them the call.
    const auto plain = [](QChar c) { return c > u' ' && c < u'\x7f'; };
    if (!text.isEmpty() && plain(text.front()) && plain(text.back())) return text;
    return text.trimmed();
}

// The file name at the end of a path or web address.
QStringView lastPart(QStringView text) {
    if (text.isEmpty()) return text;
    qsizetype cut = text.size();
    for (const QChar stop : {u'?', u'#'}) {
        const qsizetype at = text.indexOf(stop);
        if (at >= 0 && at < cut) cut = at;
    }
    text = text.first(cut);
    const qsizetype slash = std::max(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
    return slash < 0 ? text : text.sliced(slash + 1);
}

// Labels as "LY0014、LY0017", whether given so, as "LY0014、[J]LY0017" or as
// "LY0014, LY0017".
QStringView labels(QStringView text, LevelRecords* out) {
    text = trimmed(text);
    bool plain = true;
    for (const QChar c : text) {
        if (c == u'[' || c == u',' || c == u'，' || c == u' ' || c == u'\t') plain = false;
    }
    if (plain) return text;
    QString joined;
    QString rest = text.toString();
    rest.replace(QStringLiteral("[J]"), QStringLiteral("、"));
    for (const QChar sep : {u',', u'，', u' ', u'\t'}) rest.replace(sep, u'、');
    for (const QStringView part : QStringView(rest).split(u'、', Qt::SkipEmptyParts)) {
        if (!joined.isEmpty()) joined += u'、';
        joined += part;
    }
    return out->own(std::move(joined));
}

class Parser {
public:
    Parser(LevelRecords* out, TextIssue* error) : m_out(out), m_error(error) {}

    bool line(QStringView raw, qsizetype number) {
        QStringView text = raw;
        while (!text.isEmpty() && text.front() == u'\f') text = text.sliced(1);
        while (!text.isEmpty() && text.back() == u'\f') text.chop(1);
        // Most lines start with their tag; only the others need trimming.
        std::optional<Field> field = tagOf(text);
        if (!field) {
            const QStringView bare = trimmed(text);
            if (bare.isEmpty()) return true;
            if (isDigits(bare) && isPageNumber(bare.toInt())) return true;
            field = repairedTag(text, number, m_out);
        }
        if (!field) return continuation(text, number);

        if (m_open && m_lines[*field] != 0) finish();
        if (!m_open) {
            m_open = true;
            m_start = number;
        }
        m_values[*field] = text.sliced(3);
        m_lines[*field] = number;
        m_last = *field;
        return true;
    }

    bool end() {
        if (m_open) finish();
        return !m_failed;
    }

    bool failed() const { return m_failed; }

private:
    // A bare number is a page number when it counts on from the last one, or
    // when it stands where no text can go on (after [I], say, which it
    // would otherwise lengthen).
    bool isPageNumber(int n) {
        if (m_page < 0 || n == m_page + 1 || !m_open || !isText(m_last)) {
            m_page = n;
            return true;
        }
        return false;
    }

    bool continuation(QStringView text, qsizetype number) {
        if (!m_open) return fail(number, QStringLiteral("第一个标记之前有不属于任何题目的文字"));
        QStringView& value = m_values[m_last];
        const QStringView more = trimmed(text);
        QStringView head = value;
        while (!head.isEmpty() && head.back().isSpace()) head.chop(1);
        // Wrapped English words lose the blank at the break; Chinese has none.
        const bool blank = isText(m_last) && !head.isEmpty() && isAsciiWordChar(head.back()) &&
                           isAsciiWordChar(more.front());
        value = m_out->join({head, blank ? u" " : u"", more});
        return true;
    }

    void finish() {
        BankRecord record;
        record.line = m_start;
        record.idLine = m_lines[I] ? m_lines[I] : m_start;
        record.keysLine = m_lines[T];
        record.id = trimmed(m_values[I]);
        record.question = m_values[Q];
        record.earlierLayout = m_lines[J] == 0 && m_lines[T] == 0;
        for (int i = 0; i < 4; ++i) record.answers[i] = m_values[A + i];
        if (record.earlierLayout) {
            record.picture = lastPart(trimmed(m_values[P]));
        } else {
            record.keys = trimmed(m_values[T]);
            record.label = labels(m_values[J], m_out);
            record.category = trimmed(m_values[P]);
            record.picture = lastPart(trimmed(m_values[F]));
        }

        if (m_lines[I] == 0) {
            fail(m_start, QStringLiteral("题目没有 [I] 题号"));
        } else if (m_lines[Q] == 0) {
            fail(m_start,
                 QStringLiteral("题目 ") + record.id.toString() + QStringLiteral(" 没有 [Q] 题干"));
        } else {
            for (int i = A; i <= D; ++i) {
                if (m_lines[i] != 0) continue;
                fail(m_start, QStringLiteral("题目 ") + record.id.toString() +
                                  QStringLiteral(" 的答案不足四个，缺少 [") + kTagLetters[i] +
                                  u']');
                break;
            }
        }
        if (!m_failed) m_out->records.append(record);
        m_open = false;
        m_values = {};
        m_lines = {};
    }

    bool fail(qsizetype line, const QString& reason) {
        if (!m_failed && m_error) *m_error = {line, reason};
        m_failed = true;
        return false;
    }

    LevelRecords* m_out;
    TextIssue* m_error;
    std::array<QStringView, FieldCount> m_values{};
    std::array<qsizetype, FieldCount> m_lines{};  // 0: the record has no such tag yet
    Field m_last = J;
    qsizetype m_start = 0;
    int m_page = -1;
    bool m_open = false;
    bool m_failed = false;
};

}  // namespace

namespace zoma {

bool parseTaggedText(QStringView text, LevelRecords* out, TextIssue* error) {
    Parser parser(out, error);
    out->records.reserve(out->records.size() + text.size() / 100);  // about a record's size
    LineReader lines(text);
    QStringView line;
    while (lines.next(&line)) {
        if (!parser.line(line, lines.number()) || parser.failed()) return false;
    }
    if (!parser.end()) return false;
    return checkRecords(*out, error);
}

}  // namespace zoma
