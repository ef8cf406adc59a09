// SPDX-License-Identifier: GPL-3.0-or-later
// The exam without a window: the draw, the shuffle, scoring, the clock, the
// rules, and the notebook and history files, damaged ones included.
#include "common/text_file.h"
#include "exam/exam_rules.h"
#include "exam/exam_session.h"
#include "exam/notebook.h"
#include "tests/exam/draw_tally.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <tuple>

Q_DECLARE_METATYPE(ExamRule)

namespace {

// A paper of singles then multiples; question i has answers "i-0".."i-3".
QList<ExamQuestion> paperOf(int singles, int multiples) {
    QList<ExamQuestion> paper;
    for (int i = 0; i < singles + multiples; ++i) {
        ExamQuestion q;
        q.id = QStringLiteral("MC%1-%2").arg(i < singles ? 1 : 2).arg(i, 4, 10, QChar(u'0'));
        q.text = QStringLiteral("问题%1").arg(i);
        for (int a = 0; a < 4; ++a) q.answers[a] = QStringLiteral("%1-%2").arg(i).arg(a);
        q.correct = i < singles ? quint8(1u << (i % 4)) : quint8(0b0101 + (i % 3));
        paper.append(q);
    }
    return paper;
}

quint8 setOf(const QString& text) {
    quint8 set = 0;
    for (QChar c : text) set |= quint8(1u << (c.unicode() - u'A'));
    return set;
}

}  // namespace

class ExamCoreTest final : public QObject {
    Q_OBJECT

private slots:
    void draw_data() {
        QTest::addColumn<int>("paperSingles");
        QTest::addColumn<int>("paperMultiples");
        QTest::addColumn<int>("ruleSingles");
        QTest::addColumn<int>("ruleMultiples");
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("multiples");
        QTest::newRow("2025 A类") << 500 << 183 << 32 << 8 << 32 << 8;
        QTest::newRow("2025 C类") << 1000 << 282 << 70 << 20 << 70 << 20;
        QTest::newRow("earlier B类") << 689 << 0 << 50 << 0 << 50 << 0;
        QTest::newRow("short of multiples") << 100 << 3 << 45 << 15 << 45 << 3;
        QTest::newRow("short of both") << 5 << 2 << 32 << 8 << 5 << 2;
        QTest::newRow("exactly enough") << 32 << 8 << 32 << 8 << 32 << 8;
        QTest::newRow("empty paper") << 0 << 0 << 30 << 0 << 0 << 0;
    }
    void draw() {
        QFETCH(int, paperSingles);
        QFETCH(int, paperMultiples);
        QFETCH(int, ruleSingles);
        QFETCH(int, ruleMultiples);
        QFETCH(int, singles);
        QFETCH(int, multiples);
        const QList<ExamQuestion> paper = paperOf(paperSingles, paperMultiples);
        QSet<QString> firstIds;
        for (quint32 seed : {1u, 2u, 3u}) {
            ExamRandom random(seed);
            const QList<ShownQuestion> drawn =
                zoma::drawExam(paper, {ruleSingles, ruleMultiples, 40, 30}, random);
            QCOMPARE(drawn.size(), singles + multiples);
            QSet<QString> ids;
            for (int i = 0; i < drawn.size(); ++i) {
                // Singles first, then multiples.
                QCOMPARE(drawn[i].question.multiple(), i >= singles);
                ids.insert(drawn[i].question.id);
            }
            QCOMPARE(ids.size(), drawn.size());  // no repetition
            if (seed == 1) firstIds = ids;
        }
        // Another seed draws other questions where there is a choice.
        if (paperSingles > ruleSingles * 2) {
            ExamRandom random(99);
            QSet<QString> ids;
            for (const ShownQuestion& s :
                 zoma::drawExam(paper, {ruleSingles, ruleMultiples, 40, 30}, random))
                ids.insert(s.question.id);
            QVERIFY(ids != firstIds);
        }
    }

