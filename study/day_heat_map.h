// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QMap>
#include <QWidget>

// Answers per day over the last twelve weeks as a calendar: a column a
// week, Monday on top, the darker the more answers, with a legend from 少 to
// 多 below. A screen reader is told the totals in the description.
class DayHeatMap final : public QWidget {
    Q_OBJECT

public:
    static constexpr int Weeks = 12;

    explicit DayHeatMap(QWidget* parent = nullptr);

    void setCounts(QMap<QDate, int> counts, const QDate& today);
    // The first day shown: the Monday of the week eleven weeks before today's.
    QDate firstDay() const;
    QRect dayRect(const QDate& day) const;
    // The colour of a day with count answers, when the most on a day was most.
    QColor colour(int count, int most) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int pitch() const { return fontMetrics().height() + 2; }
    int labelWidth() const;
    QDate dayAt(const QPoint& point) const;

    QMap<QDate, int> m_counts;
    QDate m_today;
    int m_most = 1;
};
