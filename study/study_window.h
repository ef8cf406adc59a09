// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "study/daily_review_page.h"
#include "ui/dialogs.h"

#include <QWidget>

class QListWidget;
class QStackedWidget;

// 学习中心: the study pages of the level read last, listed at the side. It
// takes its own copy of the paper when it opens; its first page is 今日复习,
// and later pages join it through addPage.
class StudyWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StudyWindow)

public:
    StudyWindow(const QuestionBank& bank, const SharedValues& values, Dialogs& dialogs,
                const QString& level, StudyEnvironment environment = StudyEnvironment::system(),
                QWidget* parent = nullptr);
    ~StudyWindow() override;

    // Adds a page at the end of the list; the window takes it.
    void addPage(const QString& title, QWidget* page);
    DailyReviewPage* dailyReview() const { return m_dailyReview; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QListWidget* m_list = nullptr;
    QStackedWidget* m_pages = nullptr;
    DailyReviewPage* m_dailyReview = nullptr;
};
