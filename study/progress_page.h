// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/study_facts.h"

#include <QWidget>

class DayHeatMap;
class GroupBars;
class ProgressMap;
class QLabel;
class QListWidget;
class ScoreChart;

// The page 学习进度 of 学习中心, for the level read: the map of every
// question, a bar a chapter, the mock exams as a chart, answers per day and
// the questions most often answered wrongly.
class ProgressPage final : public QWidget {
    Q_OBJECT

public:
    static constexpr int WrongCount = 20;

    ProgressPage(const QuestionBank& bank, const SharedValues& values, MemoryLookup memory,
                 QWidget* parent = nullptr);

    void setClock(std::function<QDateTime()> now);
    ProgressMap* map() const { return m_map; }
    ScoreChart* chart() const { return m_chart; }

public slots:
    // Reads the store, the memory and the exam history again.
    void reload();

signals:
    // A question chosen on the map or in the list, to open in 题库浏览.
    void openQuestion(const QString& id);

private:
    const QuestionBank& m_bank;
    const SharedValues& m_values;
    MemoryLookup m_memory;
    std::function<QDateTime()> m_now = &QDateTime::currentDateTime;
    QLabel* m_title;
    ProgressMap* m_map;
    GroupBars* m_bars;
    QLabel* m_barsTitle;
    ScoreChart* m_chart;
    DayHeatMap* m_days;
    QListWidget* m_wrong;
};
