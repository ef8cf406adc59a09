// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

enum class ExportLayout {
    LineSeparated,   // every field on a line of its own, blocks apart by two empty lines
    CommaSeparated,  // one line per question, fields joined by ","
};

namespace zoma {

// Writes the loaded paper to out: a header with the level and the date, two
// empty lines, then one block per paper entry, GBK with CR LF. Paper entries
// that name no question 0..2000 are left out and listed in *unusableIds.
// False with the device's reason when a write fails; out must report a
// short write at write() (an unbuffered file, or a buffer).
bool output(const QuestionBank& bank, const SharedValues& values, QIODevice& out,
            ExportLayout layout, bool onlyCorrect, QDate today, QStringList* unusableIds,
            QString* error);

}  // namespace zoma
