// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/output.h"

#include "bank/answer_key.h"
#include "common/text_file.h"
#include "common/whole_number.h"

#include <algorithm>

namespace {

constexpr QStringView kLineEnd = u"\r\n";

// Hands the pieces of question n's block to put, in order, straight from the
// store. The text is built in two rounds over the pieces, one to size it and
// one to fill it, so that no field is copied more than once (a speed choice,
// see BENCHMARKS.md). A question of the 2025 edition ends its answers with
// the line of its correct letters.
template <typename Put>
void forEachPiece(const QuestionBank& bank, int n, ExportLayout layout, bool onlyCorrect,
                  Put& put) {
    const QVarLengthArray<QStringView, 4> answers = zoma::answerLines(bank, n, onlyCorrect);
    const QStringView keys = bank.Keys.view(n);
    put(bank.BankId.view(n));
    if (layout == ExportLayout::CommaSeparated) {
        put(u",");
        put(bank.BankQuestion.view(n));
        for (const QStringView answer : answers) {
            put(u",");
            put(answer);
        }
        if (!keys.isEmpty()) {
            put(u",");
            put(zoma::kKeyLinePrefix);
            put(keys);
        }
        put(kLineEnd);
        return;
    }
    put(u"  ");
    put(bank.BankQuestion.view(n));
    put(kLineEnd);
    for (const QStringView answer : answers) {
        put(answer);
        put(kLineEnd);
    }
    if (!keys.isEmpty()) {
        put(zoma::kKeyLinePrefix);
        put(keys);
        put(kLineEnd);
    }
    put(kLineEnd);
    put(kLineEnd);
}

}  // namespace

bool zoma::output(const QuestionBank& bank, const SharedValues& values, QIODevice& out,
                  ExportLayout layout, bool onlyCorrect, QDate today, QStringList* unusableIds,
                  QString* error) {
    QList<int> numbers;
    numbers.reserve(bank.PaperCount);
    for (int i = 0; i < bank.PaperCount; ++i) {
        const QStringView id = bank.PaperIds.view(i);
        if (const std::optional<int> n = zoma::questionNumber(id)) {
            numbers << *n;
        } else if (!unusableIds->contains(id)) {
            *unusableIds << id.toString();
        }
    }

    const QString header = values.PracticeLevel + QStringLiteral("考试题库") +
                           today.toString(QStringLiteral("yyyy-MM-dd"));
    qsizetype size = header.size() + 3 * kLineEnd.size();
    auto measure = [&size](QStringView piece) { size += piece.size(); };
    for (const int n : std::as_const(numbers)) forEachPiece(bank, n, layout, onlyCorrect, measure);

    QString text(size, Qt::Uninitialized);
    QChar* end = text.data();
    auto copy = [&end](QStringView piece) { end = std::copy(piece.begin(), piece.end(), end); };
    copy(header);
    for (int i = 0; i < 3; ++i) copy(kLineEnd);
    for (const int n : std::as_const(numbers)) forEachPiece(bank, n, layout, onlyCorrect, copy);

    return zoma::writeAll(out, zoma::encodeGbk(text), error);
}
