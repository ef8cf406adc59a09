// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exam/exam_paper.h"
#include "exam/exam_rules.h"
#include "exam/exam_session.h"
#include "exam/review_recorder.h"
#include "memory/daily_queue.h"
#include "memory/memory_state.h"
#include "memory/pass_chance.h"
#include "memory/review_memory.h"
#include "study/study_settings.h"
#include "ui/dialogs.h"
#include "ui/save_files.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

class Favourites;
class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

// What the study window takes from the world, so that tests can set it.
struct StudyEnvironment {
    std::function<QDateTime()> now;  // local time: the log's times and "today"
    std::function<qint64()> clock;   // monotonic milliseconds: the seconds an answer took
    std::function<quint32()> seed;   // the shuffle of the answers, once per window
    static StudyEnvironment system();
};

// 今日复习: today's queue asked as the exam asks, each answer rated and
// appended to the review log; what is left today, the chance of passing,
// and the settings of the level's study. A chosen set ("练习所选") is asked
// the same way before the queue, whatever its due dates.
class DailyReviewPage final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DailyReviewPage)

public:
    DailyReviewPage(ExamPaper paper, QList<LevelQuestion> level, const QString& levelName,
                    const SharedValues& values, ReviewMemory& memory, Dialogs& dialogs,
                    StudyEnvironment environment, const Favourites* favourites = nullptr,
                    QWidget* parent = nullptr);
    ~DailyReviewPage() override;

    static const QString ChanceMethod;
    static const zoma::SaveTexts ExportTexts;  // the export window's, for the progress file

    enum class Stage { Asking, Revealed, Empty };
    Stage stage() const { return m_stage; }
    // The question on screen; nullptr once the queue is empty.
    const ShownQuestion* current() const;
    quint8 choice() const { return m_choice; }  // in shown letters
    Rating rating() const { return m_rating; }
    const DailyQueue& queue() const { return m_queue; }
    // The program's memory of the level's edition, as this page's settings replay it.
    const MemoryState& memory() const { return *m_state; }
    const PassChance& chance() const { return m_chance; }

    // A letter 0..3 of the question: a single answers at once, a multiple toggles it.
    void choose(int letter);
    // Enter: a multiple's choice is confirmed; once the answer shows, on to the next.
    void confirm();
    // After a right answer, before moving on.
    void rate(Rating rating);
    // Records the answer shown and asks the next question.
    void next();
    // Records an answer that is shown but not yet moved on from (the window closes).
    void finishPending();
    // With the queue empty, asks what has fallen due since; the page's timer
    // calls it when the next question is due.
    void refresh();
    // Gives the keyboard to the question.
    void focusQuestion();

    // Asks these questions in this order, then goes back to the queue. An
    // answer shown is recorded first; a question not yet answered is left.
    void practise(const QStringList& ids);
    void stopPractice();
    bool practising() const { return !m_practice.isEmpty(); }
    // The chosen set and where it stands: the question asked is at().
    const QStringList& practice() const { return m_practice; }
    int practiceAt() const { return m_practiceAt; }

signals:
    // An answer was taken into the memory, or the memory was worked out again.
    void memoryChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildQuestionArea(QLayout* into);
    // The larger and bold texts, from the page's font: the text zoom changes it.
    void applyFonts();
    QWidget* buildSidePanel();
    void buildChapterTree();
    void addKey(const QKeySequence& key, std::function<void()> action);

    void loadLog();
    QDate examDate() const;  // invalid when none is set, or it has passed
    FsrsParams params() const;
    QueueOptions options() const;
    void replay();
    // Answers recorded in another window: the queue, its counts and the chance follow.
    void recordedElsewhere();
    void rebuildQueue();
    void askNext();
    // Asks from the queue again when the question on screen has left it.
    void followQueue();
    void reveal();
    void showQuestion();
    void showState();
    void showCounts();
    void showChance();
    void showExamNote();
    void scheduleChance();
    void digit(int i);

    void newPerDayEdited(int n);
    void retentionEdited(double r);
    void examDateEdited();
    void chaptersEdited();
    void favouritesEdited();
    void showPractice();
    QStringList chosenChapters() const;
    void exportProgress();
    void reportSettings(const QString& error);

    ExamPaper m_paper;
    QList<LevelQuestion> m_level;  // the paper's questions that can be asked
    QHash<QString, int> m_byId;    // index into m_paper.questions
    QString m_levelName;
    QString m_editionLevel;  // "2025-A": the key of the chapter choice
    Dialogs& m_dialogs;
    StudyEnvironment m_env;
    ExamRandom m_random;
    StudySettings m_settings;
    ReviewRecorder m_recorder;
    ExamRule m_rule;
    bool m_settingsReported = false;

    const Favourites* m_favourites;

    ReviewMemory& m_memory;
    const MemoryState* m_state = nullptr;
    bool m_recording = false;  // this page's own answer is being recorded
    DailyQueue m_queue;
    PassChance m_chance;

    Stage m_stage = Stage::Empty;
    ShownQuestion m_shown;
    quint8 m_choice = 0;
    bool m_right = false;
    Rating m_rating = Rating::Good;
    qint64 m_shownMs = 0;
    qint64 m_answerMs = 0;
    QDateTime m_answeredAt;

    QStringList m_practice;  // "练习所选": the chosen set, empty when none
    int m_practiceAt = 0;
    int m_practiceRight = 0;

    QWidget* m_askArea = nullptr;
    QLabel* m_header = nullptr;
    QLabel* m_counts = nullptr;
    QWidget* m_practiceBar = nullptr;
    QLabel* m_practiceNote = nullptr;
    QLabel* m_progress = nullptr;
    QLabel* m_questionText = nullptr;
    QLabel* m_picture = nullptr;
    QPushButton* m_letters[4] = {};
    QLabel* m_answers[4] = {};
    QLabel* m_feedback = nullptr;
    QLabel* m_ratingLabel = nullptr;
    QPushButton* m_ratings[4] = {};
    QPushButton* m_confirm = nullptr;
    QPushButton* m_next = nullptr;
    QLabel* m_doneNote = nullptr;
    QLabel* m_chanceText = nullptr;
    QSpinBox* m_newPerDay = nullptr;
    QDoubleSpinBox* m_retention = nullptr;
    QDateEdit* m_examDate = nullptr;
    QLabel* m_examNote = nullptr;
    QCheckBox* m_favouritesOnly = nullptr;
    QTreeWidget* m_chapters = nullptr;
    QLabel* m_chapterNote = nullptr;
    QTimer* m_chanceTimer = nullptr;
    QTimer* m_dueTimer = nullptr;
    QTimer* m_chapterTimer = nullptr;
    QDate m_noDate;  // the date edit's value for "no date set"
    bool m_fillingChapters = false;
};
