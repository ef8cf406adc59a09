// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

// PDF files written the way the publisher's look: lines of text page after
// page, or pictures with a caption under each.
namespace pdfmaker {

// Each page's lines, drawn top down in A4 pages.
bool writeTextPdf(const QString& path, const QList<QStringList>& pages);

struct Drawing {
    int page = 0;
    QRectF box;            // where the picture stands, points from the top-left corner
    QImage image;          // drawn as a JPEG unless mono
    QString caption;       // empty: none
    QPointF captionShift;  // from the place under the picture's left edge
};
bool writeSheetPdf(const QString& path, const QList<Drawing>& drawings);

// A small picture that differs by its seed.
QImage picture(int seed);

// A PDF written object by object, for what the painter never writes:
// objects[i] is the body of object i + 1, object 1 the catalogue.
bool writeRawPdf(const QString& path, const QList<QByteArray>& objects);

// The body of a stream object: the dictionary's other entries and the data,
// Flate-compressed when flate is set.
QByteArray streamObject(const QByteArray& entries, const QByteArray& data, bool flate = false);

// One A4 page (object 3 under the pages object 2) whose content is the
// stream of object 4 and whose resources are given; the objects after it
// follow from 5 on.
QList<QByteArray> onePage(const QByteArray& resources, const QByteArray& contentBody);

// A copy of a PDF with a byte changed in the middle of page page's first
// content stream, found through the file's own records.
QByteArray withContentByteFlipped(const QByteArray& pdf, int page);

}  // namespace pdfmaker
