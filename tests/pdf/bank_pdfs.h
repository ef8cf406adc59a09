// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// A small published set made in the test: two level files, the whole bank
// and the picture sheet, laid out as the publisher's are.
namespace bankpdfs {

// The tagged lines of one question; a "\n" in the question wraps it.
QStringList record(const QString& labels, const QString& id, const QString& question,
                   const QString& key, const QString& picture = QString(),
                   const QString& answerTag = QStringLiteral("[A]"));

// Writes the lines over pages of perPage lines, each ending in its number.
bool writeBankPdf(const QString& path, const QStringList& lines, int perPage);

// A类题库.pdf (2 questions), B类题库.pdf (3), 总题库.pdf (3; MC1-0003 differs
// and its answer tag lacks "["), 总题库附图标记.pdf (LK0002 and LK0003, the
// latter misprinted "LK000", captions off centre, and a drawing that is no
// JPEG). Returns their paths in that order.
QStringList writeBankSet(const QString& dir);

// The summary the import of that set gives.
QString bankSetSummary();

}  // namespace bankpdfs
