// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/bank_browser_page.h"

#include "bank/answer_key.h"
#include "memory/favourites.h"
#include "study/bank_filter_model.h"
#include "study/bank_table_model.h"
#include "study/chapter_tree.h"
#include "study/question_view.h"
#include "ui/dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace zoma {

void loadFavourites(Favourites& favourites, Dialogs& dialogs) {
    QString error;
    if (favourites.load(&error)) return;
    dialogs.message(QStringLiteral("收藏文件无法读取，程序不会改写它：\n%1\n%2")
                        .arg(QDir::toNativeSeparators(favourites.path()), error));
}

}  // namespace zoma

BankBrowserPage::BankBrowserPage(const QuestionBank& bank, const SharedValues& values,
                                 Dialogs& dialogs, Favourites& favourites, MemoryLookup memory,
                                 QWidget* parent)
    : QWidget(parent),
      m_bank(bank),
      m_dialogs(dialogs),
      m_favourites(favourites),
      m_table(new BankTableModel(bank, favourites, std::move(memory), this)),
      m_filter(new BankFilterModel(m_table, this)),
      m_search(new QLineEdit(this)),
      m_onlyFavourites(new QCheckBox(QStringLiteral("只看收藏"), this)),
      m_count(new QLabel(this)),
      m_star(new QPushButton(QStringLiteral("☆ 收藏"), this)),
      m_practise(new QPushButton(QStringLiteral("练习所选"), this)),
      m_chapters(new ChapterTree(this)),
      m_view(new QTableView(this)),
      m_question(new QuestionView(bank, values, this)) {
    setObjectName(QStringLiteral("bankBrowserPage"));
    setWindowTitle(QStringLiteral("题库浏览"));
    m_search->setObjectName(QStringLiteral("searchBox"));
    m_search->setPlaceholderText(QStringLiteral("搜索题号、标签、题目和答案，空格隔开的词都要有"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("搜索"));
    m_onlyFavourites->setObjectName(QStringLiteral("favouritesOnly"));
    m_count->setObjectName(QStringLiteral("shownCount"));
    m_star->setObjectName(QStringLiteral("starButton"));
    m_star->setCheckable(true);
    m_star->setToolTip(QStringLiteral("收藏或取消收藏这道题（Ctrl+D）"));
    m_star->setAccessibleName(QStringLiteral("收藏"));
    m_practise->setObjectName(QStringLiteral("practiseButton"));
    m_practise->setToolTip(QStringLiteral("按表中的顺序练习表中显示的全部题目"));
    m_view->setObjectName(QStringLiteral("bankTable"));
    m_view->setAccessibleName(QStringLiteral("题库"));
    m_chapters->setAccessibleName(QStringLiteral("章节"));
    m_view->setModel(m_filter);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(BankTableModel::Id, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    // Rows of one height: the view need not measure 1282 rows to lay them out.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setSectionResizeMode(BankTableModel::Question,
                                                     QHeaderView::Stretch);
    m_view->horizontalHeader()->setStretchLastSection(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_search, 1);
    bar->addWidget(m_onlyFavourites);
    bar->addWidget(m_count);
    bar->addWidget(m_star);
    bar->addWidget(m_practise);
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(m_view);
    right->addWidget(m_question);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(m_chapters);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 700});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter->setQuery(text);
        updateCount();
    });
    connect(m_onlyFavourites, &QCheckBox::toggled, this, [this](bool on) {
        m_filter->setFavouritesOnly(on);
        updateCount();
    });
    connect(m_chapters, &ChapterTree::chapterChosen, this, [this](const QString& code) {
        m_filter->setChapter(code);
        updateCount();
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &BankBrowserPage::currentChanged);
    // A screen reader selects a row without moving the current one: the row
    // it selects becomes current, so that its question shows as on a click.
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = m_view->selectionModel()->selectedRows();
        if (rows.size() == 1 && rows[0].row() != m_view->currentIndex().row())
            m_view->selectionModel()->setCurrentIndex(rows[0], QItemSelectionModel::NoUpdate);
    });
    connect(m_star, &QPushButton::clicked, this, &BankBrowserPage::toggleStar);
    connect(m_practise, &QPushButton::clicked, this, &BankBrowserPage::practiseShown);
    connect(&m_favourites, &Favourites::changed, this, [this] {
        if (m_filter->filter().favouritesOnly()) {
            m_filter->invalidate();
            updateCount();
        }
        updateStar();
    });
    auto* starKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    starKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(starKey, &QShortcut::activated, this, &BankBrowserPage::toggleStar);
    reload();
}

QString BankBrowserPage::edition() const {
    return m_table->rows().edition;
}

void BankBrowserPage::setClock(std::function<QDateTime()> now) {
    m_table->setClock(std::move(now));
}

