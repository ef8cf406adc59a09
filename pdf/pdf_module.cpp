// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdf_module.h"

#include "common/module.h"

PdfImportResult zoma::importPdfFilesFromModule(const QStringList& paths, const QString& libDir,
                                               PdfProgress* progress) {
    QString error;
    const auto import = reinterpret_cast<ZomaImportPdfFiles>(
        moduleFunction(QStringLiteral(ZOMA_PDF_MODULE), "zoma_import_pdf_files", &error));
    if (!import) {
        return {
            false,
            QStringLiteral("PDF题库没有导入，题库文件夹未作改动。\n无法载入PDF读取组件：") + error};
    }
    PdfImportResult result;
    import(&paths, &libDir, progress, &result);
    return result;
}

bool zoma::isPdfName(const QString& path) {
    return path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}
