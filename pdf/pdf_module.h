// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class PdfProgress;

// What an import of published PDF files did, in one message for the user.
struct PdfImportResult {
    bool ok = false;  // false: nothing was written
    QString message;
};

namespace zoma {

// importPdfFiles (pdf_import.h) as the program reaches it: through its
// module, loaded on first use (common/module.h), since most runs never read a
// PDF. Without the module nothing is written, and the message says why.
PdfImportResult importPdfFilesFromModule(const QStringList& paths, const QString& libDir,
                                         PdfProgress* progress = nullptr);

// Whether a path names a PDF by its extension.
bool isPdfName(const QString& path);

}  // namespace zoma

// The type of the module's entry, zoma_import_pdf_files.
extern "C" {
using ZomaImportPdfFiles = void (*)(const QStringList* paths, const QString* libDir,
                                    PdfProgress* progress, PdfImportResult* result);
}
