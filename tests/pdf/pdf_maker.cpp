// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/pdf/pdf_maker.h"

#include <QFont>
#include <QPainter>
#include <QPdfWriter>

namespace pdfmaker {

namespace {

// An A4 page without margins at 72 dots an inch, so that a point is a dot.
bool begin(QPdfWriter& writer, QPainter& painter) {
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    if (!painter.begin(&writer)) return false;
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(10);
    painter.setFont(font);
    return true;
}

}  // namespace

bool writeTextPdf(const QString& path, const QList<QStringList>& pages) {
    QPdfWriter writer(path);
    QPainter painter;
    if (!begin(writer, painter)) return false;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0) writer.newPage();
        double y = 60;
        for (const QString& line : pages[p]) {
            painter.drawText(QPointF(60, y), line);
            y += 16;
        }
    }
    return painter.end();
}

bool writeSheetPdf(const QString& path, const QList<Drawing>& drawings) {
    QPdfWriter writer(path);
    QPainter painter;
    if (!begin(writer, painter)) return false;
    int page = 0;
    for (const Drawing& d : drawings) {
        while (page < d.page) {
            writer.newPage();
            ++page;
        }
        painter.drawImage(d.box, d.image);
        if (!d.caption.isEmpty()) {
            painter.drawText(d.box.bottomLeft() + QPointF(0, 12) + d.captionShift, d.caption);
        }
    }
    return painter.end();
}

QImage picture(int seed) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((seed * 47) % 360, 200, 220));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawLine(0, seed % 30, 39, 29 - seed % 30);
    return image;
}

}  // namespace pdfmaker
