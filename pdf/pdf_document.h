// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <QtGlobal>

// A run of text on a page and where it stands, in points from the page's
// top-left corner.
struct PdfWord {
    int page = 0;
    QRectF box;
    QString text;
};

// An image drawn on a page, with the bytes stored in the file.
struct PdfImage {
    int page = 0;
    QRectF box;         // where it is drawn, in points from the top-left corner
    QByteArray bytes;   // the stored stream, other filters undone; for a JPEG the file itself
    bool jpeg = false;  // stored as a JPEG (DCT) stream
};

class PdfProgress;

namespace zoma {

// What one page may cost to read. The published files need less than 1 MB
// of page content, a few hundred drawings and forms two deep a page; a page
// past any of these is refused before the text is taken from it.
constexpr int kMaxPdfFormDepth = 32;           // forms drawn inside forms
constexpr int kMaxPdfDrawsPerPage = 10000;     // forms and images drawn
constexpr qint64 kMaxPdfPageBytes = 16 << 20;  // decoded content, forms each time drawn

// The text of a PDF, page after page, each page's text followed by a line
// end. False with the reason when the file is no PDF, is damaged (a page
// whose content does not decode cleanly included), needs a password, goes
// past a bound above, or when progress is cancelled.
bool readPdfText(const QString& path, QString* text, QString* error,
                 PdfProgress* progress = nullptr);

// The words of every page, for a file already known to open.
bool readPdfWords(const QString& path, QList<PdfWord>* words, QString* error,
                  PdfProgress* progress = nullptr);

// Every image the pages draw, in drawing order, with its position found by
// walking the page content (forms included), under the same bounds.
bool readPdfImages(const QString& path, QList<PdfImage>* images, QString* error,
                   PdfProgress* progress = nullptr);

// A path as qpdf takes a file name: the file system's bytes, but UTF-8 on
// Windows, where qpdf opens it through the wide functions.
QByteArray qpdfFileName(const QString& path);

}  // namespace zoma