    // Over many seeds every question comes out in every slot of its kind, and
    // every answer under every letter, each about equally often.
    void drawFairness_data() {
        QTest::addColumn<int>("paperSingles");
        QTest::addColumn<int>("paperMultiples");
        QTest::addColumn<ExamRule>("rule");
        QTest::addColumn<int>("seeds");
        QTest::newRow("part of each kind") << 12 << 6 << ExamRule{5, 2, 40, 5} << 6000;
        QTest::newRow("the whole paper") << 6 << 3 << ExamRule{6, 3, 40, 7} << 3000;
        QTest::newRow("short of multiples") << 8 << 2 << ExamRule{3, 5, 40, 6} << 4000;
        QTest::newRow("singles only") << 20 << 0 << ExamRule{4, 0, 40, 3} << 5000;
    }
    void drawFairness() {
        QFETCH(int, paperSingles);
        QFETCH(int, paperMultiples);
        QFETCH(ExamRule, rule);
        QFETCH(int, seeds);
        const QList<ExamQuestion> paper = paperOf(paperSingles, paperMultiples);
        Tally tally;
        draw_tally::expect(tally, paper, rule, seeds);
        for (int seed = 1; seed <= seeds; ++seed) {
            ExamRandom random(seed);
            draw_tally::count(tally, zoma::drawExam(paper, rule, random));
        }
        const QString unfair = tally.unfairness();
        QVERIFY2(unfair.isEmpty(), qPrintable(unfair));
    }

    // The 24 orders of four answers come out equally often, from the first
    // shuffle of a seed on as from later ones.
    void shuffleFairness() {
        ExamQuestion q = paperOf(1, 0)[0];
        std::array<int, 4> order = {0, 1, 2, 3};
        Tally tally;
        const int seeds = 3000, each = 8;
        do {
            tally.expect(
                QStringLiteral("%1%2%3%4").arg(order[0]).arg(order[1]).arg(order[2]).arg(order[3]),
                double(seeds) * each / 24);
        } while (std::next_permutation(order.begin(), order.end()));
        for (int seed = 1; seed <= seeds; ++seed) {
            ExamRandom random(seed);
            for (int k = 0; k < each; ++k) {
                const ShownQuestion s = zoma::shuffled(q, random);
                tally.count(QStringLiteral("%1%2%3%4")
                                .arg(s.order[0])
                                .arg(s.order[1])
                                .arg(s.order[2])
                                .arg(s.order[3]));
            }
        }
        const QString unfair = tally.unfairness();
        QVERIFY2(unfair.isEmpty(), qPrintable(unfair));
    }

