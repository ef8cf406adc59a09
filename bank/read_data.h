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

// The level's file of the 2025 edition in the library directory, names
// matched without regard to ASCII letter case: the first regular file by name
// of <level>题库*.txt (tagged text), else class_a.csv, class_b.csv or
// class_c.csv. Empty if there is none.
QString findLevelFile(const ProgramFolder& folder, const QString& level);

// Whether the library directory holds a bank of any edition: the bank file or
// a level file of the 2025 edition.
bool hasBank(const ProgramFolder& folder);

// Reads a level file of the 2025 edition (tagged text, or CSV by its .csv
// name) into the store: every record under its number, the paper the file's
// records in order. A file with a fault stores nothing.
LoadResult readLevelFile(QuestionBank& bank, const QString& path);

// Reads the level into the store: its 2025 level file where there is one,
// else the bank file and the level's paper list.
LoadResult ReadData(QuestionBank& bank, const SharedValues& values, const QString& level);

}  // namespace zoma
