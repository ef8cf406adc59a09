// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QDate>
#include <QString>
#include <QStringList>

enum class ExportLayout {
    LineSeparated,   // every field on a line of its own, blocks apart by two empty lines
    CommaSeparated,  // one line per question, fields joined by ","
};

struct ExportResult {
    enum class Status {
        Written,
        TargetExists,  // something already stands at the path; nothing was touched
        Failed,        // the file could not be written; nothing was left behind
    };

    Status status = Status::Failed;
    QString error;            // the system's reason, for Failed
    QStringList unusableIds;  // paper entries left out: they name no question 0..2000

    bool written() const { return status == Status::Written; }
};

// Writes the loaded paper to outfile: a header with the level and the date,
// two empty lines, then one block per paper entry. GBK with CR LF, written
// whole, so a failure never leaves part of a file.
ExportResult output(const QuestionBank& bank, const SharedValues& values, const QString& outfile,
                    ExportLayout layout, bool onlyCorrect, QDate today = QDate::currentDate());