void BankBrowserPage::reload() {
    m_table->reload();
    const BankRows& rows = m_table->rows();
    m_chapters->setChapters(zoma::chapterCounts(m_bank, rows.rows), int(rows.rows.size()));
    m_chapters->setVisible(rows.hasChapters());
    m_filter->setChapter(QString());
    m_view->setColumnHidden(BankTableModel::Label, !rows.hasChapters());
    m_view->setColumnHidden(BankTableModel::Chapter, !rows.hasChapters());
    m_view->setColumnHidden(BankTableModel::Key, !rows.hasChapters());
    fitColumns();
    updateCount();
    currentChanged();
}

void BankBrowserPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitColumns();
}

void BankBrowserPage::fitColumns() {
    // Measured from the texts rather than by ResizeToContents, which would
    // measure a thousand rows again at every change of the table; the
    // memory's columns from the longest texts they can hold, so that they
    // need not widen after an answer.
    const QFontMetrics metrics = m_view->fontMetrics();
    const int margin =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) +
        metrics.averageCharWidth();
    // Summed from the widths of single characters: shaping the texts of a
    // thousand rows one by one would cost milliseconds at every opening.
    QHash<QChar, int> advances;
    const auto advance = [&](const QString& text) {
        int width = 0;
        for (const QChar c : text) {
            auto it = advances.constFind(c);
            if (it == advances.cend()) it = advances.insert(c, metrics.horizontalAdvance(c));
            width += *it;
        }
        return width;
    };
    // A long list of labels is cut short rather than squeezing the question.
    const int most = advance(QStringLiteral("LK0000、LK0000"));
    int widest[BankTableModel::ColumnCount] = {};
    const auto take = [&](int column, const QString& text) {
        widest[column] = std::max(widest[column], std::min(most, advance(text)));
    };
    take(BankTableModel::Star, QStringLiteral("★"));
    for (const BankRow& row : m_table->rows().rows) {
        take(BankTableModel::Id, m_bank.BankId.value(row.number));
        take(BankTableModel::Label, m_bank.Label.value(row.number));
        take(BankTableModel::Chapter, m_bank.Category.value(row.number));
        take(BankTableModel::Key, zoma::correctLetters(m_bank, row.number));
    }
    for (const CardState state :
         {CardState::New, CardState::Learning, CardState::Review, CardState::Relearning})
        take(BankTableModel::State, zoma::stateName(state));
    take(BankTableModel::Due, QStringLiteral("2026-12-07 09:30"));
    take(BankTableModel::Wrong, QStringLiteral("999"));
    QHeaderView* header = m_view->horizontalHeader();
    for (int c = 0; c < BankTableModel::ColumnCount; ++c) {
        if (c != BankTableModel::Question)
            header->resizeSection(c, std::max(header->sectionSizeHint(c), widest[c] + margin));
    }
}

void BankBrowserPage::memoryChanged() {
    m_table->memoryChanged();
}

QString BankBrowserPage::currentId() const {
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? m_filter->data(current, BankTableModel::IdRole).toString()
                             : QString();
}

void BankBrowserPage::showQuestion(const QString& id) {
    const int row = m_table->rowOf(id);
    if (row < 0) return;
    QModelIndex index = m_filter->mapFromSource(m_table->index(row, BankTableModel::Id));
    if (!index.isValid()) {
        m_search->clear();
        m_onlyFavourites->setChecked(false);
        m_chapters->setCurrentItem(m_chapters->topLevelItem(0));
        index = m_filter->mapFromSource(m_table->index(row, BankTableModel::Id));
    }
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void BankBrowserPage::toggleStar() {
    const QString id = currentId();
    if (id.isEmpty()) return;
    const bool on = !m_favourites.contains(edition(), id);
    QString error;
    if (!m_favourites.set(edition(), id, on, &error) && !m_writeReported) {
        m_writeReported = true;
        m_dialogs.message(QStringLiteral("收藏无法写入文件，只在本次运行中有效：\n%1\n%2")
                              .arg(QDir::toNativeSeparators(m_favourites.path()), error));
    }
    updateStar();
}

void BankBrowserPage::practiseShown() {
    const QStringList ids = m_filter->visibleIds();
    if (!ids.isEmpty()) emit practiseRequested(ids);
}

void BankBrowserPage::currentChanged() {
    const QModelIndex current = m_view->currentIndex();
    m_question->showQuestion(
        current.isValid() ? m_table->rows().rows[m_filter->mapToSource(current).row()].number : -1);
    updateStar();
}

void BankBrowserPage::updateCount() {
    m_count->setText(
        QStringLiteral("%1 / %2 题").arg(m_filter->rowCount()).arg(m_table->rowCount()));
    m_practise->setEnabled(m_filter->rowCount() > 0);
}

void BankBrowserPage::updateStar() {
    const QString id = currentId();
    const bool on = !id.isEmpty() && m_favourites.contains(edition(), id);
    m_star->setEnabled(!id.isEmpty());
    m_star->setChecked(on);
    m_star->setText(on ? QStringLiteral("★ 已收藏") : QStringLiteral("☆ 收藏"));
}
