// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "study/daily_review_page.h"
#include "ui/dialogs.h"

#include <QWidget>

class BankBrowserPage;
class Favourites;
class ProgressPage;
class QListWidget;
class QStackedWidget;
class TextZoom;

// 学习中心: the study pages of the level read last, listed at the side. It
// takes its own copy of the store when it opens, so that its pages show the
// level it opened on even when another is read meanwhile: 今日复习, 题库浏览
// and 学习进度, with one list of favourites and one text zoom for them all.
// They show the program's one memory: an answer given in any window shows at
// once.
class StudyWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StudyWindow)

public:
    enum PageIndex { DailyReview, BankBrowser, Progress };

    StudyWindow(const QuestionBank& bank, const SharedValues& values, ReviewMemory& memory,
                Dialogs& dialogs, const QString& level,
                StudyEnvironment environment = StudyEnvironment::system(),
                QWidget* parent = nullptr);
    ~StudyWindow() override;

    // Adds a page at the end of the list; the window takes it.
    void addPage(const QString& title, QWidget* page);
    void showPage(int index);
    int currentPage() const;
    DailyReviewPage* dailyReview() const { return m_dailyReview; }
    BankBrowserPage* bankBrowser() const { return m_browser; }
    ProgressPage* progress() const { return m_progress; }
    Favourites* favourites() const { return m_favourites; }
    TextZoom* textZoom() const { return m_zoom; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void pageChanged(int index);

    QuestionBank m_bank;  // the level as it was read when the window opened
    SharedValues m_values;
    Dialogs& m_dialogs;
    Favourites* m_favourites = nullptr;
    TextZoom* m_zoom = nullptr;
    bool m_zoomReported = false;
    QListWidget* m_list = nullptr;
    QStackedWidget* m_pages = nullptr;
    DailyReviewPage* m_dailyReview = nullptr;
    BankBrowserPage* m_browser = nullptr;
    ProgressPage* m_progress = nullptr;
};
