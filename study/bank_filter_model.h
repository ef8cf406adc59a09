// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/question_filter.h"

#include <QSortFilterProxyModel>

class BankTableModel;

// The rows of the bank table the filter lets through, sorted by any column.
// Reads the rows' folded texts straight from the table model rather than
// through data(): a keystroke filters three levels within a frame (see
// BENCHMARKS.md).
class BankFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit BankFilterModel(BankTableModel* table, QObject* parent = nullptr);

    void setQuery(const QString& query);
    void setChapter(const QString& code);
    void setFavouritesOnly(bool on);
    const QuestionFilter& filter() const { return m_filter; }

    // The identifiers of the rows shown, in the order shown.
    QStringList visibleIds() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    BankTableModel* m_table;
    QuestionFilter m_filter;
};
