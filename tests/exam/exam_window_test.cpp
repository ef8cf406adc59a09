// SPDX-License-Identifier: GPL-3.0-or-later
// The exam through the real windows, offscreen and by the keyboard: from the
// main window's button to the score, the notebook, the history and 错题练习.
#include "exam/exam_window.h"
#include "app/review_tool.h"
#include "common/text_file.h"
#include "exam/answer_card.h"
#include "exam/notebook.h"
#include "main_window/form1.h"
#include "memory/favourites.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using Answer = Dialogs::Answer;
using Window = WindowRegistry::Window;

namespace {

// Presses a key where the user's focus is.
void press(QWidget* window, Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == window ? focus : window, key);
}

// Chooses a set of shown letters, half by digit and half by letter keys.
void chooseSet(QWidget* window, quint8 set, bool digits) {
    for (int i = 0; i < 4; ++i) {
        if (set & (1u << i)) press(window, Qt::Key((digits ? Qt::Key_1 : Qt::Key_A) + i));
    }
}

// A wrong choice of the same kind: another single letter, or the key with one
// letter missing (partly right scores nothing).
quint8 wrongSet(quint8 correct) {
    if (std::popcount(correct) > 1) return quint8(correct & (correct - 1));
    return quint8(correct == 1 ? 2 : 1);
}

QPushButton* letterButton(QWidget* window, int letter) {
    return control(window, qPrintable(QStringLiteral("letter%1").arg(QChar(u'A' + letter))));
}

// Toggles a letter as a screen reader does: through its accessible action,
// which checks the button without clicking it.
void toggleByReader(QWidget* window, int letter) {
    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(letterButton(window, letter));
    QVERIFY(face && face->actionInterface());
    const QString toggle = QAccessibleActionInterface::toggleAction();
    QVERIFY(face->actionInterface()->actionNames().contains(toggle));
    face->actionInterface()->doAction(toggle);
}

// The letters checked on screen.
quint8 shownLetters(QWidget* window) {
    quint8 set = 0;
    for (int i = 0; i < 4; ++i) set |= letterButton(window, i)->isChecked() ? 1u << i : 0u;
    return set;
}

QString textOf(const QString& path) {
    QString text, error;
    return zoma::readTextFile(path, &text, &error) ? text : QString();
}

int lineCount(const QString& path) {
    const QString text = textOf(path);
    int n = 0;
    for (QStringView line : zoma::splitLines(text))
        n += line.isEmpty() || line.startsWith(u'#') ? 0 : 1;
    return n;
}

}  // namespace

class ExamWindowTest final : public QObject {
    Q_OBJECT

private:
    // An exam window over a paper of `count` earlier-edition questions.
    struct Direct {
        QTemporaryDir dir;
        QuestionBank bank;
        SharedValues values;
        ScriptedDialogs dialogs;
        qint64 now = 5'000;
        quint32 seed = 42;
        std::unique_ptr<ReviewMemory> memory;
        std::unique_ptr<ExamWindow> window;

        explicit Direct(int count, const QString& appDir = QString()) {
            values = programValues(appDir.isEmpty() ? dir.path() : appDir);
            fillPaper(bank, count, [](int k) { return k; });
        }
        void open() {
            ExamEnvironment env{[this] { return now; }, [this] { return seed; },
                                [] { return QDateTime(QDate(2026, 12, 7), QTime(4, 0)); }};
            memory = std::make_unique<ReviewMemory>(values.folder().appFile(ReviewLog::FileName));
            window = std::make_unique<ExamWindow>(bank, values, *memory, dialogs,
                                                  QStringLiteral("A类"), env);
            window->show();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
        void start() { click(window.get(), "startButton"); }
    };

