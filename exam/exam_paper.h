// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "common/program_folder.h"

#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <bit>

// The two editions of the bank an exam can be drawn from. A paper whose
// questions carry their correct letters is the 2025 edition.
enum class Edition { Earlier, Y2025 };

namespace zoma {

// "2013–2021" or "2025", as the start page shows it.
QString editionTitle(Edition edition);
// The same as it is written into the notebook, the history and the settings.
QString editionKey(Edition edition);
bool editionFromKey(QStringView key, Edition* edition);

}  // namespace zoma

// One question as an exam sees it: its own copy, so that reading another
// level while the exam runs changes nothing in it.
struct ExamQuestion {
    QString id;  // the bank's identifier: LK0001, MC2-0001
    QString text;
    std::array<QString, 4> answers;  // in letter order, without their [A] tags
    quint8 correct = 0;              // bit i set: answer i is right
    QString picture;                 // file name in the library folder, or empty
    QString missingPicture;          // a picture the bank names that the folder lacks

    bool multiple() const { return std::popcount(correct) > 1; }
};

struct ExamPaper {
    Edition edition = Edition::Earlier;
    QList<ExamQuestion> questions;  // in paper order, each question once
};

namespace zoma {

// The paper read last, as exam questions. Entries that name no question, or
// a question without text or key, are left out; a question listed twice
// counts once.
ExamPaper examPaper(const QuestionBank& bank, const SharedValues& values);

// "A" to "D" for the bits of a set, in letter order: "AC".
QString letters(quint8 set);

}  // namespace zoma

// The names in the library folder, listed once, looked up without regard to
// ASCII letter case (packages come from Windows).
class LibraryIndex final {
public:
    explicit LibraryIndex(const ProgramFolder& folder);
    // The path of a file in the folder, or empty text.
    QString find(const QString& fileName) const;

private:
    ProgramFolder m_folder;
    QHash<QString, QString> m_names;  // folded name -> name on disk
};
