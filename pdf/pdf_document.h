// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

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

namespace zoma {

// The text of a PDF, page after page, each page's text followed by a line
// end. False with the reason when the file is no PDF, is damaged or needs a
// password.
bool readPdfText(const QString& path, QString* text, QString* error);

// The words of every page, for a file already known to open.
bool readPdfWords(const QString& path, QList<PdfWord>* words, QString* error);

// Every image the pages draw, in drawing order, with its position found by
// walking the page content (forms included).
bool readPdfImages(const QString& path, QList<PdfImage>* images, QString* error);

}  // namespace zoma
