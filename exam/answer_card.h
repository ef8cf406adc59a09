// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

// Every question number of an exam as one cell: answered, unanswered,
// marked, and the current one outlined. A click on a cell asks to go there.
// Painted as one widget: a button per question would cost the start of an
// exam more than everything else together.
class AnswerCard final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnswerCard)

public:
    struct Cell {
        bool answered = false;
        bool marked = false;
    };

    explicit AnswerCard(QWidget* parent = nullptr);

    void setCells(const QList<Cell>& cells, int current);
    int count() const { return int(m_cells.size()); }
    const Cell& cell(int i) const { return m_cells[i]; }
    int current() const { return m_current; }
    // Where cell i lies, in the card's coordinates.
    QRect cellRect(int i) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void cellClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static constexpr int Columns = 10;
    static constexpr int CellWidth = 32;
    static constexpr int CellHeight = 24;
    static constexpr int Gap = 3;

    QList<Cell> m_cells;
    int m_current = -1;
};
