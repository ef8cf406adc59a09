// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/study_facts.h"

#include <QPointF>
#include <QRectF>
#include <QWidget>

namespace zoma {

// Where each exam falls in a plot area: across by its time (one exam in the
// middle), up by its score out of top.
QList<QPointF> chartPositions(const QList<ScorePoint>& points, const QRectF& area, int top);

}  // namespace zoma

// The mock exams of the level, score against date, with the pass mark as a
// dashed line.
class ScoreChart final : public QWidget {
    Q_OBJECT

public:
    explicit ScoreChart(QWidget* parent = nullptr);

    // problem: why the history could not be read, shown in place of the chart.
    void setPoints(QList<ScorePoint> points, int passMark, const QString& problem = {});
    const QList<ScorePoint>& points() const { return m_points; }
    int passMark() const { return m_passMark; }
    int top() const;  // the score at the top of the chart
    QRectF plotArea() const;
    QSize sizeHint() const override { return {480, 14 * fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<ScorePoint> m_points;
    int m_passMark = 0;
    QString m_problem;
};