    // Answers every question of the running exam: i % 3 == 0 unanswered,
    // i % 3 == 1 wrong, the rest right; counts the right ones.
    void answerExam(ExamWindow* window, QStringList* missed, int* right) {
        const ExamSession* session = window->session();
        for (int i = 0; i < session->count(); ++i) {
            QCOMPARE_EQ(session->current(), i);
            const ShownQuestion& q = session->question(i);
            if (i % 3 == 1) {
                chooseSet(window, wrongSet(q.correct), i % 2 == 0);
            } else if (i % 3 == 2) {
                chooseSet(window, q.correct, i % 2 == 0);
                ++*right;
            }
            if (i % 3 != 2) missed->append(q.question.id);
            press(window, i % 2 ? Qt::Key_Right : Qt::Key_PageDown);
        }
    }

private slots:
    // The count beside 错题练习 follows its check box, as a screen reader
    // ticks it and reads the count: all of the paper's questions in the
    // notebook, or the starred ones, stars given since included.
    void notebookCountFollowsStars() {
        Direct d(10);
        Notebook notebook(d.values.folder().appFile(Notebook::FileName));
        for (int k : {2, 5, 7}) notebook.answered(Edition::Earlier, questionId(k), false);
        notebook.answered(Edition::Earlier, QStringLiteral("LK0999"), false);  // not on the paper
        QString error;
        QVERIFY2(notebook.save(&error), qPrintable(error));
        Favourites stars(d.values.folder().appFile(Favourites::FileName));
        const QString edition = zoma::editionKey(Edition::Earlier);
        QVERIFY(stars.set(edition, questionId(5), true, &error));
        QVERIFY(stars.set(edition, questionId(9), true, &error));  // not in the notebook
        d.open();
        auto* count = control<QLabel>(d.window.get(), "notebookCount");
        const auto heard = [count] {
            return QAccessible::queryAccessibleInterface(count)->text(QAccessible::Name);
        };
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(
            control<QCheckBox>(d.window.get(), "practiceFavouritesOnly"));
        const QString toggle = QAccessibleActionInterface::toggleAction();
        QCOMPARE(heard(), QStringLiteral("错题本中本试卷的题：3"));
        box->actionInterface()->doAction(toggle);
        QCOMPARE(heard(), QStringLiteral("错题本中本试卷收藏的题：1"));
        box->actionInterface()->doAction(toggle);
        QCOMPARE(heard(), QStringLiteral("错题本中本试卷的题：3"));
        QVERIFY(stars.set(edition, questionId(7), true, &error));
        box->actionInterface()->doAction(toggle);
        QCOMPARE(heard(), QStringLiteral("错题本中本试卷收藏的题：2"));
        QCOMPARE(d.dialogs.takeTexts(), QStringList());
    }

    // One exam of each edition from a sample library, read and answered as a
    // user would, through 错题练习 until the notebook is empty.
    void exam_data() {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("edition");  // as the start page shows it
        QTest::addColumn<QString>("key");      // as the notebook writes it
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("passMark");
        QTest::newRow("2013–2021") << QStringLiteral(ZOMA_SAMPLE_LIB) << QStringLiteral("2013–2021")
                                   << QStringLiteral("2013-2021") << 30 << 25;
        QTest::newRow("2025") << QStringLiteral(ZOMA_SAMPLE_2025_LIB) << QStringLiteral("2025")
                              << QStringLiteral("2025") << 32 << 30;
    }
    void exam() {
        QFETCH(QString, library);
        QFETCH(QString, edition);
        QFETCH(QString, key);
        QFETCH(int, singles);
        QFETCH(int, passMark);
        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        ReviewTool tool(dialogs, programDir.path());
        Form1& main = tool.mainWindow();
        main.show();
        QVERIFY(!control(&main, "examButton")->isEnabled());
        QVERIFY(QDir().mkpath(tool.values.LibDir));
        for (const QString& name : QDir(library).entryList(QDir::Files)) {
            QVERIFY(QFile::copy(library + u'/' + name, tool.values.LibDir + u'/' + name));
        }
        click(&main, "Command4");
        dialogs.takeTexts();
        QVERIFY(control(&main, "examButton")->isEnabled());
        const int paperCount = tool.bank.PaperCount;

        click(&main, "examButton");
        auto* window = qobject_cast<ExamWindow*>(tool.windows.find(Window::Exam));
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("模拟考试"));
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(control<QLabel>(window, "ruleTitle")->text().contains(edition));
        QCOMPARE(control<QSpinBox>(window, "singles")->value(), singles);
        QCOMPARE(window->paper().questions.size(), paperCount);
        QVERIFY(!control(window, "practiceButton")->isEnabled());
        const PaperKinds kinds = zoma::paperKinds(window->paper().questions);
        if (kinds.singles < singles) {
            QVERIFY(control<QLabel>(window, "shortNote")
                        ->text()
                        .contains(QStringLiteral("单选题%1道").arg(kinds.singles)));
        }

