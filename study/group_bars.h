// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/study_facts.h"

#include <QWidget>

// One bar a chapter (or label prefix): known, learning and new questions
// side by side, with their numbers.
class GroupBars final : public QWidget {
    Q_OBJECT

public:
    explicit GroupBars(QWidget* parent = nullptr);
    void setGroups(QList<GroupCounts> groups);
    const QList<GroupCounts>& groups() const { return m_groups; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<GroupCounts> m_groups;
};
