// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the module that the program loads for its first PDF import
// (see pdf_module.h).
#include "pdf/pdf_import.h"

#include <new>

extern "C" Q_DECL_EXPORT void zoma_import_pdf_files(const QStringList* paths, const QString* libDir,
                                                    PdfProgress* progress,
                                                    PdfImportResult* result) {
    // Nothing may leave the module: a file within the size bound can still
    // need more memory than is free. The import writes only after it has
    // read everything, and a failed write reports itself.
    try {
        *result = zoma::importPdfFiles(*paths, *libDir, progress);
    } catch (const std::bad_alloc&) {
        *result = {false, QStringLiteral("PDF题库没有导入，题库文件夹未作改动。\n内存不足")};
    }
}