        // Reading another level changes nothing in the open window.
        control<QComboBox>(&main, "Combo1")->setCurrentIndex(2);
        QVERIFY(!control(&main, "examButton")->isEnabled());  // with review and export
        click(&main, "Command4");
        dialogs.takeTexts();
        QCOMPARE(window->paper().questions.size(), paperCount);

        press(window, Qt::Key_Space);  // the start button has the focus
        QCOMPARE(window->page(), ExamWindow::Page::Question);
        const ExamRule rule = zoma::defaultRule(window->paper().edition, QStringLiteral("A类"));
        const int count =
            std::min(kinds.singles, rule.singles) + std::min(kinds.multiples, rule.multiples);
        QCOMPARE(window->session()->count(), count);

        press(window, Qt::Key_M);
        auto* card = control<AnswerCard>(window, "answerCard");
        QVERIFY(card->cell(0).marked);
        QStringList missed;
        int right = 0;
        answerExam(window, &missed, &right);
        QCOMPARE(card->current(), count - 1);
        QVERIFY(card->cell(1).answered && !card->cell(0).answered);
        QTest::mouseClick(card, Qt::LeftButton, {}, card->cellRect(1).center());
        QCOMPARE(window->session()->current(), 1);

        dialogs.answer(Answer::Yes);
        click(window, "submitButton");
        QCOMPARE(dialogs.takeTexts(),
                 QStringList{QStringLiteral("还有%1题未答。确定交卷吗？").arg((count + 2) / 3)});
        QCOMPARE(window->page(), ExamWindow::Page::Result);
        QCOMPARE(control<QLabel>(window, "score")->text(),
                 QStringLiteral("得分：%1 / %2").arg(right).arg(count));
        QCOMPARE(control<QLabel>(window, "verdict")->text(), right >= std::min(passMark, count)
                                                                 ? QStringLiteral("合格")
                                                                 : QStringLiteral("不合格"));
        const QString all = control<QPlainTextEdit>(window, "resultList")->toPlainText();
        control<QCheckBox>(window, "wrongOnly")->setChecked(true);
        const QString wrong = control<QPlainTextEdit>(window, "resultList")->toPlainText();
        QCOMPARE(all.count(QStringLiteral("正确答案：")), count);
        QCOMPARE(wrong.count(QStringLiteral("正确答案：")), missed.size());

        // The notebook holds what went wrong, the history the exam.
        const QString notebook = tool.values.AppDir + Notebook::FileName;
        QCOMPARE(lineCount(notebook), missed.size());
        const QString notebookText = textOf(notebook);
        for (const QString& id : missed) {
            QVERIFY(notebookText.contains(QStringLiteral("%1\t%2\t1\t0").arg(key, id)));
        }
        QCOMPARE(lineCount(tool.values.AppDir + ExamHistory::FileName), 1);

        // 错题练习, right twice in a row, empties the notebook.
        click(window, "backButton");
        QVERIFY(control<QPlainTextEdit>(window, "historyView")
                    ->toPlainText()
                    .contains(QStringLiteral("%1/%2分").arg(right).arg(count)));
        for (int round = 0; round < 2; ++round) {
            QVERIFY(control(window, "practiceButton")->isEnabled());
            click(window, "practiceButton");
            for (int i = 0; i < missed.size(); ++i) {
                const ShownQuestion* q = window->currentQuestion();
                QVERIFY(q);
                chooseSet(window, q->correct, true);
                // A multiple-answer question is judged on Enter.
                if (q->question.multiple()) press(window, Qt::Key_Return);
                QVERIFY(control<QLabel>(window, "feedback")
                            ->text()
                            .startsWith(QStringLiteral("回答正确")));
                press(window, Qt::Key_Return);
            }
            QCOMPARE(
                dialogs.takeTexts(),
                QStringList{QStringLiteral("错题练习完成：共%1题，答对%1题。").arg(missed.size())});
            QCOMPARE(window->page(), ExamWindow::Page::Start);
        }
        QCOMPARE(lineCount(notebook), 0);
        QVERIFY(!control(window, "practiceButton")->isEnabled());
        QVERIFY(dialogs.scriptDone());
    }

