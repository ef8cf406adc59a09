// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/study_window.h"

#include "memory/level_questions.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QStackedWidget>

StudyWindow::StudyWindow(const QuestionBank& bank, const SharedValues& values, Dialogs& dialogs,
                         const QString& level, StudyEnvironment environment, QWidget* parent)
    : QWidget(parent) {
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
    connect(m_list, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);

    m_dailyReview = new DailyReviewPage(zoma::examPaper(bank, values), zoma::levelQuestions(bank),
                                        level, values, dialogs, std::move(environment));
    addPage(QStringLiteral("今日复习"), m_dailyReview);
    m_list->setCurrentRow(0);
    m_dailyReview->focusQuestion();
}

StudyWindow::~StudyWindow() = default;

void StudyWindow::addPage(const QString& title, QWidget* page) {
    m_pages->addWidget(page);
    m_list->addItem(title);
}

void StudyWindow::closeEvent(QCloseEvent* event) {
    // An answer shown but not yet moved on from is still an answer.
    m_dailyReview->finishPending();
    event->accept();
}
