// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/pdf/pdf_maker.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <QFile>
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

bool writeRawPdf(const QString& path, const QList<QByteArray>& objects) {
    QByteArray out("%PDF-1.4\n");
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << out.size();
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets) {
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

QByteArray streamObject(const QByteArray& entries, const QByteArray& data, bool flate) {
    // qCompress puts the length in four bytes before the zlib stream.
    const QByteArray bytes = flate ? qCompress(data).mid(4) : data;
    return "<< " + entries + (flate ? " /Filter /FlateDecode" : "") + " /Length " +
           QByteArray::number(bytes.size()) + " >>\nstream\n" + bytes + "\nendstream";
}

QList<QByteArray> onePage(const QByteArray& resources, const QByteArray& contentBody) {
    return {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources " + resources +
                " /Contents 4 0 R >>",
            contentBody};
}

QByteArray withContentByteFlipped(const QByteArray& pdf, int page) {
    QPDF doc;
    doc.processMemoryFile("flipped", pdf.constData(), size_t(pdf.size()));
    QPDFObjectHandle contents = QPDFPageDocumentHelper(doc)
                                    .getAllPages()
                                    .at(size_t(page))
                                    .getObjectHandle()
                                    .getKey("/Contents");
    if (contents.isArray()) contents = contents.getArrayItem(0);
    const QByteArray head = "\n" + QByteArray::number(contents.getObjectID()) + " 0 obj";
    const qsizetype object = pdf.indexOf(head);
    const qsizetype start = pdf.indexOf("stream", object) + 7;
    const qsizetype end = pdf.indexOf("endstream", start);
    QByteArray out = pdf;
    if (object < 0 || start < 7 || end < start) return {};
    out[(start + end) / 2] = char(out[(start + end) / 2] ^ 0x5a);
    return out;
}

}  // namespace pdfmaker
