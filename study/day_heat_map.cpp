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

void DayHeatMap::setCounts(QMap<QDate, int> counts, const QDate& today) {
    m_counts = std::move(counts);
    m_today = today;
    update();
}

QDate DayHeatMap::firstDay() const {
    return m_today.addDays(1 - m_today.dayOfWeek()).addDays(-7 * (Weeks - 1));
}

QSize DayHeatMap::sizeHint() const {
    const int label = fontMetrics().horizontalAdvance(QStringLiteral("周一")) + 6;
    return {label + Weeks * pitch(), 7 * pitch() + fontMetrics().height() + 4};
}

QRect DayHeatMap::dayRect(const QDate& day) const {
    const qint64 offset = firstDay().daysTo(day);
    const int label = fontMetrics().horizontalAdvance(QStringLiteral("周一")) + 6;
    const int top = fontMetrics().height() + 4;
    return {label + int(offset / 7) * pitch(), top + int(offset % 7) * pitch(), pitch() - 2,
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
    const QColor text = palette().color(QPalette::WindowText);
    const QColor empty = palette().color(QPalette::Midlight);
    const QColor full(0x1a, 0x8c, 0x3a);
    int most = 1;
    for (const int n : m_counts) most = std::max(most, n);
    painter.setPen(text);
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
    for (QDate d = firstDay(); d <= m_today; d = d.addDays(1)) {
        const int n = m_counts.value(d);
        QColor c = empty;
        if (n > 0) {
            // A quarter of the colour at least, so one answer shows.
            const double t = 0.25 + 0.75 * double(n) / most;
            c = QColor::fromRgbF(float(empty.redF() + (full.redF() - empty.redF()) * t),
                                 float(empty.greenF() + (full.greenF() - empty.greenF()) * t),
                                 float(empty.blueF() + (full.blueF() - empty.blueF()) * t));
        }
        painter.fillRect(dayRect(d), c);
    }
}
