// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_rules.h"
#include "exam/exam_session.h"

#include <QDate>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

class QPaintDevice;
class QPainter;

// One paper as it is printed: what its header says and its questions as drawn.
struct PrintPaper {
    QString title;  // "C类模拟试卷", "C类错题本"
    Edition edition = Edition::Earlier;
    QString rule;  // the rule line of the header; empty where no rule applies
    QDate date;
    QString number;  // ties the paper to its key; on every page
    QList<ShownQuestion> questions;
    QList<int> wrong;  // per question, how often it went wrong; empty on a mock paper
};

namespace zoma {

// "单选32题，多选8题，40分钟，30题合格", as the header states the rule.
QString printedRule(const ExamRule& rule);

}  // namespace zoma

// Where everything of one paper goes on A4 pages: the header, the questions
// with their pictures and answer boxes, then the answer sheet and the key,
// each starting a page of its own. A question never runs over a page break
// unless it is taller than a page. Lengths are in the device's units.
class PaperLayout final {
public:
    // pictures holds the decoded picture of each path (a missing or null one
    // is printed without a picture).
    PaperLayout(const PrintPaper& paper, const QHash<QString, QImage>& pictures,
                const QPaintDevice& device);

    int pageCount() const { return int(m_pages.size()); }
    // The pages (from 0) on which question i begins and ends.
    int firstPage(int question) const { return m_spans[question].first; }
    int lastPage(int question) const { return m_spans[question].second; }
    int sheetPage() const { return m_sheetPage; }
    int keyPage() const { return m_keyPage; }

    void paint(QPainter& painter, int page) const;

private:
    struct Item {
        enum class Kind { Text, Picture, Box, Line } kind = Kind::Text;
        QRectF rect;
        QString text;
        int font = 0;  // index into m_fonts
        int flags = 0;
        QImage picture;
    };
    using Page = QList<Item>;

    void addHeader();
    void addQuestion(int i);
    void addSheet();
    void addKey();
    void newPage();
    // Room for height at the cursor, or else a new page; false when the
    // cursor already stands at the top of an empty page.
    void makeRoom(qreal height);
    qreal textHeight(const QString& text, int font, qreal width) const;
    // The fields joined on lines as far as each line holds them.
    QString fieldLines(const QStringList& fields, int font) const;
    // text with a line break before each unit (from its start in units to
    // the next) that its wrapped lines would part.
    QString keptWhole(QString text, QList<qsizetype> units, int font, qreal width) const;
    void addText(const QRectF& rect, const QString& text, int font, int flags = 0);
    void addBox(const QRectF& rect);
    // Cells in columns down each page, then across, starting on a new page.
    void addColumns(const QString& heading, int count, qreal cellWidth,
                    const std::function<void(int, QPointF)>& cell);

    const PrintPaper& m_paper;
    const QHash<QString, QImage>& m_pictures;
    const QPaintDevice& m_device;
    QList<QFont> m_fonts;  // body, title, small
    qreal m_mm = 1;        // device units in a millimetre
    qreal m_width = 0;     // of the text column
    qreal m_bottom = 0;    // where the footer begins
    qreal m_y = 0;
    QList<Page> m_pages;
    QList<std::pair<int, int>> m_spans;
    int m_sheetPage = 0;
    int m_keyPage = 0;
};
