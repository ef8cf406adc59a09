// SPDX-License-Identifier: GPL-3.0-or-later
// A PDF of arbitrary bytes, read for its text, its words and the images its
// pages draw, must never crash, hang or take memory past the page bounds,
// and what the reader gives back must name pages the file has.
#include "pdf/pdf_document.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace zoma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader takes a path, as the import gives it one.
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.pdf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QString error;
    QString text;
    if (!readPdfText(path, &text, &error) && error.isEmpty()) std::abort();
    const int pages = int(text.count(u'\n'));
    QList<PdfImage> images;
    if (readPdfImages(path, &images, &error)) {
        for (const PdfImage& image : images) {
            if (image.page < 0 || (pages > 0 && image.page >= pages)) std::abort();
        }
    } else if (error.isEmpty()) {
        std::abort();
    }
    QList<PdfWord> words;
    if (readPdfWords(path, &words, &error)) {
        for (const PdfWord& word : words) {
            if (word.page < 0 || word.page >= pages) std::abort();
        }
    }
    return 0;
}
