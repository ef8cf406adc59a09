// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QTreeWidget>

// The syllabus chapters of the 2025 edition as a tree (1 → 1.1 → 1.1.1),
// each with its number of questions, under one entry for every question.
class ChapterTree final : public QTreeWidget {
    Q_OBJECT

public:
    explicit ChapterTree(QWidget* parent = nullptr);

    // Counts as zoma::chapterCounts gives them; "全部" heads the tree with total.
    void setChapters(const QMap<QString, int>& counts, int total);
    QString chosen() const;

signals:
    // The code chosen, or empty text for every question.
    void chapterChosen(const QString& code);
};
