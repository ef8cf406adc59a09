// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/answer_card.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kAnswered(0xb7, 0xe1, 0xa1);
const QColor kMarked(0xff, 0xc8, 0x6e);
const QColor kUnanswered(Qt::white);

}  // namespace

AnswerCard::AnswerCard(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("答题卡"));
    setAccessibleDescription(
        QStringLiteral("绿色为已答，橙色为已标记，白色为未答，粗框为当前题；点击题号跳转"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void AnswerCard::setCells(const QList<Cell>& cells, int current) {
    const bool resized = cells.size() != m_cells.size();
    m_cells = cells;
    m_current = current;
    if (resized) updateGeometry();
    update();
}

QRect AnswerCard::cellRect(int i) const {
    return QRect(Gap + (i % Columns) * (CellWidth + Gap), Gap + (i / Columns) * (CellHeight + Gap),
                 CellWidth, CellHeight);
}

QSize AnswerCard::sizeHint() const {
    const int rows = std::max(1, int((m_cells.size() + Columns - 1) / Columns));
    return QSize(Gap + Columns * (CellWidth + Gap), Gap + rows * (CellHeight + Gap));
}

void AnswerCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < m_cells.size(); ++i) {
        const QRect r = cellRect(i);
        const Cell& c = m_cells[i];
        painter.fillRect(r, c.marked ? kMarked : c.answered ? kAnswered : kUnanswered);
        painter.setPen(QPen(i == m_current ? Qt::black : Qt::gray, i == m_current ? 3 : 1));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawText(r, Qt::AlignCenter, QString::number(i + 1));
    }
}

void AnswerCard::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < m_cells.size(); ++i) {
        if (cellRect(i).contains(event->position().toPoint())) {
            emit cellClicked(i);
            return;
        }
    }
}
