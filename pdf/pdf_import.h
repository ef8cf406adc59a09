// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pdf/pdf_module.h"

#include <QString>
#include <QStringList>

namespace zoma {

// Reads the published PDF files (level files, the whole bank, the picture
// sheet), checks everything, and only then writes each level as
// "<level>题库.txt" (UTF-8) and each picture as "<label>.jpg" into libDir.
// The whole bank is only compared with the level files. Tells progress each
// page it reads; once progress is cancelled it stops and writes nothing.
PdfImportResult importPdfFiles(const QStringList& paths, const QString& libDir,
                               PdfProgress* progress = nullptr);

}  // namespace zoma
