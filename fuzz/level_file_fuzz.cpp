// SPDX-License-Identifier: GPL-3.0-or-later
// A level file of the 2025 edition of arbitrary bytes, read as tagged text and
// as CSV, must never crash, and what a reader accepts must fit the store.
#include "bank/answer_key.h"
#include "bank/csv_text.h"
#include "bank/tagged_text.h"
#include "common/text_file.h"
#include "common/whole_number.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace zoma;

namespace {

void check(bool ok, const LevelRecords& level) {
    if (!ok) return;
    static QuestionBank bank;
    storeRecords(bank, level);
    if (bank.PaperCount != level.records.size() || bank.PaperCount > TextSlots::Size) std::abort();
    for (int i = 0; i < bank.PaperCount; ++i) {
        const std::optional<int> q = questionNumber(bank.PaperIds.view(i));
        if (!q) std::abort();
        for (const QChar c : correctLetters(bank, *q)) {
            if (c < u'A' || c > u'D') std::abort();
        }
        if (answerLines(bank, *q, true).isEmpty()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        decodeText(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    {
        LevelRecords level;
        TextIssue error;
        check(parseTaggedText(text, &level, &error), level);
    }
    {
        LevelRecords level;
        TextIssue error;
        check(parseBankCsv(text, &level, &error), level);
    }
    return 0;
}
