// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <initializer_list>
#include <memory>
#include <vector>

// A problem found in a text: the 1-based line it was found on (0 when it
// concerns the text as a whole) and what is wrong, for the user.
struct TextIssue {
    qsizetype line = 0;
    QString reason;
};

// One question as a level file gives it. The views point into the text that
// was read or into the owned texts of the LevelRecords that holds it.
struct BankRecord {
    qsizetype line = 0;      // where the record starts
    qsizetype idLine = 0;    // where its identifier stands
    qsizetype keysLine = 0;  // where its correct letters stand
    QStringView id;          // I, such as MC2-0001 (LK0001 in the earlier layout)
    QStringView question;
    std::array<QStringView, 4> answers;  // the texts after [A]..[D]
    QStringView keys;                    // T, the correct letters in letter order
    QStringView label;                   // J, labels joined by "、"
    QStringView category;                // P
    QStringView picture;                 // F, the file name alone
    int number = -1;                     // the question number of id, set by checkRecords
    bool earlierLayout = false;          // no J and no T: [A] is the correct answer
};

// The records of one level file, in file order.
struct LevelRecords {
    QList<BankRecord> records;
    QList<TextIssue> warnings;  // repairs made on the way; the records are good
    QList<QString> owned;       // texts the input did not hold as they are, such as sorted keys

    // Keeps text and gives a view of it that lives as long as this object.
    QStringView own(QString text);
    // The pieces joined, kept alike. Joining onto the text given last
    // extends it where it lies: a text wrapped over many lines is joined a
    // line at a time, and an allocation for each cost more than the rest of
    // reading it.
    QStringView join(std::initializer_list<QStringView> pieces);
    // The characters join has taken from memory so far.
    qsizetype blockChars() const { return m_blockChars; }

private:
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t* m_free = nullptr;  // where the next joined text goes
    char16_t* m_end = nullptr;   // the end of the block m_free is in
    char16_t* m_last = nullptr;  // where the text joined last begins
    qsizetype m_blockChars = 0;
};

// The most text one record may hold: no question or answer is near it, and
// far more stalls the windows that show it.
constexpr qsizetype kMaxRecordText = 64 * 1024;

namespace zoma {

// Checks what every level file must satisfy once its records are cut out:
// at most kMaxRecordText characters a record, an identifier whose number
// lies in 0..2000 and occurs once in the file,
// correct letters (A to D only, at least one) for the 2025 layout. The keys
// come back in letter order without repeats.
bool checkRecords(LevelRecords& level, TextIssue* error);

// Writes the records under their numbers and makes them the paper, in order;
// the records must have passed checkRecords.
// A record of the earlier layout clears the 2025 fields of its slot.
void storeRecords(QuestionBank& bank, const LevelRecords& level);

}  // namespace zoma
