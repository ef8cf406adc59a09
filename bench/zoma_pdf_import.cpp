// SPDX-License-Identifier: GPL-3.0-or-later
// The import of published PDF files on the command line, as the import
// window runs it, so that it can be timed as a whole process against the
// Poppler tools.
//
// Usage: zoma_pdf_import <folder> <file.pdf>...

#include "pdf/pdf_import.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zoma_pdf_import <folder> <file.pdf>...\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    QStringList files;
    for (int i = 2; i < argc; ++i) files << QFile::decodeName(argv[i]);
    const PdfImportResult result = zoma::importPdfFiles(files, QFile::decodeName(argv[1]));
    std::fprintf(stderr, "%s\n", result.message.toLocal8Bit().constData());
    return result.ok ? 0 : 1;
}
