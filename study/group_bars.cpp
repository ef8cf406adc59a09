// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/group_bars.h"

#include "study/progress_map.h"

#include <QPainter>

#include <algorithm>

GroupBars::GroupBars(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("groupBars"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GroupBars::setGroups(QList<GroupCounts> groups) {
    m_groups = std::move(groups);
    updateGeometry();
    update();
}

QSize GroupBars::sizeHint() const {
    return {400, int(m_groups.size()) * (fontMetrics().height() + 4)};
}

void GroupBars::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height() + 4;
    int nameWidth = 0;
    int most = 1;
    for (const GroupCounts& g : m_groups) {
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(g.name));
        most = std::max(most, g.fresh + g.learning + g.known);
    }
    const QString widest = QStringLiteral("%1 / %2 / %3").arg(most).arg(most).arg(most);
    const int numbersWidth = metrics.horizontalAdvance(widest) + 8;
    const int barLeft = nameWidth + 8;
    const int barWidth = std::max(20, width() - barLeft - numbersWidth);
    const QColor known = zoma::standingColour({StudyState::Known, 1});
    const QColor learning = zoma::standingColour({StudyState::Learning, 0});
    const QColor fresh = zoma::standingColour({StudyState::New, 0});
    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < m_groups.size(); ++i) {
        const GroupCounts& g = m_groups[i];
        const int y = i * line;
        painter.drawText(QRect(0, y, nameWidth, line), Qt::AlignRight | Qt::AlignVCenter, g.name);
        // Bars to one scale, so that a small chapter looks small.
        int x = barLeft;
        for (const auto& [count, colour] :
             {std::pair{g.known, known}, std::pair{g.learning, learning},
              std::pair{g.fresh, fresh}}) {
            const int w = int(double(count) * barWidth / most + 0.5);
            painter.fillRect(x, y + 3, w, line - 6, colour);
            x += w;
        }
        painter.drawText(QRect(barLeft + barWidth + 8, y, numbersWidth, line),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 / %2 / %3").arg(g.known).arg(g.learning).arg(g.fresh));
    }
}