    // A screen reader's toggle records the answer, and the letters on screen
    // always show what is recorded, in the exam and in 错题练习.
    void lettersByScreenReader() {
        Direct d(40);
        d.open();
        d.start();
        ExamWindow* w = d.window.get();
        for (int i = 0; i < w->session()->count(); ++i) {
            toggleByReader(w, 0);
            QCOMPARE(w->session()->choice(i), quint8(1));
            QCOMPARE(shownLetters(w), quint8(1));
            if (i == 0) {
                // Another letter replaces a single choice; the chosen one stays.
                for (const int letter : {1, 1, 0}) {
                    toggleByReader(w, letter);
                    QCOMPARE(w->session()->choice(i), quint8(1u << letter));
                    QCOMPARE(shownLetters(w), quint8(1u << letter));
                }
            }
            press(w, Qt::Key_Right);
        }
        d.dialogs.answer(Answer::Yes);
        click(w, "submitButton");
        QCOMPARE(d.dialogs.takeTexts(),
                 QStringList{QStringLiteral("所有题目都已作答。确定交卷吗？")});

        click(w, "backButton");
        QVERIFY(control(w, "practiceButton")->isEnabled());
        click(w, "practiceButton");
        toggleByReader(w, 0);
        QVERIFY(control<QLabel>(w, "feedback")->text().startsWith(QStringLiteral("回答")));
        QCOMPARE(shownLetters(w), quint8(1));
        // With the answer shown a toggle records nothing, so shows nothing.
        toggleByReader(w, 2);
        QCOMPARE(w->currentChoice(), quint8(1));
        QCOMPARE(shownLetters(w), quint8(1));
    }

    // Each exam is the draw of the seed the world gives at its start, answers
    // shuffled as that seed has them: the draw whose fairness
    // exam_core_test holds is what the window asks.
    void examFromItsSeed() {
        Direct d(40);
        QSet<QStringList> exams;
        for (const quint32 seed : {1u, 2u, 3u}) {
            d.seed = seed;
            d.open();
            d.start();
            ExamWindow* w = d.window.get();
            const ExamRule rule{control<QSpinBox>(w, "singles")->value(),
                                control<QSpinBox>(w, "multiples")->value(),
                                control<QSpinBox>(w, "minutes")->value(),
                                control<QSpinBox>(w, "passMark")->value()};
            ExamRandom twin(seed);
            const QList<ShownQuestion> expected =
                zoma::drawExam(zoma::examPaper(d.bank, d.values).questions, rule, twin);
            QCOMPARE(w->session()->count(), expected.size());
            QStringList ids;
            for (int i = 0; i < expected.size(); ++i) {
                QCOMPARE(w->session()->question(i).question.id, expected[i].question.id);
                QCOMPARE(w->session()->question(i).order, expected[i].order);
                ids << expected[i].question.id;
            }
            exams.insert(ids);
        }
        QCOMPARE(exams.size(), 3);
    }

    void timeUp() {
        Direct d(40);
        d.open();
        control<QSpinBox>(d.window.get(), "minutes")->setValue(2);
        d.start();
        press(d.window.get(), Qt::Key_1);
        d.now += 2 * 60'000 - 1;
        d.window->tick();
        QCOMPARE(d.window->page(), ExamWindow::Page::Question);
        QCOMPARE(control<QLabel>(d.window.get(), "clock")->text(), QStringLiteral("剩余时间 0:01"));
        d.now += 1;
        d.window->tick();
        QCOMPARE(d.window->page(), ExamWindow::Page::Result);
        QCOMPARE(d.dialogs.takeTexts(), QStringList{ExamWindow::TimeUpText});
        QVERIFY(control<QLabel>(d.window.get(), "timeUsed")
                    ->text()
                    .endsWith(QStringLiteral("用时：2分00秒")));
        QVERIFY(textOf(d.values.AppDir + ExamHistory::FileName)
                    .contains(QStringLiteral("\tA类\t2013-2021\t30\t")));
    }

