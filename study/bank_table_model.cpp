// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/bank_table_model.h"

#include "bank/answer_key.h"
#include "memory/favourites.h"

#include <QTimeZone>

BankTableModel::BankTableModel(const QuestionBank& bank, const Favourites& favourites,
                               MemoryLookup memory, QObject* parent)
    : QAbstractTableModel(parent),
      m_bank(bank),
      m_favourites(favourites),
      m_memory(std::move(memory)) {
    reload();
    connect(&favourites, &Favourites::changed, this, [this] {
        if (!m_rows.rows.isEmpty()) {
            emit dataChanged(index(0, Star), index(rowCount() - 1, Star));
        }
    });
}

void BankTableModel::reload() {
    beginResetModel();
    m_rows = zoma::bankRows(m_bank);
    m_rowOf.clear();
    m_rowOf.reserve(m_rows.rows.size());
    for (int r = 0; r < m_rows.rows.size(); ++r) m_rowOf.insert(id(r), r);
    endResetModel();
}

void BankTableModel::memoryChanged() {
    if (m_rows.rows.isEmpty()) return;
    emit dataChanged(index(0, State), index(rowCount() - 1, Wrong));
}

bool BankTableModel::favourite(int row) const {
    return m_favourites.contains(m_rows.edition, id(row));
}

int BankTableModel::rowOf(const QString& id) const {
    return m_rowOf.value(id, -1);
}

int BankTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.rows.size());
}

int BankTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const QuestionMemory* BankTableModel::memory(int number) const {
    return m_memory ? m_memory(m_bank.BankId.value(number)) : nullptr;
}

QVariant BankTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.rows.size()) return {};
    const int q = m_rows.rows[index.row()].number;
    if (role == IdRole) return m_bank.BankId.value(q);
    if (role == Qt::ToolTipRole && index.column() == Question) return m_bank.BankQuestion.value(q);
    if (role != Qt::DisplayRole && role != SortRole) return {};
    const bool sort = role == SortRole;
    switch (index.column()) {
        case Star: {
            const bool on = favourite(index.row());
            return sort ? QVariant(on ? 0 : 1) : QVariant(on ? QStringLiteral("★") : QString());
        }
        case Id:
            return sort ? QVariant(index.row()) : QVariant(m_bank.BankId.value(q));
        case Label:
            return m_bank.Label.value(q);
        case Chapter: {
            if (!sort) return m_bank.Category.value(q);
            // 1.2 before 1.10: each part as a number of three digits.
            QString key;
            for (const QStringView part : m_bank.Category.view(q).split(u'.')) {
                key += part.toString().rightJustified(3, u'0') + u'.';
            }
            return key;
        }
        case Question:
            return m_bank.BankQuestion.value(q);
        case Key:
            return zoma::correctLetters(m_bank, q);
        case State: {
            const QuestionMemory* m = memory(q);
            const CardState state = m ? m->card.state : CardState::New;
            return sort ? QVariant(int(state)) : QVariant(zoma::stateName(state));
        }
        case Due: {
            const QuestionMemory* m = memory(q);
            const QDateTime due = m ? m->card.due : QDateTime();
            if (sort)
                return due.isValid() ? due.toSecsSinceEpoch() : std::numeric_limits<qint64>::max();
            return due.isValid() ? due.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                 : QString();
        }
        case Wrong: {
            const QuestionMemory* m = memory(q);
            const int wrong = m ? m->wrong : 0;
            return sort ? QVariant(wrong) : (wrong ? QVariant(wrong) : QVariant(QString()));
        }
        default:
            return {};
    }
}

QVariant BankTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char16_t* const kTitles[ColumnCount] = {
        u"★", u"题号", u"标签", u"章节", u"题目", u"答案", u"状态", u"到期", u"答错"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(kTitles[section])
                                                 : QVariant();
}
