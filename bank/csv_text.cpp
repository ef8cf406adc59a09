// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/csv_text.h"

#include "common/text_file.h"

#include <QVarLengthArray>

#include <array>

namespace {

constexpr int kColumns = 9;
constexpr QStringView kHeader[kColumns] = {u"J", u"P", u"I", u"Q", u"T", u"A", u"B", u"C", u"D"};
enum Column { J, P, I, Q, T, A, B, C, D };

using Row = QVarLengthArray<QStringView, kColumns + 1>;

// Cuts one row at a time out of the text.
class CsvReader {
public:
    CsvReader(QStringView text, LevelRecords* out) : m_text(text), m_out(out) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    qsizetype line() const { return m_line; }  // where the row cut last began

    // The next row; false with error set when it is malformed.
    bool next(Row* row, TextIssue* error) {
        row->clear();
        m_line = m_nextLine;
        for (;;) {
            QStringView field;
            if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
                if (!quoted(&field, error)) return false;
            } else {
                const qsizetype start = m_pos;
                while ((m_pos = zoma::findAtOrBelow(m_text, m_pos, u',')) < m_text.size() &&
                       !isStop(m_text[m_pos])) {
                    ++m_pos;
                }
                field = m_text.sliced(start, m_pos - start);
            }
            row->append(field);
            if (m_pos >= m_text.size()) return true;
            const QChar c = m_text[m_pos++];
            if (c == u',') continue;
            if (c == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n') ++m_pos;
            if (c == u'\r' || c == u'\n') {
                ++m_nextLine;
                return true;
            }
            // Text right after a closing quote.
            *error = {m_nextLine, QStringLiteral("引号之后、逗号之前多出文字")};
            return false;
        }
    }

private:
    static bool isStop(QChar c) { return c == u',' || c == u'\r' || c == u'\n'; }

    bool quoted(QStringView* field, TextIssue* error) {
        const qsizetype opened = m_nextLine;
        const qsizetype start = ++m_pos;
        bool doubled = false;
        // Only a quote or a line end matters inside; both sort at or below '"'.
        for (; (m_pos = zoma::findAtOrBelow(m_text, m_pos, u'"')) < m_text.size(); ++m_pos) {
            const QChar c = m_text[m_pos];
            if (c == u'\n' ||
                (c == u'\r' && !(m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n'))) {
                ++m_nextLine;
            } else if (c == u'"') {
                if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'"') {
                    doubled = true;
                    ++m_pos;
                    continue;
                }
                *field = m_text.sliced(start, m_pos - start);
                ++m_pos;
                if (doubled) {
                    QString plain = field->toString();
                    plain.replace(QStringLiteral("\"\""), QStringLiteral("\""));
                    *field = m_out->own(std::move(plain));
                }
                if (m_pos < m_text.size() && !isStop(m_text[m_pos])) {
                    *error = {m_nextLine, QStringLiteral("引号之后、逗号之前多出文字")};
                    return false;
                }
                return true;
            }
        }
        *error = {opened, QStringLiteral("引号没有闭合")};
        return false;
    }

    QStringView m_text;
    LevelRecords* m_out;
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
    qsizetype m_nextLine = 1;
};

bool isEmptyRow(const Row& row) {
    return row.size() == 1 && row[0].trimmed().isEmpty();
}

}  // namespace

namespace zoma {

bool parseBankCsv(QStringView text, LevelRecords* out, TextIssue* error) {
    TextIssue scratch;
    if (!error) error = &scratch;
    CsvReader reader(text, out);
    Row row;

    // The header names the columns; their order is taken from it.
    std::array<int, kColumns> at{};
    at.fill(-1);
    do {
        if (reader.atEnd()) return true;  // no records: the caller says so
        if (!reader.next(&row, error)) return false;
    } while (isEmptyRow(row));
    const qsizetype headerLine = reader.line();
    for (qsizetype i = 0; i < row.size(); ++i) {
        for (int c = 0; c < kColumns; ++c) {
            if (row[i].trimmed().compare(kHeader[c], Qt::CaseInsensitive) == 0 && at[c] < 0) {
                at[c] = int(i);
            }
        }
    }
    const qsizetype width = row.size();
    for (int c = 0; c < kColumns; ++c) {
        if (at[c] < 0 || width != kColumns) {
            *error = {headerLine, QStringLiteral("第一行应是表头 J,P,I,Q,T,A,B,C,D")};
            return false;
        }
    }

    out->records.reserve(out->records.size() + text.size() / 160);  // about a row's size
    while (!reader.atEnd()) {
        if (!reader.next(&row, error)) return false;
        if (isEmptyRow(row)) continue;
        if (row.size() != width) {
            *error = {reader.line(), QStringLiteral("这一行有 ") + QString::number(row.size()) +
                                         QStringLiteral(" 个字段，应为 ") + QString::number(width) +
                                         QStringLiteral(" 个")};
            return false;
        }
        BankRecord record;
        record.line = record.idLine = record.keysLine = reader.line();
        record.label = row[at[J]].trimmed();
        record.category = row[at[P]].trimmed();
        record.id = row[at[I]].trimmed();
        record.question = row[at[Q]];
        record.keys = row[at[T]].trimmed();
        for (int i = 0; i < 4; ++i) record.answers[i] = row[at[A + i]];
        if (record.label.contains(u',')) {
            QString joined;
            for (const QStringView part : record.label.split(u',', Qt::SkipEmptyParts)) {
                if (!part.trimmed().isEmpty()) {
                    if (!joined.isEmpty()) joined += u'、';
                    joined += part.trimmed();
                }
            }
            record.label = out->own(std::move(joined));
        }
        out->records.append(record);
    }
    return checkRecords(*out, error);
}

}  // namespace zoma
