// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/study_facts.h"

#include <QColor>
#include <QList>
#include <QWidget>

struct MapCell {
    QString id;
    QString tip;  // what hovering shows: identifier and the start of the question
    QuestionStanding standing;
};

namespace zoma {

// The map's colour of a standing: grey for new, amber for learning, red for
// lapsed, green from pale (retrievability 0.7 or less) to deep (1). The same
// on a light and a dark desktop: each stands out against both.
QColor standingColour(const QuestionStanding& standing);

}  // namespace zoma

// Every question of the level as one small square in bank order, coloured
// by its standing; hovering names the question, a click opens it.
class ProgressMap final : public QWidget {
    Q_OBJECT

public:
    explicit ProgressMap(QWidget* parent = nullptr);

    void setCells(QList<MapCell> cells);
    const QList<MapCell>& cells() const { return m_cells; }
    // The cell under a point of the widget, or -1.
    int cellAt(const QPoint& point) const;
    QRect cellRect(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

signals:
    void questionClicked(const QString& id);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int columns(int width) const;
    int pitch() const;

    QList<MapCell> m_cells;
    QList<QColor> m_colours;  // one a cell, worked out once per change
};
