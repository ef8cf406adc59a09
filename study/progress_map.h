// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/study_facts.h"

#include <QColor>
#include <QList>
#include <QWidget>

struct MapCell {
    QString id;
    QString said;      // the standing in words, as standingText gives it
    QString question;  // the start of the question
    QuestionStanding standing;
};

namespace zoma {

// The map's colour of a standing: grey for new, amber for learning, red for
// lapsed, green from pale (retrievability 0.7 or less) to deep (1). The same
// on a light and a dark desktop: each stands out against both.
QColor standingColour(const QuestionStanding& standing);

// What the colour of a question's square stands for, in words: "MC1-0005
// 学习中，记忆概率 83%，下次复习 12-09" (the year too when it is another).
QString standingText(const QString& id, const QuestionMemory* memory, const QDateTime& now);

}  // namespace zoma

// Every question of the level as one small square in bank order, coloured
// by its standing; hovering names the question and its standing in words, a
// click opens it. The arrow keys move between the squares and Enter opens
// one; to a screen reader each square is an item of the list, with the same
// words and a press action.
class ProgressMap final : public QWidget {
    Q_OBJECT

public:
    explicit ProgressMap(QWidget* parent = nullptr);

    void setCells(QList<MapCell> cells);
    const QList<MapCell>& cells() const { return m_cells; }
    // The cell under a point of the widget, or -1.
    int cellAt(const QPoint& point) const;
    QRect cellRect(int index) const;
    // The square the keys are on, or -1.
    int current() const { return m_current; }
    void setCurrent(int index);
    // Opens the question of a square, as a click does.
    void open(int index);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

signals:
    void questionClicked(const QString& id);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int columns(int width) const;
    int pitch() const;

    QList<MapCell> m_cells;
    QList<QColor> m_colours;  // one a cell, worked out once per change
    int m_current = -1;
};
