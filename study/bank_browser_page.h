// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "study/study_facts.h"

#include <QWidget>

class BankFilterModel;
class BankTableModel;
class ChapterTree;
class Dialogs;
class Favourites;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QuestionView;

namespace zoma {

// Reads the favourites file, reporting a file that cannot be read in one
// message; the list is then empty for this run and the file left alone.
void loadFavourites(Favourites& favourites, Dialogs& dialogs);

}  // namespace zoma

// The page 题库浏览 of 学习中心: every question of the level read in a table,
// filtered as the user types and by chapter or favourites, the chosen one
// shown whole below it.
class BankBrowserPage final : public QWidget {
    Q_OBJECT

public:
    BankBrowserPage(const QuestionBank& bank, const SharedValues& values, Dialogs& dialogs,
                    Favourites& favourites, MemoryLookup memory, QWidget* parent = nullptr);

    BankTableModel* tableModel() const { return m_table; }
    BankFilterModel* filterModel() const { return m_filter; }
    // The edition of the level read, as the favourites key it.
    QString edition() const;
    // The identifier of the question shown below the table, or empty text.
    QString currentId() const;
    void setClock(std::function<QDateTime()> now);

public slots:
    // The level read again from the store.
    void reload();
    // The review log took new answers.
    void memoryChanged();
    // Selects and shows a question, clearing the filter when it hides it.
    void showQuestion(const QString& id);
    // Stars or unstars the question shown.
    void toggleStar();
    void practiseShown();

signals:
    // "练习所选": the identifiers of the rows the table shows, in their order.
    void practiseRequested(const QStringList& ids);

protected:
    void changeEvent(QEvent* event) override;

private:
    void currentChanged();
    // Each column but the question's as wide as its widest text can be, at
    // the font in use; the question takes what is left.
    void fitColumns();
    void updateCount();
    void updateStar();

    const QuestionBank& m_bank;
    Dialogs& m_dialogs;
    Favourites& m_favourites;
    BankTableModel* m_table;
    BankFilterModel* m_filter;
    QLineEdit* m_search;
    QCheckBox* m_onlyFavourites;
    QLabel* m_count;
    QPushButton* m_star;
    QPushButton* m_practise;
    ChapterTree* m_chapters;
    QTableView* m_view;
    QuestionView* m_question;
    bool m_writeReported = false;
};
