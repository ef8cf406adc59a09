// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/paper_layout.h"

#include "ui/fonts.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

enum Font { Body, Title, Small };

const QString kMultipleTag = QStringLiteral("（多选）");
constexpr qreal kPictureDpi = 150;   // a picture made for the screen, at a size that reads on paper
constexpr qreal kPictureMaxMm = 90;  // no picture takes more of a page than this
constexpr qreal kAnswerIndentMm = 6;   // answers stand in from their question
constexpr qreal kQuestionGapMm = 3.5;  // between two questions
constexpr qreal kFooterMm = 8;         // the page number's line at the foot

}  // namespace

QString zoma::printedRule(const ExamRule& rule) {
    QString text = QStringLiteral("单选%1题").arg(rule.singles);
    if (rule.multiples > 0) text += QStringLiteral("，多选%1题").arg(rule.multiples);
    return text + QStringLiteral("，%1分钟，%2题合格").arg(rule.minutes).arg(rule.passMark);
}

PaperLayout::PaperLayout(const PrintPaper& paper, const QHash<QString, QImage>& pictures,
                         const QPaintDevice& device)
    : m_paper(paper), m_pictures(pictures), m_device(device) {
    m_fonts = {zoma::songti(10.5), zoma::songti(16), zoma::songti(9)};
    m_fonts[Title].setBold(true);
    m_mm = device.logicalDpiY() / 25.4;
    m_width = device.width();
    m_bottom = device.height() - kFooterMm * m_mm;

    newPage();
    addHeader();
    m_spans.resize(paper.questions.size());
    for (int i = 0; i < paper.questions.size(); ++i) addQuestion(i);
    newPage();
    m_sheetPage = int(m_pages.size()) - 1;
    addSheet();
    newPage();
    m_keyPage = int(m_pages.size()) - 1;
    addKey();
}

void PaperLayout::newPage() {
    m_pages.append(Page());
    m_y = 0;
}

void PaperLayout::makeRoom(qreal height) {
    if (m_y > 0 && m_y + height > m_bottom) newPage();
}

qreal PaperLayout::textHeight(const QString& text, int font, qreal width) const {
    const QFontMetricsF metrics(m_fonts[font], &m_device);
    return metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height();
}

void PaperLayout::addText(const QRectF& rect, const QString& text, int font, int flags) {
    m_pages.last().append({Item::Kind::Text, rect, text, font, flags | Qt::TextWordWrap, {}});
}

void PaperLayout::addBox(const QRectF& rect) {
    m_pages.last().append({Item::Kind::Box, rect, {}, 0, 0, {}});
}

void PaperLayout::addHeader() {
    const qreal titleHeight = textHeight(m_paper.title, Title, m_width);
    addText(QRectF(0, 0, m_width, titleHeight), m_paper.title, Title, Qt::AlignHCenter);
    m_y = titleHeight + 2 * m_mm;

    // What the paper is on one line, which paper on the next; a field goes
    // whole to a line of its own where the line would not hold it.
    QStringList what{QStringLiteral("题库版本：%1").arg(zoma::editionTitle(m_paper.edition))};
    if (!m_paper.rule.isEmpty()) what << QStringLiteral("规则：") + m_paper.rule;
    const QStringList which{
        QStringLiteral("日期：%1").arg(m_paper.date.toString(QStringLiteral("yyyy-MM-dd"))),
        QStringLiteral("试卷编号：%1").arg(m_paper.number)};
    const QString info = fieldLines(what, Body) + u'\n' + fieldLines(which, Body);
    const qreal infoHeight = textHeight(info, Body, m_width);
    addText(QRectF(0, m_y, m_width, infoHeight), info, Body, Qt::AlignHCenter);
    m_y += infoHeight + 4 * m_mm;

    // A line to write the name on, and one for the score.
    const QFontMetricsF metrics(m_fonts[Body], &m_device);
    const QString name = QStringLiteral("姓名：");
    const QString score = QStringLiteral("得分：");
    const qreal line = metrics.height();
    const qreal nameWidth = metrics.horizontalAdvance(name);
    const qreal scoreWidth = metrics.horizontalAdvance(score);
    addText(QRectF(0, m_y, nameWidth * 2, line), name, Body);
    m_pages.last().append(
        {Item::Kind::Line, QRectF(nameWidth, m_y + line, 60 * m_mm, 0), {}, 0, 0, {}});
    const qreal scoreX = nameWidth + 75 * m_mm;
    addText(QRectF(scoreX, m_y, scoreWidth * 2, line), score, Body);
    m_pages.last().append(
        {Item::Kind::Line, QRectF(scoreX + scoreWidth, m_y + line, 30 * m_mm, 0), {}, 0, 0, {}});
    m_y += line + 6 * m_mm;
}

