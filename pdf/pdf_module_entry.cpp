// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the module that the program loads for its first PDF import
// (see pdf_module.h).
#include "pdf/pdf_import.h"

extern "C" Q_DECL_EXPORT void zoma_import_pdf_files(const QStringList* paths, const QString* libDir,
                                                    PdfProgress* progress,
                                                    PdfImportResult* result) {
    *result = zoma::importPdfFiles(*paths, *libDir, progress);
}
