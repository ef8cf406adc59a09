// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What an import of published PDF files did, in one message for the user.
struct PdfImportResult {
    bool ok = false;  // false: nothing was written
    QString message;
};

namespace zoma {

// Reads the published PDF files (level files, the whole bank, the picture
// sheet), checks everything, and only then writes each level as
// "<level>题库.txt" (UTF-8) and each picture as "<label>.jpg" into libDir.
// The whole bank is only compared with the level files.
PdfImportResult importPdfFiles(const QStringList& paths, const QString& libDir);

// Whether a path names a PDF by its extension.
bool isPdfName(const QString& path);

}  // namespace zoma
