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

}  // namespace pdfmaker
