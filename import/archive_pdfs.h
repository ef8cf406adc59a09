// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace zoma {

// The names the PDF files of an archive get when it is extracted without
// its folders; empty when it holds none or cannot be read.
QStringList archivePdfNames(const QString& archivePath);

// The pattern of the extraction engine that takes (or leaves out) an
// archive's PDF files, whatever the letter case of ".pdf".
QString pdfEntryPattern();

// Whether the archive holds an entry the pattern leaves out; false when it
// cannot be read.
bool archiveHoldsOtherEntries(const QString& archivePath);

}  // namespace zoma
