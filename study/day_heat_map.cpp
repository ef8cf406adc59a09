// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/day_heat_map.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

DayHeatMap::DayHeatMap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dayHeatMap"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

namespace {

// The legend's steps, as answers out of a hundred at most: none, the least
// colour, and on to the most.
constexpr int kLegendSteps[] = {0, 1, 34, 67, 100};

}  // namespace

void DayHeatMap::setCounts(QMap<QDate, int> counts, const QDate& today) {
    m_counts = std::move(counts);
    m_today = today;
    m_most = 1;
    int total = 0, days = 0;
    QDate busiest;
    for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
        if (it.key() < firstDay() || it.key() > today || it.value() <= 0) continue;
        total += it.value();
        ++days;
        if (!busiest.isValid() || it.value() > m_counts.value(busiest)) busiest = it.key();
    }
    if (busiest.isValid()) m_most = m_counts.value(busiest);
    QString said = QStringLiteral("共答 %1 题，答题 %2 天").arg(total).arg(days);
    if (busiest.isValid()) {
        said += QStringLiteral("，最多的一天 %1 答 %2 题")
                    .arg(busiest.toString(QStringLiteral("yyyy-MM-dd")))
                    .arg(m_most);
    }
    said += QStringLiteral("，今天 %1 题。颜色越深答题越多。").arg(m_counts.value(today));
    setAccessibleDescription(said);
    update();
}

int DayHeatMap::labelWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("周一")) + 6;
}

QColor DayHeatMap::colour(int count, int most) const {
    const QColor empty = palette().color(QPalette::Midlight);
    if (count <= 0) return empty;
    const QColor full(0x1a, 0x8c, 0x3a);
    // A quarter of the colour at least, so one answer shows.
    const double t = 0.25 + 0.75 * std::min(1.0, double(count) / std::max(most, 1));
    return QColor::fromRgbF(float(empty.redF() + (full.redF() - empty.redF()) * t),
                            float(empty.greenF() + (full.greenF() - empty.greenF()) * t),
                            float(empty.blueF() + (full.blueF() - empty.blueF()) * t));
}

QDate DayHeatMap::firstDay() const {
    return m_today.addDays(1 - m_today.dayOfWeek()).addDays(-7 * (Weeks - 1));
}

QSize DayHeatMap::sizeHint() const {
    // The month row, seven days, and the legend's row.
    return {labelWidth() + Weeks * pitch(), 8 * pitch() + fontMetrics().height() + 8};
}

QRect DayHeatMap::dayRect(const QDate& day) const {
    const qint64 offset = firstDay().daysTo(day);
    const int top = fontMetrics().height() + 4;
    return {labelWidth() + int(offset / 7) * pitch(), top + int(offset % 7) * pitch(), pitch() - 2,
            pitch() - 2};
}

QDate DayHeatMap::dayAt(const QPoint& point) const {
    if (!m_today.isValid()) return {};
    for (QDate d = firstDay(); d <= m_today; d = d.addDays(1)) {
        if (dayRect(d).contains(point)) return d;
    }
    return {};
}

bool DayHeatMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QDate day = dayAt(help->pos());
        if (day.isValid()) {
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("%1：%2 题")
                                   .arg(day.toString(QStringLiteral("yyyy-MM-dd")))
                                   .arg(m_counts.value(day)),
                               this, dayRect(day));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

void DayHeatMap::paintEvent(QPaintEvent*) {
    if (!m_today.isValid()) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QStringList days = {QStringLiteral("周一"), QStringLiteral("周三"),
                              QStringLiteral("周五"), QStringLiteral("周日")};
    for (int i = 0; i < days.size(); ++i) {
        const QRect r = dayRect(firstDay().addDays(i * 2));
        painter.drawText(QRect(0, r.top(), r.left(), r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         days[i]);
    }
    for (int week = 0; week < Weeks; week += 4) {
        const QDate monday = firstDay().addDays(7 * week);
        const QRect r = dayRect(monday);
        painter.drawText(QPoint(r.left(), fontMetrics().ascent()),
                         monday.toString(QStringLiteral("M月d日")));
    }
    for (QDate d = firstDay(); d <= m_today; d = d.addDays(1))
        painter.fillRect(dayRect(d), colour(m_counts.value(d), m_most));

    // The legend under the last row: 少, the steps of colour, 多.
    QRect box = dayRect(firstDay().addDays(6)).translated(0, pitch() + 4);
    painter.drawText(QRect(0, box.top(), box.left() - 4, box.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("少"));
    for (const int step : kLegendSteps) {
        painter.fillRect(box, colour(step, 100));
        box.translate(pitch(), 0);
    }
    painter.drawText(QRect(box.left(), box.top(), width() - box.left(), box.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("多"));
}
