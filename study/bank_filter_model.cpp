// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/bank_filter_model.h"

#include "study/bank_table_model.h"

BankFilterModel::BankFilterModel(BankTableModel* table, QObject* parent)
    : QSortFilterProxyModel(parent), m_table(table) {
    setSourceModel(table);
    setSortRole(BankTableModel::SortRole);
}

void BankFilterModel::setQuery(const QString& query) {
    const QStringList before = m_filter.words();
    m_filter.setQuery(query);
    if (m_filter.words() != before) invalidateRowsFilter();
}

void BankFilterModel::setChapter(const QString& code) {
    if (code == m_filter.chapter()) return;
    m_filter.setChapter(code);
    invalidateRowsFilter();
}

void BankFilterModel::setFavouritesOnly(bool on) {
    if (on == m_filter.favouritesOnly()) return;
    m_filter.setFavouritesOnly(on);
    invalidateRowsFilter();
}

QStringList BankFilterModel::visibleIds() const {
    QStringList ids;
    ids.reserve(rowCount());
    for (int r = 0; r < rowCount(); ++r) ids.append(m_table->id(mapToSource(index(r, 0)).row()));
    return ids;
}

bool BankFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const BankRow& row = m_table->rows().rows[sourceRow];
    const bool favourite = m_filter.favouritesOnly() && m_table->favourite(sourceRow);
    return m_filter.accepts(row.haystack, m_table->bank().Category.view(row.number), favourite);
}