    void closeDuringExam() {
        Direct d(40);
        d.open();
        d.start();
        d.dialogs.answer(Answer::No);
        QVERIFY(!d.window->close());
        QCOMPARE(d.dialogs.takeTexts(), QStringList{ExamWindow::CloseQuestion});
        d.dialogs.answer(Answer::Yes);
        QVERIFY(d.window->close());
        // Not scored: no notebook, no history.
        QVERIFY(!QFileInfo::exists(d.values.AppDir + ExamHistory::FileName));
        QVERIFY(!QFileInfo::exists(d.values.AppDir + Notebook::FileName));
    }

    void damagedFilesKept() {
        Direct d(40);
        const QByteArray notebook("this is not a notebook\r\n");
        const QByteArray history("neither\r\n");
        writeBytes(d.values.AppDir + Notebook::FileName, notebook);
        writeBytes(d.values.AppDir + ExamHistory::FileName, history);
        d.open();
        const QStringList texts = d.dialogs.takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].startsWith(QStringLiteral("错题本无法读取")));
        QVERIFY(texts[1].startsWith(QStringLiteral("考试记录无法读取")));
        d.start();  // the exam still runs
        d.dialogs.answer(Answer::Yes);
        click(d.window.get(), "submitButton");
        QCOMPARE(d.dialogs.takeTexts().size(), 1);  // the question alone
        QCOMPARE(d.window->page(), ExamWindow::Page::Result);
        QCOMPARE(readBytes(d.values.AppDir + Notebook::FileName), notebook);
        QCOMPARE(readBytes(d.values.AppDir + ExamHistory::FileName), history);
    }

    // A picture that is a FIFO or far too large is skipped at once, never
    // waited on or read whole; a good one beside them still shows.
    void hostilePictures() {
        Direct d(3);
        QVERIFY(QDir().mkpath(d.values.folder().libDir()));
        const QString lib = d.values.folder().libDir() + u'/';
        // A folder by that name where FIFOs do not exist: no regular file either.
        if (!makeFifo(lib + QStringLiteral("LK0001.jpg")))
            QVERIFY(QDir().mkpath(lib + QStringLiteral("LK0001.jpg")));
        QFile huge(lib + QStringLiteral("LK0002.jpg"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(20) << 30));
        huge.close();
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(lib + QStringLiteral("LK0003.jpg"), "JPEG"));
        d.open();
        control<QSpinBox>(d.window.get(), "singles")->setValue(3);
        d.start();
        const ExamSession* session = d.window->session();
        for (int i = 0; i < session->count(); ++i) {
            const bool shown = session->question(i).question.id == QStringLiteral("LK0003");
            QCOMPARE(d.window->findChild<QLabel*>(QStringLiteral("picture"))->isVisible(), shown);
            press(d.window.get(), Qt::Key_PageDown);
        }
    }

    void unwritableFolderOneMessage() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("file"));
        writeBytes(file, "x");
        Direct d(40, file);
        d.open();
        control<QSpinBox>(d.window.get(), "singles")->setValue(3);  // settings: the one message
        control<QSpinBox>(d.window.get(), "singles")->setValue(4);
        QCOMPARE(d.dialogs.takeTexts().size(), 1);
        d.start();
        d.dialogs.answer(Answer::Yes);
        click(d.window.get(), "submitButton");
        QCOMPARE(d.dialogs.takeTexts().size(), 1);  // the question; notebook and history silent
        QCOMPARE(d.window->page(), ExamWindow::Page::Result);
    }
};

QTEST_MAIN(ExamWindowTest)
#include "exam_window_test.moc"
