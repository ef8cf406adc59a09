// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_paper.h"
#include "exam/exam_rules.h"
#include "exam/exam_session.h"
#include "exam/notebook.h"
#include "exam/paper_numbers.h"
#include "exam/review_recorder.h"
#include "memory/favourites.h"
#include "ui/dialogs.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class AnswerCard;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QSpinBox;
class QStackedWidget;
class QTimer;

// What the exam window takes from the world, so that tests can set it.
struct ExamEnvironment {
    ExamSession::Clock clock;        // monotonic milliseconds
    std::function<quint32()> seed;   // a fresh seed for each exam
    std::function<QDateTime()> now;  // the time written into the history
    static ExamEnvironment system();
};

// The mock examination of the level read last: a start page with the rule
// and the last exams, the exam itself, its result, and the practice of the
// wrong-answer notebook ("错题练习"). It takes its own copy of the paper when
// it opens.
class ExamWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExamWindow)

public:
    ExamWindow(const QuestionBank& bank, const SharedValues& values, ReviewMemory& memory,
               Dialogs& dialogs, const QString& level,
               ExamEnvironment environment = ExamEnvironment::system(), QWidget* parent = nullptr);
    ~ExamWindow() override;

    static const QString TimeUpText;
    static const QString CloseQuestion;
    // The count beside 错题练习: all of the paper's questions in the
    // notebook, or the starred ones when it practises only those.
    static const QString NotebookCountText;
    static const QString StarredCountText;
    // The print buttons without their "…", and the titles of their save dialogs.
    static const QString PrintPapersText;
    static const QString PrintNotebookText;

    enum class Page { Start, Question, Result };
    Page page() const;
    const ExamPaper& paper() const { return m_paper; }
    const ExamSession* session() const { return m_session.get(); }
    // The question on screen, in the exam or in 错题练习.
    const ShownQuestion* currentQuestion() const;
    // The letters chosen for it, as the letter buttons show them.
    quint8 currentChoice() const;

    // Looks at the clock; submits the exam when the time is up. The window's
    // timer calls it several times a second.
    void tick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildStartPage();
    void buildQuestionPage();
    void buildResultPage();
    void addKey(const QKeySequence& key, std::function<void()> action);

    void showRule();
    void ruleEdited();
    void refreshHistory();
    void startExam();
    void startPractice();
    void submitAsked();
    void finishExam(bool timeUp);
    void showResultList();

    void choose(int letter);
    void move(int step);
    void goTo(int index);
    void toggleMark();
    void confirmPractice();
    void showCurrent();
    void showClock();
    void letterToggled(int letter, bool checked);
    void showChoice();

    void saveNotebook();
    void printPapers();
    void printNotebook();
    void reportWrite(const QString& what, const QString& path, const QString& reason);
    // How many questions 错题练习 has, as its check box limits them.
    void showNotebookCount();
    void loadFavourites();

    // The paper's questions in the notebook, answers shuffled.
    QList<ShownQuestion> notebookQuestions();
    // Those 错题练习 asks: the notebook's, or only the starred ones among them.
    QList<ShownQuestion> practiceQuestions();

    const SharedValues& m_values;
    Dialogs& m_dialogs;
    QString m_level;
    ExamEnvironment m_env;
    ExamPaper m_paper;
    PaperKinds m_kinds;
    RuleSettings m_settings;
    Notebook m_notebook;
    ExamHistory m_history;
    ReviewRecorder m_recorder;  // every answer into the program's memory and the review log
    Favourites m_favourites;    // read when 错题练习 is limited to them
    bool m_favouritesReported = false;
    PaperNumbers m_paperNumbers;
    bool m_writeErrorShown = false;
    bool m_settingRule = false;

    std::unique_ptr<ExamSession> m_session;
    // 错题练习: the questions, where it stands, the choice and whether the
    // answer is shown.
    bool m_practising = false;
    QList<ShownQuestion> m_practice;
    int m_practiceAt = 0;
    quint8 m_practiceChoice = 0;
    bool m_revealed = false;
    int m_practiceRight = 0;
    qint64 m_practiceShownMs = 0;  // when the question on screen came up

    QStackedWidget* m_pages = nullptr;
    QTimer* m_timer = nullptr;
    QList<QShortcut*> m_keys;

    // Start page.
    QLabel* m_ruleTitle = nullptr;
    QSpinBox* m_singles = nullptr;
    QSpinBox* m_multiples = nullptr;
    QSpinBox* m_minutes = nullptr;
    QSpinBox* m_passMark = nullptr;
    QLabel* m_shortNote = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_practiceButton = nullptr;
    QLabel* m_notebookCount = nullptr;
    QCheckBox* m_practiceFavourites = nullptr;
    QPlainTextEdit* m_historyView = nullptr;
    QSpinBox* m_printCount = nullptr;
    QCheckBox* m_printEach = nullptr;

    // Question page.
    QLabel* m_progress = nullptr;
    QLabel* m_clock = nullptr;
    QLabel* m_questionText = nullptr;
    QLabel* m_picture = nullptr;
    QPushButton* m_letters[4] = {};
    QLabel* m_answers[4] = {};
    QLabel* m_feedback = nullptr;
    AnswerCard* m_card = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_mark = nullptr;
    QPushButton* m_submit = nullptr;
    QPushButton* m_confirm = nullptr;
    QPushButton* m_stopPractice = nullptr;

    // Result page.
    QLabel* m_score = nullptr;
    QLabel* m_verdict = nullptr;
    QLabel* m_timeUsed = nullptr;
    QCheckBox* m_wrongOnly = nullptr;
    QPushButton* m_back = nullptr;
    QPlainTextEdit* m_resultList = nullptr;
};
