// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QString>

// Outcome of a read-data action, with what a user needs to hear about it.
// It has no default: every outcome is spelled out where it arises.
struct LoadResult {
    enum class Status {
        Loaded,             // count holds the new PaperCount
        BankNotFound,       // nothing was touched
        PaperListNotFound,  // the bank was read; the paper list and PaperCount are unchanged
        NoRecords,          // the bank file holds no record: nothing was touched
        Failed,             // stopped at file/line; slots written before stay written
    };
    enum class File { Bank, PaperList };  // the file the outcome concerns

    LoadResult(Status status, File which) : status(status), which(which) {}

    Status status;
    File which;
    int count = 0;
    QString file;        // name of the file concerned, without its folder
    qsizetype line = 0;  // 1-based line the problem was found on, 0 when none applies
    QString problem;     // what is wrong, for Failed

    // The text the main window shows for this outcome.
    QString message(const QString& level) const;
};

namespace zoma {

// The bank file in the library directory: the first regular file, by name,
// that matches 总题库文件*.txt without regard to letter case; with none, the
// first other match (a FIFO, a device, a broken link), so that reading it
// reports why. Empty if nothing matches.
QString findBankFile(const ProgramFolder& folder);

// The level's paper list in the library directory, matched without regard to
// letter case. Empty if there is none.
QString findPaperList(const ProgramFolder& folder, const QString& level);

// Reads the bank file and the level's paper list into the store.
LoadResult ReadData(QuestionBank& bank, const SharedValues& values, const QString& level);

}  // namespace zoma
