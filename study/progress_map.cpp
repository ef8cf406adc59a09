// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/progress_map.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int kGap = 2;

}  // namespace

QColor zoma::standingColour(const QuestionStanding& standing) {
    switch (standing.state) {
        case StudyState::New:
            return QColor(0xa8, 0xa8, 0xa8);
        case StudyState::Learning:
            return QColor(0xf0, 0xa0, 0x30);
        case StudyState::Lapsed:
            return QColor(0xd8, 0x40, 0x40);
        case StudyState::Known:
            break;
    }
    // Pale green for a fading memory (at or below the lowest retention a user
    // may ask for), deep green for a fresh one.
    const double t = std::clamp((standing.retrievability - 0.7) / 0.3, 0.0, 1.0);
    const auto mix = [t](int pale, int deep) { return int(pale + (deep - pale) * t + 0.5); };
    return QColor(mix(0xb8, 0x1a), mix(0xe6, 0x8c), mix(0xa0, 0x3a));
}

ProgressMap::ProgressMap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("progressMap"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ProgressMap::setCells(QList<MapCell> cells) {
    m_cells = std::move(cells);
    m_colours.clear();
    m_colours.reserve(m_cells.size());
    for (const MapCell& cell : m_cells) m_colours.append(zoma::standingColour(cell.standing));
    updateGeometry();
    update();
}

int ProgressMap::pitch() const {
    // Grows with the text, so that Ctrl++ makes the squares easier to hit.
    return std::max(8, fontMetrics().height() * 3 / 4) + kGap;
}

int ProgressMap::columns(int width) const {
    return std::max(1, (width + kGap) / pitch());
}

int ProgressMap::heightForWidth(int width) const {
    const int n = int(m_cells.size());
    return (n + columns(width) - 1) / columns(width) * pitch();
}

QSize ProgressMap::sizeHint() const {
    const int w = 50 * pitch();
    return {w, heightForWidth(w)};
}

QRect ProgressMap::cellRect(int index) const {
    const int c = columns(width()), p = pitch();
    return {index % c * p, index / c * p, p - kGap, p - kGap};
}

int ProgressMap::cellAt(const QPoint& point) const {
    const int p = pitch();
    if (point.x() < 0 || point.y() < 0 || point.x() % p >= p - kGap || point.y() % p >= p - kGap) {
        return -1;
    }
    const int c = columns(width());
    if (point.x() / p >= c) return -1;
    const int i = point.y() / p * c + point.x() / p;
    return i < m_cells.size() ? i : -1;
}

bool ProgressMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int i = cellAt(help->pos());
        if (i < 0) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), m_cells[i].tip, this, cellRect(i));
        }
        return true;
    }
    return QWidget::event(event);
}

void ProgressMap::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int c = columns(width()), p = pitch();
    // Only the rows the event asks for: a scrolled map repaints a strip.
    const int firstRow = std::max(0, event->rect().top() / p);
    const int lastRow = event->rect().bottom() / p;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < c; ++col) {
            const int i = row * c + col;
            if (i >= m_cells.size()) return;
            painter.fillRect(col * p, row * p, p - kGap, p - kGap, m_colours[i]);
        }
    }
}

void ProgressMap::mouseReleaseEvent(QMouseEvent* event) {
    const int i = event->button() == Qt::LeftButton ? cellAt(event->position().toPoint()) : -1;
    if (i >= 0) emit questionClicked(m_cells[i].id);
}
