// SPDX-License-Identifier: GPL-3.0-or-later
// 学习中心 through the real windows, offscreen: a day of 今日复习 from the
// main window's button and back again from the log, the answers of the exam
// and 错题练习 in the log, a log that cannot be written or holds damaged
// lines, the settings file, the progress file, and the buttons as a screen
// reader presses them; 题库浏览's stars, 练习所选 and 学习进度 wired to
// 今日复习, the favourites limits of 今日复习 and 错题练习, the text zoom.
#include "app/review_tool.h"
#include "bank/read_data.h"
#include "exam/exam_rules.h"
#include "exam/exam_window.h"
#include "main_window/form1.h"
#include "memory/favourites.h"
#include "study/bank_browser_page.h"
#include "study/bank_table_model.h"
#include "study/progress_map.h"
#include "study/progress_page.h"
#include "study/score_chart.h"
#include "study/study_window.h"
#include "study/text_zoom.h"
#include "tests/support/fairness.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

using Answer = Dialogs::Answer;
using Window = WindowRegistry::Window;
using Stage = DailyReviewPage::Stage;

namespace {

void press(QWidget* window, Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == window ? focus : window, key);
}

// Another choice of the same kind: a single's other letter, a multiple's key
// less one letter (partly right scores nothing).
quint8 wrongSet(quint8 correct) {
    if (std::popcount(correct) > 1) return quint8(correct & (correct - 1));
    return quint8(correct == 1 ? 2 : 1);
}

// Answers the question on screen by the keyboard: a single by its digit, a
// multiple by its letters and Enter.
void answerByKeys(QWidget* window, const DailyReviewPage* page, quint8 set) {
    const bool multiple = page->current()->question.multiple();
    for (int i = 0; i < 4; ++i) {
        if (set & (1u << i)) press(window, Qt::Key((multiple ? Qt::Key_A : Qt::Key_1) + i));
    }
    if (multiple) press(window, Qt::Key_Return);
}

QList<ReviewEntry> logEntries(const QString& appDir, QList<LogIssue>* issues = nullptr) {
    QList<ReviewEntry> entries;
    QList<LogIssue> found;
    QString error;
    if (!ReviewLog(appDir + ReviewLog::FileName).read(&entries, &found, &error))
        qWarning("log unreadable: %s", qPrintable(error));
    if (issues) *issues = found;
    return entries;
}

void copyLibrary(const QString& from, const QString& to) {
    QVERIFY(QDir().mkpath(to));
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + u'/' + name, to + u'/' + name));
}

