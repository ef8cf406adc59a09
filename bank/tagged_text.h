// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/bank_record.h"

#include <QStringView>

namespace zoma {

// Reads tagged text, one tag a line: [J] label, [P] category, [I] identifier,
// [Q] question, [T] correct letters, [A]..[D] answers, [F] picture, as the
// 2025 level files are published, and the earlier layout ([I]LK…, [Q],
// [A]..[D], [P] picture; no [J] and no [T]). Text copied out of the PDFs is
// taken as it comes: lines wrapped onto untagged continuation lines, page
// numbers and form feeds between or inside records, empty lines, tags out of
// their usual order, "[J]LY0014、[J]LY0017", a web address in [F].
//
// Pure: decoded text in, records out (views into text, which must outlive
// them). On failure error holds the line and the reason, and records holds
// what was cut out before it.
bool parseTaggedText(QStringView text, LevelRecords* out, TextIssue* error);

}  // namespace zoma
