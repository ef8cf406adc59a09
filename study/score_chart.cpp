// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/score_chart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

QList<QPointF> zoma::chartPositions(const QList<ScorePoint>& points, const QRectF& area, int top) {
    QList<QPointF> positions;
    if (points.isEmpty() || top <= 0) return positions;
    const qint64 first = points.first().when.toSecsSinceEpoch();
    const qint64 span = points.last().when.toSecsSinceEpoch() - first;
    for (const ScorePoint& p : points) {
        const double across =
            span > 0 ? double(p.when.toSecsSinceEpoch() - first) / double(span) : 0.5;
        positions.append({area.left() + across * area.width(),
                          area.bottom() - double(p.score) / top * area.height()});
    }
    return positions;
}

ScoreChart::ScoreChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("scoreChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ScoreChart::setPoints(QList<ScorePoint> points, int passMark, const QString& problem) {
    m_points = std::move(points);
    m_passMark = passMark;
    m_problem = problem;
    update();
}

int ScoreChart::top() const {
    int top = std::max(1, m_passMark);
    for (const ScorePoint& p : m_points) top = std::max({top, p.count, p.score});
    return top;
}

QRectF ScoreChart::plotArea() const {
    const QFontMetrics metrics = fontMetrics();
    const double left = metrics.horizontalAdvance(QStringLiteral("0000")) + 8;
    const double bottom = metrics.height() + 6;
    return QRectF(left, metrics.height() / 2.0, width() - left - metrics.height(),
                  height() - bottom - metrics.height() / 2.0);
}

void ScoreChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    const QColor grid = palette().color(QPalette::Mid);
    painter.setPen(text);
    if (!m_problem.isEmpty() || m_points.isEmpty()) {
        painter.drawText(
            rect(), Qt::AlignCenter | Qt::TextWordWrap,
            m_problem.isEmpty() ? QStringLiteral("还没有这个级别的模拟考试记录") : m_problem);
        return;
    }
    const QRectF area = plotArea();
    const int top = this->top();
    const QFontMetrics metrics = fontMetrics();
    // The axes with 0 and the top score.
    painter.setPen(grid);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.topLeft());
    painter.setPen(text);
    for (const int score : {0, top}) {
        const double y = area.bottom() - double(score) / top * area.height();
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, area.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(score));
    }
    // The pass mark.
    const double passY = area.bottom() - double(m_passMark) / top * area.height();
    QPen pass(QColor(0xd8, 0x40, 0x40), 1.5, Qt::DashLine);
    painter.setPen(pass);
    painter.drawLine(QPointF(area.left(), passY), QPointF(area.right(), passY));
    painter.drawText(
        QRectF(area.left() + 4, passY - metrics.height(), area.width(), metrics.height()),
        Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("合格 %1").arg(m_passMark));
    // The dates of the first and the last exam.
    painter.setPen(text);
    const QString format = QStringLiteral("yyyy-MM-dd");
    painter.drawText(QRectF(area.left(), area.bottom() + 4, area.width(), metrics.height()),
                     Qt::AlignLeft, m_points.first().when.date().toString(format));
    if (m_points.size() > 1) {
        painter.drawText(QRectF(area.left(), area.bottom() + 4, area.width(), metrics.height()),
                         Qt::AlignRight, m_points.last().when.date().toString(format));
    }
    const QList<QPointF> at = zoma::chartPositions(m_points, area, top);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    if (at.size() > 1) painter.drawPolyline(at.constData(), int(at.size()));
    for (int i = 0; i < at.size(); ++i) {
        // Passed exams filled, failed ones hollow: readable without colour.
        painter.setBrush(m_points[i].passed ? palette().color(QPalette::Highlight)
                                            : palette().color(QPalette::Base));
        painter.drawEllipse(at[i], 4, 4);
    }
}