void pressAccessibly(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// What the queue and memory say of the questions answered, to compare a
// window with its successor.
struct Snapshot {
    QStringList due, fresh;
    int done = 0, newToday = 0;
    QList<Card> cards;

    static Snapshot of(const DailyReviewPage* page, const QStringList& ids) {
        Snapshot s{
            page->queue().due, page->queue().fresh, page->queue().done, page->queue().newToday, {}};
        for (const QString& id : ids) {
            const QuestionMemory* m = page->memory().find(id);
            s.cards.append(m ? m->card : Card());
        }
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

}  // namespace

class StudyTest final : public QObject {
    Q_OBJECT

private:
    // A study window over a sample library, the world set by the test.
    struct Direct {
        QTemporaryDir dir;
        QuestionBank bank;
        SharedValues values;
        ScriptedDialogs dialogs;
        QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
        qint64 ms = 10'000;
        quint32 seed = 42;
        std::unique_ptr<ReviewMemory> memory;  // the program's, across windows
        std::unique_ptr<StudyWindow> window;

        explicit Direct(const QString& library = QStringLiteral(ZOMA_SAMPLE_2025_LIB)) {
            values = programValues(dir.path());
            copyLibrary(library, values.LibDir);
            const LoadResult r = zoma::ReadData(bank, values, QStringLiteral("A类"));
            if (r.status != LoadResult::Status::Loaded) qFatal("sample did not load");
        }
        StudyEnvironment env() {
            return {[this] { return now; }, [this] { return ms; }, [this] { return seed; }};
        }
        DailyReviewPage* open() {
            if (!memory)
                memory =
                    std::make_unique<ReviewMemory>(values.folder().appFile(ReviewLog::FileName));
            window = std::make_unique<StudyWindow>(bank, values, *memory, dialogs,
                                                   QStringLiteral("A类"), env());
            window->show();
            if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
            return window->dailyReview();
        }
        void close() {
            window->close();
            window.reset();
        }
        QString file(const QString& name) const { return values.AppDir + name; }
    };

    // An exam window over a paper of count questions whose right answer is A.
    struct Exam {
        QTemporaryDir dir;
        QuestionBank bank;
        SharedValues values;
        ScriptedDialogs dialogs;
        qint64 ms = 5'000;
        std::unique_ptr<ReviewMemory> memory;
        std::unique_ptr<ExamWindow> window;

        explicit Exam(int count) {
            values = programValues(dir.path());
            fillPaper(bank, count, [](int k) { return k; });
        }
        void open() {
            ExamEnvironment env{[this] { return ms; }, [] { return 42u; },
                                [] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); }};
            memory = std::make_unique<ReviewMemory>(values.folder().appFile(ReviewLog::FileName));
            window = std::make_unique<ExamWindow>(bank, values, *memory, dialogs,
                                                  QStringLiteral("A类"), env);
            window->show();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
    };

private slots:
    // A day of 今日复习 through the main window: answered, rated, closed in
    // the middle of an answer, and the same queue back from the log.
    void day_data() {
        QTest::addColumn<QString>("library");
        QTest::newRow("2013–2021") << QStringLiteral(ZOMA_SAMPLE_LIB);
        QTest::newRow("2025") << QStringLiteral(ZOMA_SAMPLE_2025_LIB);
    }
    void day() {
        QFETCH(QString, library);
        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        ReviewTool tool(dialogs, programDir.path());
        Form1& main = tool.mainWindow();
        main.show();
        QVERIFY(!control(&main, "studyButton")->isEnabled());
        copyLibrary(library, tool.values.LibDir);
        click(&main, "Command4");
        dialogs.takeTexts();
        QVERIFY(control(&main, "examButton")->isEnabled());
        QVERIFY(control(&main, "studyButton")->isEnabled());

        const auto open = [&] {
            click(&main, "studyButton");
            auto* window = qobject_cast<StudyWindow*>(tool.windows.find(Window::Study));
            if (window && !QTest::qWaitForWindowActive(window)) return (StudyWindow*)nullptr;
            return window;
        };
        StudyWindow* window = open();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("学习中心"));
        QCOMPARE(open(), window);  // once at a time
        DailyReviewPage* page = window->dailyReview();
        QCOMPARE(QApplication::focusWidget(), control<QWidget>(page, "questionArea"));
        const int count = int(zoma::examPaper(tool.bank, tool.values).questions.size());
        QVERIFY(count >= 4);
        QCOMPARE(page->queue().fresh.size(), std::min(count, 20));
        QVERIFY(page->queue().due.isEmpty());
        QCOMPARE(control<QLabel>(page, "counts")->text(),
                 QStringLiteral("到期 0　　新题 %1　　已完成 0").arg(std::min(count, 20)));

        // Right and rated Easy; wrong, where a rating key changes nothing;
        // right and left at Good.
        struct Expected {
            QString id;
            QString chosen;
            bool correct;
            Rating rating;
        };
        QList<Expected> expected;
        const Rating asked[] = {Rating::Easy, Rating::Again, Rating::Good};
        for (int n = 0; n < 3; ++n) {
            QCOMPARE(page->stage(), Stage::Asking);
            const ShownQuestion shown = *page->current();
            QCOMPARE(shown.question.id, page->queue().head());
            const bool right = n != 1;
            const quint8 set = right ? shown.correct : wrongSet(shown.correct);
            answerByKeys(window, page, set);
            QCOMPARE(page->stage(), Stage::Revealed);
            const QString feedback = control<QLabel>(page, "feedback")->text();
            QVERIFY2(feedback.contains(QStringLiteral("正确答案：") + zoma::letters(shown.correct)),
                     qPrintable(feedback));
            if (n < 2) press(window, Qt::Key_4);
            QCOMPARE(page->rating(), asked[n]);
            expected.append(
                {shown.question.id, zoma::letters(zoma::bankLetters(shown, set)), right, asked[n]});
            if (n == 0) press(window, Qt::Key_Return);
            if (n == 1) press(window, Qt::Key_Space);
            if (n == 2) click(page, "nextButton");
        }
        QCOMPARE(page->queue().done, 3);
        QCOMPARE(page->queue().fresh.size(), std::min(count, 20) - 3);
        QVERIFY(control<QLabel>(page, "counts")->text().endsWith(QStringLiteral("已完成 3")));

        const QList<ReviewEntry> entries = logEntries(tool.values.AppDir);
        QCOMPARE(entries.size(), 3);
        QStringList ids;
        for (int n = 0; n < 3; ++n) {
            const ReviewEntry& e = entries[n];
            QCOMPARE(e.id, expected[n].id);
            QCOMPARE(e.source, QStringLiteral("review"));
            QCOMPARE(e.chosen, expected[n].chosen);
            QCOMPARE(e.correct, expected[n].correct);
            QCOMPARE(e.rating, expected[n].rating);
            QVERIFY(e.seconds >= 0 && e.seconds < 60);
            ids << e.id;
        }
        const Snapshot before = Snapshot::of(page, ids);

        window->close();
        QVERIFY(!tool.windows.find(Window::Study));
        window = open();
        QVERIFY(window);
        page = window->dailyReview();
        QVERIFY(Snapshot::of(page, ids) == before);
        QCOMPARE(dialogs.takeTexts(), QStringList());

        // Closed with an answer shown: it is recorded all the same.
        const QString last = page->current()->question.id;
        answerByKeys(window, page, page->current()->correct);
        QCOMPARE(page->stage(), Stage::Revealed);
        window->close();
        const QList<ReviewEntry> after = logEntries(tool.values.AppDir);
        QCOMPARE(after.size(), 4);
        QCOMPARE(after.last().id, last);
        QCOMPARE(after.last().rating, Rating::Good);
    }

    // Answers of the exam and of 错题练习 go into the log with the seconds
    // spent on each; a log that cannot be written is told once a window.
    void examAnswers_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("written") << true;
        QTest::newRow("cannot be written") << false;
    }
    void examAnswers() {
        QFETCH(bool, writable);
        Exam exam(30);
        const QString logPath = exam.values.AppDir + ReviewLog::FileName;
        if (!writable) {
            // A link into a folder that is not there: reading finds no log, writing fails.
            if (!makeSymlink(exam.dir.path() + QStringLiteral("/gone/log"), logPath))
                QSKIP(kNoSpecialFiles);
        }
        exam.open();
        click(exam.window.get(), "startButton");
        const ExamSession* session = exam.window->session();
        QCOMPARE(session->count(), 30);
        // Question i: i + 1 seconds; every third unanswered, every third wrong.
        for (int i = 0; i < 30; ++i) {
            exam.ms += (i + 1) * 1000;
            const quint8 correct = session->question(i).correct;
            if (i % 3 == 1)
                press(exam.window.get(), Qt::Key(Qt::Key_1 + std::countr_zero(wrongSet(correct))));
            if (i % 3 == 2)
                press(exam.window.get(), Qt::Key(Qt::Key_1 + std::countr_zero(correct)));
            press(exam.window.get(), Qt::Key_Right);
        }
        exam.dialogs.answer(Answer::Yes);
        click(exam.window.get(), "submitButton");
        QStringList texts = exam.dialogs.takeTexts();
        QCOMPARE(texts.size(), writable ? 1 : 2);  // the question to submit, the log's message
        if (!writable) QVERIFY(texts[1].startsWith(QStringLiteral("学习记录无法写入")));

        QCOMPARE(QFileInfo::exists(logPath), writable);
        const QList<ReviewEntry> entries =
            writable ? logEntries(exam.values.AppDir) : QList<ReviewEntry>();
        QCOMPARE(entries.size(), writable ? 20 : 0);
        for (int n = 0; n < entries.size(); ++n) {
            const int i = n / 2 * 3 + 1 + n % 2;  // the answered questions
            const ReviewEntry& e = entries[n];
            QCOMPARE(e.id, session->question(i).question.id);
            QCOMPARE(e.source, QStringLiteral("exam"));
            QCOMPARE(e.correct, i % 3 == 2);
            QCOMPARE(e.chosen == QStringLiteral("A"), e.correct);  // the bank's letters
            QCOMPARE(e.rating, e.correct ? Rating::Good : Rating::Again);
            QCOMPARE(e.seconds, i + 1);
            QCOMPARE(e.edition, QStringLiteral("2013-2021"));
        }

        // 错题练习: the notebook's first question, answered right after 7 s.
        click(exam.window.get(), "backButton");
        click(exam.window.get(), "practiceButton");
        const ShownQuestion* shown = exam.window->currentQuestion();
        QVERIFY(shown);
        exam.ms += 7000;
        press(exam.window.get(), Qt::Key(Qt::Key_1 + std::countr_zero(shown->correct)));
        QCOMPARE(exam.dialogs.takeTexts(), QStringList());  // told once already
        if (writable) {
            const QList<ReviewEntry> more = logEntries(exam.values.AppDir);
            QCOMPARE(more.size(), 21);
            QCOMPARE(more.last().source, QStringLiteral("wrong"));
            QCOMPARE(more.last().id, shown->question.id);
            QCOMPARE(more.last().seconds, 7);
            QVERIFY(more.last().correct);
        }
    }

    // With 学习中心 open on any page, answers given in the exam window (an
    // exam, then 错题练习) show at once on every page: the counts and the
    // queue of 今日复习, the table of 题库浏览, the map and the most-missed
    // list of 学习进度.
    void answersElsewhere_data() {
        QTest::addColumn<int>("shown");
        QTest::newRow("今日复习 shown") << int(StudyWindow::DailyReview);
        QTest::newRow("题库浏览 shown") << int(StudyWindow::BankBrowser);
        QTest::newRow("学习进度 shown") << int(StudyWindow::Progress);
    }
    void answersElsewhere() {
        QFETCH(int, shown);
        Direct d;
        DailyReviewPage* page = d.open();
        d.window->showPage(shown);
        QCOMPARE(page->queue().due, QStringList());
        const double chanceBefore = page->chance().expectedScore;
        BankTableModel* model = d.window->bankBrowser()->tableModel();
        QSignalSpy tableChanged(model, &QAbstractItemModel::dataChanged);
        auto* mostWrong = control<QListWidget>(d.window->progress(), "mostWrongList");
        const auto cell = [&](const QString& id) {
            for (const MapCell& c : d.window->progress()->map()->cells())
                if (c.id == id) return c.standing.state;
            return StudyState::New;
        };

        // Half an hour ago, the exam: four questions, all wrong.
        ExamEnvironment env{[&d] { return d.ms; }, [] { return 7u; },
                            [&d] { return d.now.addSecs(-1800); }};
        ExamWindow exam(d.bank, d.values, *d.memory, d.dialogs, QStringLiteral("A类"), env);
        exam.show();
        QVERIFY(QTest::qWaitForWindowActive(&exam));
        control<QSpinBox>(&exam, "singles")->setValue(2);
        control<QSpinBox>(&exam, "multiples")->setValue(2);
        click(&exam, "startButton");
        QStringList ids;
        for (int i = 0; i < exam.session()->count(); ++i) {
            const ShownQuestion& q = exam.session()->question(i);
            ids << q.question.id;
            quint8 set = wrongSet(q.correct);
            for (int letter = 0; letter < 4; ++letter)
                if (set & (1u << letter))
                    click(&exam, qPrintable(QStringLiteral("letter%1").arg(QChar(u'A' + letter))));
            press(&exam, Qt::Key_Right);
        }
        QCOMPARE(ids.size(), 4);  // the whole level
        d.dialogs.answer(Answer::Yes);
        click(&exam, "submitButton");
        d.dialogs.takeTexts();

        // Wrong half an hour ago: due again now, and shown as such everywhere.
        QStringList due = page->queue().due;
        due.sort();
        ids.sort();
        QCOMPARE(due, ids);
        QVERIFY2(control<QLabel>(page, "counts")->text().startsWith(QStringLiteral("到期 4")),
                 qPrintable(control<QLabel>(page, "counts")->text()));
        QCOMPARE(page->queue().done, 4);
        QVERIFY(!tableChanged.isEmpty());
        for (const QString& id : ids) {
            const int row = model->rowOf(id);
            QCOMPARE(model->index(row, BankTableModel::Wrong).data().toInt(), 1);
        }
        d.window->showPage(StudyWindow::Progress);
        for (const QString& id : ids) QVERIFY(cell(id) != StudyState::New);
        QCOMPARE(mostWrong->count(), 4);
        QCOMPARE(d.window->progress()->chart()->points().size(), 1);  // the exam with them
        d.window->showPage(shown);
        QCoreApplication::processEvents();  // the chance follows the answers
        QVERIFY(page->chance().expectedScore > chanceBefore);

        // 错题练习 in the same window: its answer shows too.
        click(&exam, "backButton");
        click(&exam, "practiceButton");
        const ShownQuestion* practised = exam.currentQuestion();
        QVERIFY(practised);
        const QString id = practised->question.id;
        press(&exam, Qt::Key(Qt::Key_1 + std::countr_zero(practised->correct)));
        QCOMPARE(page->memory().find(id)->right, 1);
        QCOMPARE(page->queue().done, 5);
        QVERIFY(control<QLabel>(page, "counts")->text().endsWith(QStringLiteral("已完成 5")));
        if (shown == StudyWindow::Progress) {
            for (int i = 0; i < mostWrong->count(); ++i)
                QVERIFY(mostWrong->item(i)->text().contains(QStringLiteral("错 1 次")));
        }
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
    }

    // A limit set while a question is asked takes it away at once when it
    // falls outside; an answer already shown stays until moved on from, and
    // is recorded. A day left empty shows no trace of a question.
    void limitAsksAtOnce_data() {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<bool>("answered");  // the first question's answer shown first
        QTest::addColumn<QString>("next");   // the question asked then; empty: the day is done
        QTest::newRow("favourites")
            << QStringLiteral("favourites") << false << QStringLiteral("MC2-0003");
        QTest::newRow("chapters") << QStringLiteral("chapters") << false
                                  << QStringLiteral("MC1-0005");
        QTest::newRow("favourites, answer shown")
            << QStringLiteral("favourites") << true << QStringLiteral("MC2-0003");
        QTest::newRow("chapters, answer shown")
            << QStringLiteral("chapters") << true << QStringLiteral("MC1-0005");
        QTest::newRow("no favourites") << QStringLiteral("none") << false << QString();
        QTest::newRow("no favourites, answer shown") << QStringLiteral("none") << true << QString();
    }
    void limitAsksAtOnce() {
        QFETCH(QString, limit);
        QFETCH(bool, answered);
        QFETCH(QString, next);
        Direct d;
        DailyReviewPage* page = d.open();
        const QString first = QStringLiteral("MC1-0001");
        QCOMPARE(page->current()->question.id, first);
        QString error;
        if (limit == u"favourites")
            d.window->favourites()->set(QStringLiteral("2025"), next, true, &error);
        if (answered) answerByKeys(d.window.get(), page, page->current()->correct);
        if (limit == u"chapters")
            control<QTreeWidget>(page, "chapters")
                ->topLevelItem(0)
                ->setCheckState(0, Qt::Unchecked);
        else
            control<QCheckBox>(page, "favouritesOnly")->setChecked(true);
        QTRY_VERIFY(!page->queue().fresh.contains(first));
        if (answered) {
            QCOMPARE(page->stage(), Stage::Revealed);
            QCOMPARE(page->current()->question.id, first);
            press(d.window.get(), Qt::Key_Return);
            const QList<ReviewEntry> log = logEntries(d.values.AppDir);
            QCOMPARE(log.size(), 1);
            QCOMPARE(log[0].id, first);
        }
        if (next.isEmpty()) {
            QCOMPARE(page->stage(), Stage::Empty);
            QVERIFY(control<QLabel>(page, "doneNote")->isVisible());
            // Nothing of a question is left to see or to hear.
            for (QWidget* w : page->findChildren<QWidget*>()) {
                if (w->isVisible() && !w->isHidden() &&
                    (qobject_cast<QPushButton*>(w) || w->objectName() == u"ratingLabel")) {
                    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                    QVERIFY2(!a->text(QAccessible::Name).contains(QStringLiteral("评分")) &&
                                 !w->objectName().startsWith(QStringLiteral("rating")) &&
                                 !w->objectName().startsWith(QStringLiteral("letter")),
                             qPrintable(w->objectName()));
                }
            }
        } else {
            QCOMPARE(page->stage(), Stage::Asking);
            QCOMPARE(page->current()->question.id, next);
            QCOMPARE(control<QLabel>(page, "progress")->text().left(8), next);
        }
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
    }

    // 今日复习 with a log it cannot write: one message, and the day goes on.
    void reviewLogUnwritable() {
        Direct d;
        DailyReviewPage* page = d.open();
        // Read at opening, then gone: a folder stands where the log was.
        QVERIFY(QDir().mkpath(d.file(ReviewLog::FileName)));
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
        for (int n = 0; n < 3; ++n) {
            answerByKeys(d.window.get(), page, page->current()->correct);
            press(d.window.get(), Qt::Key_Return);
        }
        const QStringList texts = d.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].startsWith(QStringLiteral("学习记录无法写入")));
        QCOMPARE(page->queue().done, 3);
        QCOMPARE(page->stage(), Stage::Asking);
    }

    // Damaged and torn lines: one message naming them, the good lines taken,
    // the file left as it was.
    void damagedLog() {
        Direct d;
        ReviewEntry good;
        good.when = zoma::logTime(d.now.addDays(-1));
        good.edition = QStringLiteral("2025");
        good.id = QStringLiteral("MC1-0001");
        good.source = QStringLiteral("review");
        good.chosen = QStringLiteral("A");
        good.correct = true;
        good.rating = Rating::Easy;
        good.seconds = 4;
        const QByteArray bytes = zoma::reviewLine(good).toUtf8() + "\nnot a line of the log\n" +
                                 zoma::reviewLine(good).toUtf8().left(20);
        writeBytes(d.file(ReviewLog::FileName), bytes);
        DailyReviewPage* page = d.open();
        const QStringList texts = d.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("第2行")) &&
                     texts[0].contains(QStringLiteral("第3行")),
                 qPrintable(texts[0]));
        QVERIFY(page->memory().find(QStringLiteral("MC1-0001")));
        QVERIFY(!page->queue().fresh.contains(QStringLiteral("MC1-0001")));
        answerByKeys(d.window.get(), page, page->current()->correct);
        press(d.window.get(), Qt::Key_Return);
        QVERIFY(readBytes(d.file(ReviewLog::FileName)).startsWith(bytes));
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
    }

    // Lines dated after now, among a damaged one: named once in the one
    // message, taken at now but not as today's answers; the file stays as
    // it is, and the window opened again says nothing new.
    void logAheadOfNow() {
        Direct d;
        QByteArray bytes = "not a line of the log\n";
        for (const char* id : {"MC1-0001", "MC2-0002", "MC2-0003"})
            bytes +=
                QByteArray("2027-12-07T09:00:00+08:00\t2025\t") + id + "\treview\tA\t0\t1\t5\n";
        writeBytes(d.file(ReviewLog::FileName), bytes);
        DailyReviewPage* page = d.open();
        const QStringList texts = d.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("第1行")) &&
                     texts[0].contains(QStringLiteral("已跳过")),
                 qPrintable(texts[0]));
        QCOMPARE(texts[0].count(QStringLiteral("时间晚于现在")), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("第2行等3行")), qPrintable(texts[0]));
        QCOMPARE(page->queue().done, 0);
        QCOMPARE(page->queue().newToday, 0);
        QCOMPARE(page->memory().find(QStringLiteral("MC1-0001"))->card.lastReview, d.now.toUTC());
        QVERIFY(page->memory().find(QStringLiteral("MC1-0001"))->card.due <= d.now.addSecs(60));
        d.close();
        d.open();
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
        QCOMPARE(readBytes(d.file(ReviewLog::FileName)), bytes);
    }

    // The buttons pressed as a screen reader presses them: what they show
    // is what is recorded.
    void accessibleButtons() {
        Direct d;
        DailyReviewPage* page = d.open();
        QPushButton* letters[4];
        QPushButton* ratings[4];
        const char* letterNames[] = {"letterA", "letterB", "letterC", "letterD"};
        const char* ratingNames[] = {"ratingAgain", "ratingHard", "ratingGood", "ratingEasy"};
        for (int i = 0; i < 4; ++i) {
            letters[i] = control(page, letterNames[i]);
            ratings[i] = control(page, ratingNames[i]);
        }
        const auto agrees = [&] {
            for (int i = 0; i < 4; ++i) {
                if (letters[i]->isChecked() != bool(page->choice() & (1u << i))) return false;
                const bool rated =
                    page->stage() == Stage::Revealed && page->rating() == Rating(i + 1);
                if (ratings[i]->isChecked() != rated) return false;
            }
            return true;
        };
        // A single, right: rated Easy, then Hard.
        const ShownQuestion first = *page->current();
        QVERIFY(!first.question.multiple());
        pressAccessibly(letters[std::countr_zero(first.correct)]);
        QTRY_COMPARE(page->stage(), Stage::Revealed);
        QVERIFY(agrees());
        pressAccessibly(ratings[3]);
        QTRY_COMPARE(page->rating(), Rating::Easy);
        QVERIFY(agrees());
        pressAccessibly(ratings[1]);
        QTRY_COMPARE(page->rating(), Rating::Hard);
        QVERIFY(agrees());
        // Pressed again, a checkable button would turn itself off.
        pressAccessibly(ratings[1]);
        QTest::qWait(300);
        QCOMPARE(page->rating(), Rating::Hard);
        QVERIFY(agrees());
        pressAccessibly(control(page, "nextButton"));
        QTRY_COMPARE(logEntries(d.values.AppDir).size(), 1);
        QCOMPARE(logEntries(d.values.AppDir).last().rating, Rating::Hard);

        // A multiple: a letter on and off again, a wrong set confirmed;
        // then neither the ratings nor the letters take a press.
        QTRY_COMPARE(page->stage(), Stage::Asking);
        const ShownQuestion second = *page->current();
        QVERIFY(second.question.multiple());
        const quint8 wrong = wrongSet(second.correct);
        const int off = std::countr_zero(quint8(~second.correct & 0xF));
        pressAccessibly(letters[off]);
        QTRY_COMPARE(page->choice(), quint8(1u << off));
        QVERIFY(agrees());
        pressAccessibly(letters[off]);
        QTRY_COMPARE(page->choice(), quint8(0));
        QVERIFY(agrees());
        for (int i = 0; i < 4; ++i) {
            if (wrong & (1u << i)) {
                pressAccessibly(letters[i]);
                QTRY_VERIFY(page->choice() & (1u << i));
            }
        }
        pressAccessibly(control(page, "confirmButton"));
        QTRY_COMPARE(page->stage(), Stage::Revealed);
        QCOMPARE(page->rating(), Rating::Again);
        pressAccessibly(ratings[3]);
        pressAccessibly(letters[off]);
        QTest::qWait(300);  // a press would have landed by now
        QCOMPARE(page->rating(), Rating::Again);
        QCOMPARE(page->choice(), wrong);
        QVERIFY(agrees());
        pressAccessibly(control(page, "nextButton"));
        QTRY_COMPARE(logEntries(d.values.AppDir).size(), 2);
        const ReviewEntry e = logEntries(d.values.AppDir).last();
        QCOMPARE(e.id, second.question.id);
        QCOMPARE(e.chosen, zoma::letters(zoma::bankLetters(second, wrong)));
        QVERIFY(!e.correct);
        QCOMPARE(e.rating, Rating::Again);
    }

    // A settings file it cannot take: one message, the defaults, and the
    // file never written.
    void unreadableSettings_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: a FIFO
        QTest::newRow("FIFO") << QByteArray();
        QTest::newRow("too large") << QByteArray("newPerDay=5\n") + QByteArray(70'000, '#');
        QTest::newRow("not UTF-8") << QByteArray("newPerDay=5\n\xff\xfe\n");
        QTest::newRow("not key=value") << QByteArray("newPerDay=5\nretention\n");
    }
    void unreadableSettings() {
        QFETCH(QByteArray, bytes);
        Direct d;
        const QString path = d.file(StudySettings::FileName);
        if (bytes.isEmpty()) {
            if (!makeFifo(path)) QSKIP(kNoSpecialFiles);
        } else {
            writeBytes(path, bytes);
        }
        DailyReviewPage* page = d.open();
        const QStringList texts = d.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].startsWith(QStringLiteral("学习设置无法读取")));
        QCOMPARE(control<QSpinBox>(page, "newPerDay")->value(), 20);
        control<QSpinBox>(page, "newPerDay")->setValue(3);
        QCOMPARE(page->queue().newPerDay, 3);
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
        if (bytes.isEmpty()) {
            QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        } else {
            QCOMPARE(readBytes(path), bytes);
        }
    }

    // Settings kept from one window to the next: new a day, retention, the
    // exam date and the chapters; a key of a later version kept too.
    void settings() {
        Direct d;
        writeBytes(d.file(StudySettings::FileName), "later=kept\n");
        DailyReviewPage* page = d.open();
        QCOMPARE(page->queue().fresh.size(), 4);
        control<QSpinBox>(page, "newPerDay")->setValue(3);
        QCOMPARE(page->queue().fresh.size(), 3);
        control<QDoubleSpinBox>(page, "retention")->setValue(0.85);
        // Four questions over the 24 days to a week before the exam: one a day.
        control<QDateEdit>(page, "examDate")->setDate(d.now.date().addDays(30));
        QVERIFY2(
            control<QLabel>(page, "examNote")->text().contains(QStringLiteral("每天需学 1 道新题")),
            qPrintable(control<QLabel>(page, "examNote")->text()));
        QVERIFY(control<QLabel>(page, "chance")
                    ->text()
                    .contains(d.now.date().addDays(30).toString(Qt::ISODate)));
        // Chapter 1 off: chapter 3's one question is left.
        auto* tree = control<QTreeWidget>(page, "chapters");
        QCOMPARE(tree->topLevelItemCount(), 2);
        tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        QTRY_COMPARE(page->queue().fresh, QStringList{QStringLiteral("MC1-0005")});
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
        d.close();

        page = d.open();
        QCOMPARE(control<QSpinBox>(page, "newPerDay")->value(), 3);
        QCOMPARE(control<QDoubleSpinBox>(page, "retention")->value(), 0.85);
        QCOMPARE(control<QDateEdit>(page, "examDate")->date(), d.now.date().addDays(30));
        QCOMPARE(page->queue().fresh, QStringList{QStringLiteral("MC1-0005")});
        click(page, "clearExamDate");
        QVERIFY(control<QLabel>(page, "chance")
                    ->text()
                    .startsWith(QStringLiteral("若明天 09:00 考试")));
        const QByteArray file = readBytes(d.file(StudySettings::FileName));
        QVERIFY(file.startsWith("later=kept\n"));
        QVERIFY(file.contains("\nchapters.2025-A=3\n"));
        QVERIFY(file.contains("\nexamDate.A=\n"));
    }

    // An exam date that has passed is none: it would ask every new question at once.
    void pastExamDate() {
        Direct d;
        writeBytes(d.file(StudySettings::FileName), "newPerDay=1\nexamDate.A=2026-12-06\n");
        DailyReviewPage* page = d.open();
        QCOMPARE(page->queue().fresh.size(), 1);
        QCOMPARE(page->queue().newForExam, 0);
        QVERIFY(control<QLabel>(page, "chance")
                    ->text()
                    .startsWith(QStringLiteral("若明天 09:00 考试")));
        QCOMPARE(control<QDateEdit>(page, "examDate")->text(), QStringLiteral("未设定"));
    }

    // Nothing known: every question a blind guess.
    void chanceOfNothingKnown() {
        Direct d;
        DailyReviewPage* page = d.open();
        // The A类 rule of 2025 draws 32 singles and 8 multiples; the sample has two of each.
        QCOMPARE(page->chance().expectedScore, 2 * 0.25 + 2 / 15.0);
        QCOMPARE(page->chance().probability, 1 / 16.0 / 225);  // the pass mark is all four
        QVERIFY(control<QLabel>(page, "chance")->text().contains(QStringLiteral("0.6 / 4")));
    }

    // The chance of passing: without an exam date for the next morning, as
    // the page says, with a date for that day; always by the level's
    // published rule, whatever rule the exam window was last set to.
    void chanceHorizon_data() {
        QTest::addColumn<int>("daysToExam");  // 0: no date
        QTest::addColumn<QString>("said");
        QTest::newRow("no date") << 0 << QStringLiteral("若明天 09:00 考试");
        QTest::newRow("in ten days") << 10 << QStringLiteral("若在考试日 2026-12-17 考试");
    }
    void chanceHorizon() {
        QFETCH(int, daysToExam);
        QFETCH(QString, said);
        Direct d;
        // Practice with a short rule in the exam window: one single, one to pass.
        writeBytes(d.file(RuleSettings::FileName),
                   "[2025-A]\nsingles=1\nmultiples=0\nminutes=5\npassMark=1\n");
        if (daysToExam > 0)
            writeBytes(d.file(StudySettings::FileName),
                       "examDate.A=" +
                           d.now.date().addDays(daysToExam).toString(Qt::ISODate).toUtf8() + "\n");
        DailyReviewPage* page = d.open();
        // Every question answered wrongly just now.
        while (page->current() && page->queue().done < 4) {
            answerByKeys(d.window.get(), page, wrongSet(page->current()->correct));
            press(d.window.get(), Qt::Key_Return);
        }
        QCOMPARE(page->queue().done, 4);
        QCoreApplication::processEvents();
        const QString text = control<QLabel>(page, "chance")->text();
        QVERIFY2(text.startsWith(said), qPrintable(text));
        QCOMPARE(text.contains(QStringLiteral("设定考试日期")), daysToExam == 0);
        // The sample's two singles and two multiples, all four to pass: what
        // was just answered wrongly is not taken as known by then.
        QVERIFY2(text.contains(QStringLiteral("/ 4 题，合格（4 题）")), qPrintable(text));
        QVERIFY(page->chance().probability < 0.5);
        QVERIFY(!text.contains(QStringLiteral("100.0%")));
        const QString rule = control<QLabel>(page, "chanceRule")->text();
        QVERIFY2(rule.contains(QStringLiteral("A类")) &&
                     rule.contains(QStringLiteral("单选 32 题")) &&
                     rule.contains(QStringLiteral("多选 8 题")) &&
                     rule.contains(QStringLiteral("答对 30 题合格")),
                 qPrintable(rule));
    }

    // 导出学习进度 under the export window's rules.
    void exportProgress() {
        Direct d;
        DailyReviewPage* page = d.open();
        answerByKeys(d.window.get(), page, page->current()->correct);
        press(d.window.get(), Qt::Key_Return);
        const QString path = d.dir.path() + QStringLiteral("/进度.csv");
        d.dialogs.chooseFile(path);
        click(page, "exportProgress");
        QVERIFY(d.dialogs.fileRequests.last().save);
        QCOMPARE(d.dialogs.fileRequests.last().caption, QStringLiteral("导出学习进度"));
        QCOMPARE(d.dialogs.takeTexts(), QStringList{QStringLiteral("学习进度已导出。")});
        const QByteArray written = readBytes(path);
        QVERIFY(written.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(written.count("\r\n"), 5);

        // An existing file is asked about, and kept when the answer is no.
        writeBytes(path, "old");
        d.dialogs.chooseFile(path);
        d.dialogs.answer(Answer::No);
        click(page, "exportProgress");
        QCOMPARE(d.dialogs.takeTexts(), QStringList{DailyReviewPage::ExportTexts.overwrite});
        QCOMPARE(readBytes(path), QByteArray("old"));

        // A folder cannot take it.
        const QString folder = d.dir.path() + QStringLiteral("/folder.csv");
        QVERIFY(QDir().mkpath(folder));
        d.dialogs.chooseFile(folder);
        click(page, "exportProgress");
        const QStringList texts = d.dialogs.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts[0].startsWith(DailyReviewPage::ExportTexts.failed + folder));
    }

    // A learning step falls due within minutes: the page says when, and asks it then.
    void nextDue() {
        Direct d;
        DailyReviewPage* page = d.open();
        control<QSpinBox>(page, "newPerDay")->setValue(1);
        const QString id = page->current()->question.id;
        answerByKeys(d.window.get(), page, wrongSet(page->current()->correct));
        press(d.window.get(), Qt::Key_Return);
        QCOMPARE(page->stage(), Stage::Empty);
        const QString note = control<QLabel>(page, "doneNote")->text();
        QVERIFY2(note.contains(QStringLiteral("2026-12-07 09:31")), qPrintable(note));
        page->refresh();
        QCOMPARE(page->stage(), Stage::Empty);
        d.now = d.now.addSecs(60);
        page->refresh();
        QCOMPARE(page->stage(), Stage::Asking);
        QCOMPARE(page->current()->question.id, id);
    }

    // 题库浏览 to 今日复习 and back through the main window: a search, two
    // stars, the favourites filter, 今日复习 limited to them, 练习所选 over
    // them in the table's order, the table and 学习进度 following the
    // answers, a click on the map; then 错题练习 limited to the stars.
    void browseAndPractise() {
        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        ReviewTool tool(dialogs, programDir.path());
        Form1& main = tool.mainWindow();
        main.show();
        copyLibrary(QStringLiteral(ZOMA_SAMPLE_2025_LIB), tool.values.LibDir);
        click(&main, "Command4");
        dialogs.takeTexts();
        click(&main, "studyButton");
        auto* window = qobject_cast<StudyWindow*>(tool.windows.find(Window::Study));
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        auto* list = control<QListWidget>(window, "pageList");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text(), QStringLiteral("题库浏览"));
        QCOMPARE(list->item(2)->text(), QStringLiteral("学习进度"));
        DailyReviewPage* page = window->dailyReview();
        const QString first = page->current()->question.id;

        list->setCurrentRow(StudyWindow::BankBrowser);
        BankBrowserPage* browser = window->bankBrowser();
        QVERIFY(browser->isVisible());
        typeText(control<QLineEdit>(browser, "searchBox"), QStringLiteral("业余无线电台"));
        auto* table = control<QTableView>(browser, "bankTable");
        QCOMPARE(table->model()->rowCount(), 3);  // MC1-0001, MC2-0002, MC2-0003
        // The press action clicks a moment later, as a screen reader's does.
        const auto star = [&](int row) {
            table->setCurrentIndex(table->model()->index(row, BankTableModel::Id));
            const QString id = browser->currentId();
            pressAccessibly(control(browser, "starButton"));
            const bool starred = QTest::qWaitFor(
                [&] { return window->favourites()->contains(QStringLiteral("2025"), id); });
            return starred ? id : QString();
        };
        const QString later = star(2);
        const QString earlier = star(0);
        QCOMPARE((QStringList{earlier, later}),
                 (QStringList{QStringLiteral("MC1-0001"), QStringLiteral("MC2-0003")}));
        QCOMPARE(control(browser, "starButton")->text(), QStringLiteral("★ 已收藏"));
        QVERIFY(readBytes(tool.values.AppDir + Favourites::FileName)
                    .endsWith("2025\tMC2-0003\n2025\tMC1-0001\n"));
        control<QCheckBox>(browser, "favouritesOnly")->setChecked(true);
        QCOMPARE(table->model()->rowCount(), 2);

        // 今日复习 limited to the stars, remembered in study.ini.
        control<QCheckBox>(page, "favouritesOnly")->setChecked(true);
        QCOMPARE(page->queue().fresh, (QStringList{earlier, later}));
        QVERIFY(
            readBytes(tool.values.AppDir + StudySettings::FileName).contains("favouritesOnly=1\n"));

        // 练习所选: the table's rows in its order, whatever is due.
        click(browser, "practiseButton");
        QCOMPARE(window->currentPage(), int(StudyWindow::DailyReview));
        QVERIFY(page->practising());
        auto* note = control<QLabel>(page, "practiceNote");
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("练习所选：1 / 2"));
        QCOMPARE(page->current()->question.id, earlier);
        answerByKeys(window, page, page->current()->correct);
        press(window, Qt::Key_Return);
        QCOMPARE(note->text(), QStringLiteral("练习所选：2 / 2"));
        QCOMPARE(page->current()->question.id, later);
        answerByKeys(window, page, wrongSet(page->current()->correct));
        press(window, Qt::Key_Return);
        QCOMPARE(dialogs.takeTexts(),
                 QStringList{QStringLiteral("练习所选完成：共2题，答对1题。")});
        QVERIFY(!page->practising());
        QVERIFY(!note->isVisible());
        const QList<ReviewEntry> entries = logEntries(tool.values.AppDir);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].id, earlier);
        QCOMPARE(entries[1].id, later);
        for (const ReviewEntry& e : entries) QCOMPARE(e.source, QStringLiteral("browse"));
        QVERIFY(entries[0].correct && !entries[1].correct);
        // Both now learning and not yet due: with the limit, nothing is left today.
        QCOMPARE(page->stage(), Stage::Empty);
        control<QCheckBox>(page, "favouritesOnly")->setChecked(false);
        QCOMPARE(page->stage(), Stage::Asking);
        QVERIFY(page->current()->question.id != first);

        // The table follows the answers.
        BankTableModel* model = browser->tableModel();
        const int row = model->rowOf(later);
        QCOMPARE(model->index(row, BankTableModel::Wrong).data().toInt(), 1);
        QCOMPARE(model->index(row, BankTableModel::State).data().toString(),
                 zoma::stateName(CardState::Learning));

        // Stopped halfway: the question asked is left, nothing logged.
        browser->practiseRequested({later, earlier});
        QCOMPARE(page->current()->question.id, later);
        click(page, "stopPractice");
        QVERIFY(!page->practising());
        QCOMPARE(logEntries(tool.values.AppDir).size(), 2);
        QCOMPARE(dialogs.takeTexts(), QStringList());

        // 学习进度 shows the answers; a click on the map opens the question in 题库浏览.
        list->setCurrentRow(StudyWindow::Progress);
        ProgressMap* map = window->progress()->map();
        QTRY_VERIFY(map->isVisible() && map->width() > 0);
        // The window's level, though 复习 and 导出 were never pressed.
        QVERIFY(control<QLabel>(window, "progressTitle")->text().startsWith(QStringLiteral("A类")));
        int cell = -1;
        for (int i = 0; i < map->cells().size(); ++i) {
            if (map->cells()[i].id == later) cell = i;
        }
        QVERIFY(cell >= 0);
        QCOMPARE(map->cells()[cell].standing.state, StudyState::Learning);
        const QString other = QStringLiteral("MC1-0005");  // hidden by the filter
        for (int i = 0; i < map->cells().size(); ++i) {
            if (map->cells()[i].id == other) cell = i;
        }
        QTest::mouseClick(map, Qt::LeftButton, {}, map->cellRect(cell).center());
        QCOMPARE(window->currentPage(), int(StudyWindow::BankBrowser));
        QCOMPARE(browser->currentId(), other);

        // 错题练习 of the exam window: an exam left blank fills the notebook
        // with all four; limited, only the two starred come up.
        click(&main, "examButton");
        auto* exam = qobject_cast<ExamWindow*>(tool.windows.find(Window::Exam));
        QVERIFY(exam && QTest::qWaitForWindowActive(exam));
        click(exam, "startButton");
        dialogs.answer(Answer::Yes);
        click(exam, "submitButton");
        dialogs.takeTexts();
        click(exam, "backButton");
        auto* limit = control<QCheckBox>(exam, "practiceFavouritesOnly");
        QCOMPARE(limit->text(), QStringLiteral("错题练习只练收藏的题"));
        limit->setChecked(true);
        click(exam, "practiceButton");
        QVERIFY(control<QLabel>(exam, "progress")
                    ->text()
                    .startsWith(QStringLiteral("错题练习　第1 / 2题")));
        QStringList asked;
        for (int n = 0; n < 2; ++n) {
            const ShownQuestion shown = *exam->currentQuestion();
            asked << shown.question.id;
            for (int i = 0; i < 4; ++i) {
                if (shown.correct & (1u << i)) press(exam, Qt::Key(Qt::Key_1 + i));
            }
            if (shown.question.multiple()) press(exam, Qt::Key_Return);
            press(exam, Qt::Key_Return);
        }
        asked.sort();
        QCOMPARE(asked, (QStringList{earlier, later}));
        QCOMPARE(dialogs.takeTexts(),
                 QStringList{QStringLiteral("错题练习完成：共2题，答对2题。")});
        // Nothing starred: said so, and no practice.
        QVERIFY(window->favourites()->set(QStringLiteral("2025"), earlier, false, nullptr));
        QVERIFY(window->favourites()->set(QStringLiteral("2025"), later, false, nullptr));
        click(exam, "practiceButton");
        QCOMPARE(dialogs.takeTexts(),
                 QStringList{QStringLiteral("错题本中本试卷的题都没有收藏。")});
        QCOMPARE(exam->page(), ExamWindow::Page::Start);

        // A star given while 今日复习 is limited to them joins its queue at once.
        control<QCheckBox>(page, "favouritesOnly")->setChecked(true);
        QVERIFY(page->queue().empty());
        QVERIFY(window->favourites()->set(QStringLiteral("2025"), other, true, nullptr));
        QCOMPARE(page->queue().fresh, QStringList{other});
        QCOMPARE(dialogs.takeTexts(), QStringList());
    }

    // Ctrl++ / Ctrl+- / Ctrl+0 on 学习中心: the question's text grows with
    // the rest, and the next window opens at the size left.
    void textZoom() {
        Direct d;
        DailyReviewPage* page = d.open();
        auto* text = control<QLabel>(page, "questionText");
        const qreal base = d.window->font().pointSizeF();
        const qreal question = text->font().pointSizeF();
        QTest::keyClick(d.window.get(), Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(d.window.get(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(d.window->textZoom()->factor(), 1.2);
        QVERIFY(d.window->font().pointSizeF() > base);
        QVERIFY2(text->font().pointSizeF() > question, qPrintable(QString::number(question)));
        QCOMPARE(readBytes(d.file(TextZoom::FileName)), QByteArray("text-zoom=1.2\n"));
        d.close();
        d.open();
        QCOMPARE(d.window->textZoom()->factor(), 1.2);
        QTest::keyClick(d.window.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(d.window->textZoom()->factor(), 1.0);
        QCOMPARE(d.window->font().pointSizeF(), base);
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
    }

    // 题库浏览 at the window's first size: at the desktop's text size every
    // column is in view, the question's taking what is left; at every zoom
    // each question below shows its answers and key without scrolling, and
    // the table keeps rows in view.
    void browserAtFirstSize_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("150 %") << 1.5;
        QTest::newRow("200 %") << 2.0;
    }
    void browserAtFirstSize() {
        QFETCH(double, zoom);
        Direct d;
        d.open();
        QCOMPARE(d.window->size(), QSize(980, 680));
        d.window->textZoom()->setFactor(zoom);
        d.window->showPage(StudyWindow::BankBrowser);
        BankBrowserPage* browser = d.window->bankBrowser();
        auto* table = control<QTableView>(browser, "bankTable");
        auto* detail = control<QTextBrowser>(browser, "questionText");
        QCoreApplication::processEvents();
        QHeaderView* header = table->horizontalHeader();
        if (zoom == 1.0) {
            for (int c = 0; c < BankTableModel::ColumnCount; ++c) {
                const QString title = header->model()->headerData(c, Qt::Horizontal).toString();
                QVERIFY2(!table->isColumnHidden(c), qPrintable(title));
                const int left = header->sectionViewportPosition(c);
                QVERIFY2(left >= 0 && left + header->sectionSize(c) <= table->viewport()->width(),
                         qPrintable(title));
            }
#ifdef Q_OS_WIN
            QEXPECT_FAIL("100 %", "Wine's offscreen fonts set the other columns wider", Continue);
#endif
            QVERIFY(header->sectionSize(BankTableModel::Question) >=
                    table->fontMetrics().horizontalAdvance(QStringLiteral("业余无线电台的呼号")));
        }
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            table->setCurrentIndex(table->model()->index(row, BankTableModel::Id));
            const QTextCursor key = detail->document()->find(QStringLiteral("正确答案："));
            QVERIFY(!key.isNull());
            // Once the layout has taken the new height.
            QTRY_VERIFY2(detail->viewport()->rect().contains(detail->cursorRect(key)),
                         qPrintable(browser->currentId()));
            QVERIFY2(table->viewport()->height() >= 2 * table->rowHeight(row),
                     qPrintable(browser->currentId()));
        }
    }

    // The exam date is announced by its own name, not by its group's title.
    void examDateNamed() {
        Direct d;
        DailyReviewPage* page = d.open();
        auto* date = control<QDateEdit>(page, "examDate");
        QCOMPARE(QAccessible::queryAccessibleInterface(date)->text(QAccessible::Name),
                 QStringLiteral("考试日期"));
        QLabel* label = nullptr;
        for (QLabel* l : page->findChildren<QLabel*>()) {
            if (l->buddy() == date) label = l;
        }
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("考试日期："));
    }

    // 今日复习's order of the answers: each question shuffled afresh from one
    // generator per window, seeded from the world; over many windows every
    // answer comes under every letter, about equally often. (Which question
    // comes next is the queue's plain order: due first, then new in bank order.)
    void answerOrderFairness() {
        Direct d;
        const ExamPaper paper = zoma::examPaper(d.bank, d.values);
        QHash<QString, ExamQuestion> byId;
        for (const ExamQuestion& q : paper.questions) byId.insert(q.id, q);
        const int windows = 100, asked = 4;
        Tally tally;
        for (int a = 0; a < 4; ++a) {
            for (int letter = 0; letter < 4; ++letter)
                tally.expect(QStringLiteral("%1 under %2").arg(a).arg(letter),
                             double(windows) * asked / 4);
        }
        for (int w = 0; w < windows; ++w) {
            d.seed = quint32(w * 7919 + 1);
            DailyReviewPage* page = d.open();
            ExamRandom twin(d.seed);
            for (int n = 0; n < asked; ++n) {
                QVERIFY(page->current());
                const ShownQuestion shown = *page->current();
                const ShownQuestion expected = zoma::shuffled(byId.value(shown.question.id), twin);
                QCOMPARE(shown.order, expected.order);
                for (int letter = 0; letter < 4; ++letter)
                    tally.count(QStringLiteral("%1 under %2").arg(shown.order[letter]).arg(letter));
                for (int i = 0; i < 4; ++i) {
                    if (shown.correct & (1u << i)) page->choose(i);
                }
                if (shown.question.multiple()) page->confirm();
                QCOMPARE(page->stage(), Stage::Revealed);
                page->next();
            }
            d.close();
            QVERIFY(QFile::remove(d.file(ReviewLog::FileName)));  // the same day's questions again
        }
        const QString unfair = tally.unfairness();
        QVERIFY2(unfair.isEmpty(), qPrintable(unfair));
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
    }

    // The picture of the README, when asked for: ZOMA_SCREENSHOT_DIR=docs.
    void screenshot() {
        const QString dir = qEnvironmentVariable("ZOMA_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("ZOMA_SCREENSHOT_DIR is not set");
        Direct d;
        ReviewEntry known;
        known.when = zoma::logTime(d.now.addDays(-3));
        known.edition = QStringLiteral("2025");
        known.source = QStringLiteral("review");
        known.correct = true;
        known.rating = Rating::Good;
        for (const char* id : {"MC1-0001", "MC2-0002"}) {
            known.id = QLatin1String(id);
            QString error;
            QVERIFY(ReviewLog(d.file(ReviewLog::FileName)).append(known, &error));
        }
        DailyReviewPage* page = d.open();
        control<QDateEdit>(page, "examDate")->setDate(d.now.date().addDays(40));
        d.window->resize(1000, 700);
        // On to the question with a picture, its answer shown.
        for (int n = 0; n < 4 && page->current() && page->current()->question.picture.isEmpty();
             ++n) {
            answerByKeys(d.window.get(), page, page->current()->correct);
            press(d.window.get(), Qt::Key_Return);
        }
        QVERIFY(page->current());
        answerByKeys(d.window.get(), page, page->current()->correct);
        QTest::qWait(100);
        QVERIFY(d.window->grab().save(dir + QStringLiteral("/study-window.png")));
    }
};

QTEST_MAIN(StudyTest)
#include "study_test.moc"
