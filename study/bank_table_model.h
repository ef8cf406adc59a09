// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/bank_rows.h"
#include "study/study_facts.h"

#include <QAbstractTableModel>
#include <QDateTime>

#include <functional>

class Favourites;

// The questions of the level read as a table. Texts are read from the store
// when shown, never copied per row; a row holds only the question's slot and
// its folded text for the filter.
class BankTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Star, Id, Label, Chapter, Question, Key, State, Due, Wrong, ColumnCount };
    enum Role {
        SortRole = Qt::UserRole,  // a value that sorts as the column means
        IdRole,                   // the identifier
    };

    BankTableModel(const QuestionBank& bank, const Favourites& favourites, MemoryLookup memory,
                   QObject* parent = nullptr);

    // Reads the level again from the store: call after a level is read.
    void reload();
    // The review log changed: state, due date and times wrong.
    void memoryChanged();
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    const BankRows& rows() const { return m_rows; }
    const QuestionBank& bank() const { return m_bank; }
    QString id(int row) const { return m_bank.BankId.value(m_rows.rows[row].number); }
    bool favourite(int row) const;
    // The row of an identifier, or -1.
    int rowOf(const QString& id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const QuestionMemory* memory(int number) const;

    const QuestionBank& m_bank;
    const Favourites& m_favourites;
    MemoryLookup m_memory;
    std::function<QDateTime()> m_now = &QDateTime::currentDateTime;
    BankRows m_rows;
    QHash<QString, int> m_rowOf;
};