    void shuffle_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("A") << QStringLiteral("A");
        QTest::newRow("D") << QStringLiteral("D");
        QTest::newRow("AC") << QStringLiteral("AC");
        QTest::newRow("BCD") << QStringLiteral("BCD");
        QTest::newRow("ABCD") << QStringLiteral("ABCD");
    }
    void shuffle() {
        QFETCH(QString, key);
        ExamQuestion q;
        q.answers = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                     QStringLiteral("丁")};
        q.correct = setOf(key);
        QSet<QString> rightTexts;
        for (int i = 0; i < 4; ++i) {
            if (q.correct & (1u << i)) rightTexts.insert(q.answers[i]);
        }
        ExamRandom random(7);
        for (int round = 0; round < 200; ++round) {
            const ShownQuestion shown = zoma::shuffled(q, random);
            QSet<QString> shownTexts, shownRight;
            for (int i = 0; i < 4; ++i) {
                shownTexts.insert(shown.answer(i));
                if (shown.correct & (1u << i)) shownRight.insert(shown.answer(i));
            }
            QCOMPARE(shownTexts.size(), 4);    // a permutation
            QCOMPARE(shownRight, rightTexts);  // the key follows its answers
        }
    }

    void scoring_data() {
        QTest::addColumn<QString>("correct");
        QTest::addColumn<QString>("pressed");  // letters pressed, in order
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("right");
        // clang-format off
        QTest::newRow("single right")            << "B"    << "B"     << "B"    << true;
        QTest::newRow("single changed to right") << "B"    << "AB"    << "B"    << true;
        QTest::newRow("single changed to wrong") << "B"    << "BA"    << "A"    << false;
        QTest::newRow("single unanswered")       << "B"    << ""      << ""     << false;
        QTest::newRow("multiple exact")          << "AC"   << "CA"    << "AC"   << true;
        QTest::newRow("multiple partly right")   << "AC"   << "A"     << "A"    << false;
        QTest::newRow("multiple one too many")   << "AC"   << "ACD"   << "ACD"  << false;
        QTest::newRow("multiple toggled back")   << "BCD"  << "BCDAA" << "BCD"  << true;
        QTest::newRow("multiple toggled off")    << "AC"   << "ACC"   << "A"    << false;
        QTest::newRow("multiple all four")       << "ABCD" << "DCBA"  << "ABCD" << true;
        // clang-format on
    }
    void scoring() {
        QFETCH(QString, correct);
        QFETCH(QString, pressed);
        QFETCH(QString, chosen);
        QFETCH(bool, right);
        ShownQuestion q;
        q.question.id = QStringLiteral("Q");
        q.question.correct = setOf(correct);
        q.correct = q.question.correct;
        qint64 now = 0;
        ExamSession session({q}, 40, 1, [&now] { return now; });
        for (QChar c : pressed) session.choose(c.unicode() - u'A');
        QCOMPARE(zoma::letters(session.choice(0)), chosen);
        const ExamResult& result = session.submit();
        QCOMPARE(result.score, right ? 1 : 0);
        QCOMPARE(result.passed, right);
        QCOMPARE(session.unanswered(), chosen.isEmpty() ? 1 : 0);
        session.choose(0);  // nothing changes after submission
        QCOMPARE(zoma::letters(session.choice(0)), chosen);
    }

    void clock() {
        ExamRandom random(3);
        qint64 now = 1'000'000;  // a monotonic clock does not start at zero
        ExamSession session(zoma::drawExam(paperOf(40, 0), {30, 0, 40, 25}, random), 40, 25,
                            [&now] { return now; });
        QCOMPARE(session.remainingMs(), 40 * 60'000);
        now += 40 * 60'000 - 1;
        QVERIFY(!session.timeUp());
        QCOMPARE(session.remainingMs(), 1);
        now += 1;
        QVERIFY(session.timeUp());
        now += 5'000;  // late: still zero, never negative
        QCOMPARE(session.remainingMs(), 0);
        const ExamResult& result = session.submit();
        QCOMPARE(result.secondsUsed, 40 * 60);
        QCOMPARE(result.score, 0);
        QVERIFY(!result.passed);
    }

    void passMark_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("passMark");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("passed");
        QTest::newRow("at the mark") << 30 << 25 << 25 << true;
        QTest::newRow("one below") << 30 << 25 << 24 << false;
        QTest::newRow("mark above a short paper: all right passes") << 7 << 30 << 7 << true;
        QTest::newRow("short paper, one wrong") << 7 << 30 << 6 << false;
    }
    void passMark() {
        QFETCH(int, count);
        QFETCH(int, passMark);
        QFETCH(int, right);
        QFETCH(bool, passed);
        ExamRandom random(5);
        ExamSession session(zoma::drawExam(paperOf(count, 0), {count, 0, 40, passMark}, random), 40,
                            passMark, [] { return 0; });
        for (int i = 0; i < count; ++i) {
            session.go(i);
            const int key = std::countr_zero(session.question(i).correct);
            session.choose(i < right ? key : (key + 1) % 4);
        }
        QCOMPARE(session.submit().score, right);
        QCOMPARE(session.submit().passed, passed);
    }

    void defaultRules_data() {
        QTest::addColumn<bool>("y2025");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QList<int>>("rule");
        QTest::newRow("earlier A") << false << "A类" << QList<int>{30, 0, 40, 25};
        QTest::newRow("earlier B") << false << "B类" << QList<int>{50, 0, 60, 40};
        QTest::newRow("earlier C") << false << "C类" << QList<int>{80, 0, 90, 60};
        QTest::newRow("2025 A") << true << "A类" << QList<int>{32, 8, 40, 30};
        QTest::newRow("2025 B") << true << "B类" << QList<int>{45, 15, 60, 45};
        QTest::newRow("2025 C") << true << "C类" << QList<int>{70, 20, 90, 70};
    }
    void defaultRules() {
        QFETCH(bool, y2025);
        QFETCH(QString, level);
        QFETCH(QList<int>, rule);
        const Edition edition = y2025 ? Edition::Y2025 : Edition::Earlier;
        const ExamRule expected{rule[0], rule[1], rule[2], rule[3]};
        QCOMPARE(zoma::defaultRule(edition, level), expected);

        // A change is kept for its edition and level only.
        QTemporaryDir dir;
        const QString path = dir.filePath(RuleSettings::FileName);
        QString error;
        QVERIFY(RuleSettings(path).save(edition, level, {1, 2, 3, 4}, &error));
        RuleSettings settings(path);
        QCOMPARE(settings.load(edition, level, &error), (ExamRule{1, 2, 3, 4}));
        const Edition other = y2025 ? Edition::Earlier : Edition::Y2025;
        QCOMPARE(settings.load(other, level, &error), zoma::defaultRule(other, level));
        QVERIFY(error.isEmpty());
    }

    // The file keeps the settings library's own format: a user's file from
    // before is read, and written back with only the changed group changed.
    void settingsFileFormat() {
        QTemporaryDir dir;
        const QString path = dir.filePath(RuleSettings::FileName);
        writeBytes(path, "[2013-2021-B]\nminutes=55\n");
        QString error;
        RuleSettings settings(path);
        QCOMPARE(settings.load(Edition::Earlier, QStringLiteral("B类"), &error).minutes, 55);
        QVERIFY(settings.save(Edition::Y2025, QStringLiteral("A类"), {1, 2, 3, 4}, &error));
#ifdef Q_OS_WIN
        // Qt writes an INI file the Windows way there: CR LF, new keys in the order set.
        QCOMPARE(readBytes(path),
                 QByteArray("[2013-2021-B]\r\nminutes=55\r\n\r\n[2025-A]\r\n"
                            "singles=1\r\nmultiples=2\r\nminutes=3\r\npassMark=4\r\n"));
#else
        QCOMPARE(readBytes(path), QByteArray("[2013-2021-B]\nminutes=55\n\n[2025-A]\nminutes=3\n"
                                             "multiples=2\npassMark=4\nsingles=1\n"));
#endif
        QVERIFY(error.isEmpty());
    }

    // exam.ini that is no regular file or far too large is answered at once
    // with the defaults, and never written.
    void unreadableSettings_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << QStringLiteral("fifo");
        QTest::newRow("20 GiB, sparse") << QStringLiteral("huge");
        QTest::newRow("folder") << QStringLiteral("folder");
    }
    void unreadableSettings() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(RuleSettings::FileName);
        if (kind == u"fifo") {
            if (!makeFifo(path)) QSKIP(kNoSpecialFiles);
        } else if (kind == u"huge") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (!file.resize(qint64(20) << 30)) QSKIP("this file system has no sparse files");
        } else {
            QVERIFY(QDir().mkpath(path));
        }
        const auto state = [&path] {
            const QFileInfo info(path);
            return std::tuple(info.isFile(), info.isDir(), info.size(), info.lastModified());
        };
        const auto before = state();
        const Edition edition = Edition::Y2025;
        const QString level = QStringLiteral("B类");
        QString error;
        RuleSettings settings(path);
        QCOMPARE(settings.load(edition, level, &error), zoma::defaultRule(edition, level));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!settings.save(edition, level, {1, 2, 3, 4}, &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!RuleSettings(path).save(edition, level, {1, 2, 3, 4}, &error));  // not loaded
        QVERIFY(!error.isEmpty());
        QVERIFY(state() == before);
    }

    void paperFromStore() {
        QTemporaryDir dir;
        const SharedValues values = programValues(dir.path());
        QuestionBank bank;
        // Positions 2 and 4 name the same question.
        fillPaper(bank, 5, [](int k) { return k == 4 ? 12 : 10 + k; });
        QVERIFY(bank.PaperIds.set(5, QStringLiteral("XY")));  // names no question
        bank.PaperCount = 6;
        writeBytes(values.LibDir + QStringLiteral("/lk0013.JPG"), "picture");

        const ExamPaper paper = zoma::examPaper(bank, values);
        QCOMPARE(paper.edition, Edition::Earlier);
        QCOMPARE(paper.questions.size(), 4);
        const ExamQuestion& q = paper.questions[2];
        QCOMPARE(q.id, QStringLiteral("LK0013"));
        QCOMPARE(q.answers[0], QStringLiteral("对3"));  // without its tag
        QCOMPARE(q.answers[3], QStringLiteral("错3"));
        QCOMPARE(q.correct, quint8(1));
        ZOMA_COMPARE_FILE(q.picture, values.LibDir + QStringLiteral("/lk0013.JPG"));
        QVERIFY(paper.questions[0].picture.isEmpty());
    }

    void notebookLifeCycle() {
        QTemporaryDir dir;
        const QString path = dir.filePath(Notebook::FileName);
        Notebook book(path);
        QString error;
        QVERIFY(book.load(&error));  // no file yet: empty
        const QString id = QStringLiteral("MC2-0001");
        book.answered(Edition::Y2025, id, true);  // right, not in the book: nothing
        QVERIFY(book.entries().isEmpty());
        book.answered(Edition::Y2025, id, false);
        book.answered(Edition::Earlier, QStringLiteral("LK0001"), false);
        book.answered(Edition::Y2025, id, true);
        book.answered(Edition::Y2025, id, false);  // the streak starts again
        QCOMPARE(book.find(Edition::Y2025, id)->wrong, 2);
        QCOMPARE(book.find(Edition::Y2025, id)->rightStreak, 0);
        book.answered(Edition::Y2025, id, true);
        QVERIFY(book.save(&error));

        // Read back from the file, a line a person can read.
        QVERIFY(readBytes(path).contains("2025\tMC2-0001\t2\t1\r\n"));
        Notebook again(path);
        QVERIFY(again.load(&error));
        QCOMPARE(again.entries().size(), 2);
        QCOMPARE(again.find(Edition::Y2025, id)->rightStreak, 1);
        QVERIFY(!again.find(Edition::Earlier, id));  // keyed by edition too
        again.answered(Edition::Y2025, id, true);    // second right in a row: it leaves
        QVERIFY(!again.find(Edition::Y2025, id));
        QVERIFY(again.find(Edition::Earlier, QStringLiteral("LK0001")));
    }

    void historyRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath(ExamHistory::FileName);
        ExamHistory history(path);
        QString error;
        QVERIFY(history.load(&error));
        const QDateTime when(QDate(2026, 12, 7), QTime(3, 10, 22));
        QVERIFY(history.append({when, QStringLiteral("A类"), Edition::Y2025, 40, 35, true, 1520},
                               &error));
        QVERIFY(history.append({when, QStringLiteral("C类"), Edition::Earlier, 80, 12, false, 5400},
                               &error));
        QVERIFY(readBytes(path).contains(
            zoma::encodeGbk(u"2026-12-07 03:10:22\tA类\t2025\t40\t35\t合格\t1520\r\n")));
        ExamHistory again(path);
        QVERIFY(again.load(&error));
        QCOMPARE(again.lines().size(), 2);
        QCOMPARE(again.lines()[1].edition, Edition::Earlier);
        QCOMPARE(again.lines()[1].seconds, 5400);
        QVERIFY(!again.lines()[1].passed);
    }

    // A damaged file is reported, kept byte for byte and never written.
    void damagedFiles_data() {
        QTest::addColumn<bool>("notebook");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("notebook: text") << true << QByteArray("hello world\r\n");
        QTest::newRow("notebook: three fields") << true << QByteArray("2025\tMC2-0001\t2\r\n");
        QTest::newRow("notebook: unknown edition") << true << QByteArray("2019\tLK0001\t1\t0\r\n");
        QTest::newRow("notebook: negative count")
            << true << QByteArray("2025\tMC2-0001\t-1\t0\r\n");
        QTest::newRow("notebook: streak that should have left")
            << true << QByteArray("2025\tMC2-0001\t1\t2\r\n");
        QTest::newRow("notebook: twice")
            << true << QByteArray("2025\tA\t1\t0\r\n2025\tA\t2\t0\r\n");
        QTest::newRow("notebook: binary") << true << QByteArray("\x00\x01\xff\xfe\t\t\t", 7);
        QTest::newRow("history: bad date")
            << false << QByteArray("2026-13-07 03:10:22\tA\t2025\t40\t35\t\xba\xcf\xb8\xf1\t1\r\n");
        QTest::newRow("history: score above count")
            << false << QByteArray("2026-12-07 03:10:22\tA\t2025\t40\t41\t\xba\xcf\xb8\xf1\t1\r\n");
        QTest::newRow("history: unknown verdict")
            << false << QByteArray("2026-12-07 03:10:22\tA\t2025\t40\t35\tyes\t1\r\n");
        QTest::newRow("history: a folder") << false << QByteArray();
    }
    void damagedFiles() {
        QFETCH(bool, notebook);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(notebook ? Notebook::FileName : ExamHistory::FileName);
        if (bytes.isEmpty()) {
            QVERIFY(QDir().mkpath(path));
        } else {
            writeBytes(path, bytes);
        }
        QString error;
        if (notebook) {
            Notebook book(path);
            QVERIFY(!book.load(&error));
            book.answered(Edition::Y2025, QStringLiteral("MC2-0001"), false);
            QVERIFY(!book.save(&error));
        } else {
            ExamHistory history(path);
            QVERIFY(!history.load(&error));
            QVERIFY(!history.append({QDateTime::currentDateTime(), QStringLiteral("A类"),
                                     Edition::Y2025, 1, 1, true, 1},
                                    &error));
        }
        QVERIFY(!error.isEmpty());
        if (!bytes.isEmpty()) QCOMPARE(readBytes(path), bytes);
    }

    // A program folder that is a file: nothing can be made in it, even as root.
    void unwritableFolder() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("file"));
        writeBytes(folder, "not a folder");
        QString error;
        Notebook book(folder + QStringLiteral("/") + Notebook::FileName);
        QVERIFY(book.load(&error));
        book.answered(Edition::Earlier, QStringLiteral("LK0001"), false);
        QVERIFY(!book.save(&error));
        QVERIFY(!error.isEmpty());
        error.clear();
        ExamHistory history(folder + QStringLiteral("/") + ExamHistory::FileName);
        QVERIFY(!history.append(
            {QDateTime::currentDateTime(), QStringLiteral("A类"), Edition::Earlier, 1, 1, true, 1},
            &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!RuleSettings(folder + QStringLiteral("/") + RuleSettings::FileName)
                     .save(Edition::Earlier, QStringLiteral("A类"), {1, 0, 1, 1}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readBytes(folder), QByteArray("not a folder"));
    }
};

QTEST_GUILESS_MAIN(ExamCoreTest)
#include "exam_core_test.moc"