QString PaperLayout::fieldLines(const QStringList& fields, int font) const {
    const QFontMetricsF metrics(m_fonts[font], &m_device);
    QStringList lines;
    for (const QString& field : fields) {
        const QString joined = lines.isEmpty() ? QString() : lines.last() + u'　' + field;
        if (!joined.isEmpty() && metrics.horizontalAdvance(joined) <= m_width) {
            lines.last() = joined;
        } else {
            lines << field;
        }
    }
    return lines.join(u'\n');
}

QString PaperLayout::keptWhole(QString text, QList<qsizetype> units, int font, qreal width) const {
    for (qsizetype u = 0; u < units.size(); ++u) {
        const qsizetype end = u + 1 < units.size() ? units[u + 1] : text.size();
        QString measured = text;
        measured.replace(u'\n', QChar::LineSeparator);  // as QPainter::drawText takes it
        QTextLayout layout(measured, m_fonts[font], &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        bool parted = false;
        for (QTextLine line = layout.createLine(); line.isValid() && !parted;
             line = layout.createLine()) {
            line.setLineWidth(width);
            const qsizetype lineEnd = line.textStart() + line.textLength();
            parted = lineEnd > units[u] && lineEnd < end;
        }
        layout.endLayout();
        if (!parted) continue;
        text.insert(units[u], u'\n');
        for (qsizetype k = u + 1; k < units.size(); ++k) ++units[k];
    }
    return text;
}

void PaperLayout::addQuestion(int i) {
    const ShownQuestion& shown = m_paper.questions[i];
    const ExamQuestion& q = shown.question;
    QString text = QStringLiteral("%1. %2").arg(i + 1).arg(q.text);
    // The notes after the question are never broken over two lines.
    QList<qsizetype> notes;
    if (q.multiple()) {
        notes << text.size();
        text += kMultipleTag;
    }
    if (i < m_paper.wrong.size()) {
        text += u'　';
        notes << text.size();
        text += QStringLiteral("（错%1次）").arg(m_paper.wrong[i]);
    }
    text = keptWhole(text, notes, Body, m_width);

    // The parts of the question, each kept whole: text, picture, four answers.
    struct Part {
        qreal height = 0;
        std::function<void(qreal y)> place;
    };
    QList<Part> parts;
    const qreal textH = textHeight(text, Body, m_width);
    parts.append(
        {textH, [=, this](qreal y) { addText(QRectF(0, y, m_width, textH), text, Body); }});

    const qreal indent = kAnswerIndentMm * m_mm;
    const QImage picture = q.picture.isEmpty() ? QImage() : m_pictures.value(q.picture);
    if (!picture.isNull()) {
        QSizeF size = QSizeF(picture.size()) * (m_device.logicalDpiX() / kPictureDpi);
        size = size.scaled(QSizeF(std::min(size.width(), m_width - indent),
                                  std::min(size.height(), kPictureMaxMm * m_mm)),
                           Qt::KeepAspectRatio);
        const qreal gap = 1.5 * m_mm;
        parts.append({size.height() + 2 * gap, [=, this](qreal y) {
                          m_pages.last().append({Item::Kind::Picture,
                                                 QRectF(QPointF(indent, y + gap), size),
                                                 {},
                                                 0,
                                                 0,
                                                 picture});
                      }});
    }

    const QFontMetricsF metrics(m_fonts[Body], &m_device);
    const qreal box = metrics.ascent() * 0.9;
    const qreal answerX = indent + box + 2 * m_mm;
    for (int k = 0; k < 4; ++k) {
        const QString answer = QStringLiteral("%1. %2").arg(QChar(u'A' + k)).arg(shown.answer(k));
        const qreal h = textHeight(answer, Body, m_width - answerX) + 0.8 * m_mm;
        parts.append({h, [=, this](qreal y) {
                          const qreal top = y + (metrics.ascent() - box) / 2 + metrics.leading();
                          addBox(QRectF(indent, top, box, box));
                          addText(QRectF(answerX, y, m_width - answerX, h), answer, Body);
                      }});
    }

    qreal total = kQuestionGapMm * m_mm;
    for (const Part& p : parts) total += p.height;
    makeRoom(total);
    m_spans[i].first = int(m_pages.size()) - 1;
    // Taller than a page: broken between its parts, never inside one.
    for (const Part& p : parts) {
        makeRoom(p.height);
        p.place(m_y);
        m_y += p.height;
    }
    m_y += kQuestionGapMm * m_mm;
    m_spans[i].second = int(m_pages.size()) - 1;
}

void PaperLayout::addColumns(const QString& heading, int count, qreal cellWidth,
                             const std::function<void(int, QPointF)>& cell) {
    const qreal headingH = textHeight(heading, Body, m_width);
    const qreal rowH = QFontMetricsF(m_fonts[Body], &m_device).height() * 1.45;
    const int columns = std::max(1, int(m_width / cellWidth));
    const qreal columnW = m_width / columns;
    int done = 0;
    while (true) {
        addText(QRectF(0, 0, m_width, headingH), heading, Body, Qt::AlignHCenter);
        const qreal top = headingH + 5 * m_mm;
        const int rows = std::max(1, int((m_bottom - top) / rowH));
        // Columns filled evenly, so that a short list stays in its first rows.
        const int onPage = std::min(count - done, rows * columns);
        const int perColumn = (onPage + columns - 1) / std::max(1, columns);
        for (int k = 0; k < onPage; ++k) {
            cell(done + k, QPointF((k / perColumn) * columnW, top + (k % perColumn) * rowH));
        }
        done += onPage;
        if (done >= count) break;
        newPage();
    }
}

void PaperLayout::addSheet() {
    const QFontMetricsF metrics(m_fonts[Body], &m_device);
    const qreal box = metrics.ascent() * 0.9;
    const qreal number = metrics.horizontalAdvance(QStringLiteral("000. "));
    const qreal letter = box + metrics.horizontalAdvance(QStringLiteral("D")) + 2.5 * m_mm;
    const qreal line = metrics.height();
    const QString heading =
        QStringLiteral("答题卡　%1　试卷编号：%2").arg(m_paper.title, m_paper.number);
    addColumns(
        heading, int(m_paper.questions.size()), number + 4 * letter + 6 * m_mm,
        [&](int i, QPointF at) {
            addText(QRectF(at, QSizeF(number, line)), QStringLiteral("%1.").arg(i + 1), Body);
            for (int k = 0; k < 4; ++k) {
                const qreal x = at.x() + number + k * letter;
                addBox(
                    QRectF(x, at.y() + (metrics.ascent() - box) / 2 + metrics.leading(), box, box));
                addText(QRectF(x + box + 0.8 * m_mm, at.y(), letter, line),
                        QString(QChar(u'A' + k)), Body);
            }
        });
}

void PaperLayout::addKey() {
    const QFontMetricsF metrics(m_fonts[Body], &m_device);
    const qreal line = metrics.height();
    const qreal cellW = metrics.horizontalAdvance(QStringLiteral("000. MC2-0000 ABCD")) + 8 * m_mm;
    const QString heading =
        QStringLiteral("参考答案　%1　试卷编号：%2").arg(m_paper.title, m_paper.number);
    addColumns(heading, int(m_paper.questions.size()), cellW, [&](int i, QPointF at) {
        const ShownQuestion& q = m_paper.questions[i];
        addText(QRectF(at, QSizeF(cellW, line)),
                QStringLiteral("%1. %2 %3").arg(i + 1).arg(q.question.id, zoma::letters(q.correct)),
                Body);
    });
}

void PaperLayout::paint(QPainter& painter, int page) const {
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(0.25 * m_mm);
    painter.setPen(pen);
    for (const Item& item : m_pages[page]) {
        switch (item.kind) {
            case Item::Kind::Text:
                painter.setFont(m_fonts[item.font]);
                painter.drawText(item.rect, item.flags, item.text);
                break;
            case Item::Kind::Picture:
                painter.drawImage(item.rect, item.picture);
                break;
            case Item::Kind::Box:
                painter.drawRect(item.rect);
                break;
            case Item::Kind::Line:
                painter.drawLine(item.rect.topLeft(), item.rect.topRight());
                break;
        }
    }
    const QString footer = QStringLiteral("%1　试卷编号：%2　第%3页／共%4页")
                               .arg(m_paper.title, m_paper.number)
                               .arg(page + 1)
                               .arg(m_pages.size());
    painter.setFont(m_fonts[Small]);
    painter.drawText(QRectF(0, m_bottom, m_width, m_device.height() - m_bottom),
                     Qt::AlignHCenter | Qt::AlignBottom, footer);
    painter.restore();
}
