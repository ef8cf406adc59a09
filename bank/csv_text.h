// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/bank_record.h"

#include <QStringView>

namespace zoma {

// Reads a level file of the CSV conversion of the 2025 edition: a header row
// naming the columns J, P, I, Q, T, A, B, C, D (in any order), then one
// question a row. Fields follow RFC 4180: a field in double quotes may hold
// commas, line ends and doubled quotes. Answers come without their tag.
//
// Pure, like parseTaggedText: the records are views into text or into out.
// A text without rows (or without any line) gives no records and no error.
bool parseBankCsv(QStringView text, LevelRecords* out, TextIssue* error);

}  // namespace zoma
