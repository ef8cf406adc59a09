// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/paper_pdf.h"

#include "common/system_error.h"
#include "ui/picture.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <memory>
#include <vector>

namespace {

constexpr qreal kMarginMm = 15;
constexpr qreal kPictureDpi = 300;  // a picture is decoded at no more than this on the page
constexpr qint64 kChunk = 256 * 1024;

// Collects what the PDF engine writes and passes it on in large pieces: the
// engine writes in many small ones and ignores a failed write, so the first
// failure is kept here to be reported at the end.
class CheckedOutput final : public QIODevice {
public:
    explicit CheckedOutput(QIODevice& out) : m_out(out) { open(QIODevice::WriteOnly); }

    bool finish() {
        drain();
        return m_error.isEmpty();
    }
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (failed()) return length;  // the page is finished, then the write reported
        m_buffer.append(data, length);
        if (m_buffer.size() >= kChunk) drain();
        return length;
    }

private:
    void drain() {
        qint64 at = 0;
        while (at < m_buffer.size() && !failed()) {
            const qint64 n = m_out.write(m_buffer.constData() + at, m_buffer.size() - at);
            if (n <= 0) {
                m_error = zoma::qtReason(m_out.errorString());
                if (m_error.isEmpty()) m_error = QStringLiteral("写入失败");
            }
            at += std::max<qint64>(n, 0);
        }
        m_buffer.clear();
    }

    QIODevice& m_out;
    QByteArray m_buffer;
    QString m_error;
};

}  // namespace

void PaperPdf::setUp(QPdfWriter& writer) {
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
}

void PaperPdf::loadPictures(const QList<PrintPaper>& papers) {
    const qreal columnInches =
        (QPageSize(QPageSize::A4).size(QPageSize::Inch).width() - 2 * kMarginMm / 25.4);
    // The widest a picture is drawn, and the tallest (see PaperLayout).
    const QSize box(int(columnInches * kPictureDpi), int(90 / 25.4 * kPictureDpi));
    for (const PrintPaper& paper : papers) {
        for (const ShownQuestion& shown : paper.questions) {
            const ExamQuestion& q = shown.question;
            QString problem;
            if (!q.picture.isEmpty()) {
                if (m_pictures.contains(q.picture)) continue;
                const QImage image =
                    zoma::readPicture(q.picture, box, Qt::KeepAspectRatio, &problem);
                m_pictures.insert(q.picture, image);
                if (!image.isNull()) continue;
                if (problem.isEmpty()) problem = QStringLiteral("图片已损坏");
                problem = QFileInfo(q.picture).fileName() + QStringLiteral("：") + problem;
            } else if (!q.missingPicture.isEmpty()) {
                problem = q.missingPicture + QStringLiteral("：找不到图片");
            } else {
                continue;
            }
            if (m_reported.contains(q.id)) continue;
            m_reported << q.id;
            m_problems << QStringLiteral("%1（%2）").arg(q.id, problem);
        }
    }
}

bool PaperPdf::write(const QList<PrintPaper>& papers, QIODevice& out, const Progress& progress,
                     QString* error) const {
    CheckedOutput checked(out);
    QPdfWriter writer(&checked);
    setUp(writer);
    if (!papers.isEmpty()) writer.setTitle(papers.first().title);
    writer.setCreator(QStringLiteral("zoma review"));

    std::vector<std::unique_ptr<PaperLayout>> layouts;
    int total = 0;
    for (const PrintPaper& paper : papers) {
        layouts.push_back(std::make_unique<PaperLayout>(paper, m_pictures, writer));
        total += layouts.back()->pageCount();
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        *error = checked.failed() ? checked.error() : QStringLiteral("无法开始写入PDF");
        return false;
    }
    int done = 0;
    for (const auto& layout : layouts) {
        for (int page = 0; page < layout->pageCount() && !checked.failed(); ++page) {
            if (done > 0) writer.newPage();
            layout->paint(painter, page);
            ++done;
            if (progress && !progress(done, total)) {
                painter.end();
                error->clear();
                return false;
            }
        }
    }
    painter.end();
    if (!checked.finish()) {
        *error = checked.error();
        return false;
    }
    return true;
}
