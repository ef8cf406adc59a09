// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/study_window.h"

#include "memory/favourites.h"
#include "memory/level_questions.h"
#include "study/bank_browser_page.h"
#include "study/progress_page.h"
#include "study/text_zoom.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QStackedWidget>

StudyWindow::StudyWindow(const QuestionBank& bank, const SharedValues& values, ReviewMemory& memory,
                         Dialogs& dialogs, const QString& level, StudyEnvironment environment,
                         QWidget* parent)
    : QWidget(parent), m_bank(bank), m_values(values), m_dialogs(dialogs) {
    // The pages name the level read, whatever 复习 or 导出 chose last.
    m_values.PracticeLevel = level;
    setWindowTitle(QStringLiteral("学习中心"));
    setAccessibleName(QStringLiteral("学习中心"));
    resize(980, 680);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("pageList"));
    m_list->setAccessibleName(QStringLiteral("页面"));
    m_list->setMaximumWidth(120);
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("pages"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(m_pages, 1);
    connect(m_list, &QListWidget::currentRowChanged, this, &StudyWindow::pageChanged);

    m_favourites = new Favourites(m_values.folder().appFile(Favourites::FileName), this);
    zoma::loadFavourites(*m_favourites, dialogs);

    const std::function<QDateTime()> now = environment.now;
    m_dailyReview =
        new DailyReviewPage(zoma::examPaper(m_bank, m_values), zoma::levelQuestions(m_bank), level,
                            m_values, memory, dialogs, std::move(environment), m_favourites);
    addPage(QStringLiteral("今日复习"), m_dailyReview);

    // The pages look the memory up as 今日复习's settings replay it.
    const MemoryLookup lookup = [page = m_dailyReview](const QString& id) {
        return page->memory().find(id);
    };
    m_browser = new BankBrowserPage(m_bank, m_values, dialogs, *m_favourites, lookup);
    m_browser->setClock(now);
    addPage(QStringLiteral("题库浏览"), m_browser);
    m_progress = new ProgressPage(m_bank, m_values, lookup);
    m_progress->setClock(now);
    addPage(QStringLiteral("学习进度"), m_progress);

    connect(m_dailyReview, &DailyReviewPage::memoryChanged, m_browser,
            &BankBrowserPage::memoryChanged);
    // Hidden, the progress page is worked out when it comes up.
    connect(m_dailyReview, &DailyReviewPage::memoryChanged, this, [this] {
        if (currentPage() == Progress) m_progress->reload();
    });
    connect(m_browser, &BankBrowserPage::practiseRequested, this, [this](const QStringList& ids) {
        showPage(DailyReview);
        m_dailyReview->practise(ids);
        m_dailyReview->focusQuestion();
    });
    connect(m_progress, &ProgressPage::openQuestion, this, [this](const QString& id) {
        showPage(BankBrowser);
        m_browser->showQuestion(id);
    });

    m_zoom = new TextZoom(this, m_values.folder().appFile(TextZoom::FileName));
    connect(m_zoom, &TextZoom::factorChanged, this, [this] {
        if (m_zoom->problem().isEmpty() || m_zoomReported) return;
        m_zoomReported = true;
        m_dialogs.message(
            QStringLiteral("文字大小无法保存，只在本次有效：\n%1\n%2")
                .arg(QDir::toNativeSeparators(m_values.folder().appFile(TextZoom::FileName)),
                     m_zoom->problem()));
    });

    m_list->setCurrentRow(DailyReview);
    m_dailyReview->focusQuestion();
}

StudyWindow::~StudyWindow() = default;

void StudyWindow::addPage(const QString& title, QWidget* page) {
    m_pages->addWidget(page);
    m_list->addItem(title);
}

void StudyWindow::showPage(int index) {
    m_list->setCurrentRow(index);
}

int StudyWindow::currentPage() const {
    return m_pages->currentIndex();
}

void StudyWindow::pageChanged(int index) {
    // The progress page reads the exam history too, which the exam window
    // may have added to since: it is worked out whenever it comes up.
    if (m_progress && index == Progress) m_progress->reload();
    m_pages->setCurrentIndex(index);
}

void StudyWindow::closeEvent(QCloseEvent* event) {
    // An answer shown but not yet moved on from is still an answer.
    m_dailyReview->finishPending();
    event->accept();
}
