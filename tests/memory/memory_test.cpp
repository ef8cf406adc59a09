// SPDX-License-Identifier: GPL-3.0-or-later
// The memory without a window: the review log and its damaged lines, the
// daily queue, the chance of passing against enumeration, the progress file.
#include "memory/daily_queue.h"
#include "memory/pass_chance.h"
#include "memory/progress_csv.h"
#include "memory/review_log.h"
#include "memory/review_memory.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <ctime>
#include <vector>

namespace {

// Local time in these tests is China's (+08:00, no summer time).
const QDateTime kNow(QDate(2026, 12, 7), QTime(14, 0));

ReviewEntry entry(const QString& id, const QDateTime& when, Rating rating) {
    ReviewEntry e;
    e.when = when;
    e.edition = QStringLiteral("2025");
    e.id = id;
    e.source = QStringLiteral("review");
    e.chosen = QStringLiteral("A");
    e.correct = rating != Rating::Again;
    e.rating = rating;
    e.seconds = 7;
    return e;
}

QString qid(int i) {
    return QStringLiteral("MC1-%1").arg(i, 4, 10, QChar(u'0'));
}

QList<LevelQuestion> levelOf(int n) {
    QList<LevelQuestion> level;
    for (int i = 0; i < n; ++i) level.append({qid(i), {}, QStringLiteral("1.%1.1").arg(i % 3 + 1)});
    return level;
}

// Chances of all the k-subsets, one by one.
PassChance enumerate(const QList<double>& singles, const QList<double>& multiples, int ks, int km,
                     int passMark) {
    const auto subsets = [](const QList<double>& p, int k) {
        QList<QList<double>> out;  // per subset: the distribution of right answers
        const int n = int(p.size());
        for (quint32 mask = 0; mask < (1u << n); ++mask) {
            if (std::popcount(mask) != k) continue;
            QList<double> dist{1.0};
            for (int i = 0; i < n; ++i) {
                if (!(mask & (1u << i))) continue;
                QList<double> next(dist.size() + 1, 0.0);
                for (qsizetype s = 0; s < dist.size(); ++s) {
                    next[s] += dist[s] * (1 - p[i]);
                    next[s + 1] += dist[s] * p[i];
                }
                dist = next;
            }
            out.append(dist);
        }
        return out;
    };
    const auto a = subsets(singles, ks), b = subsets(multiples, km);
    PassChance c;
    const double weight = 1.0 / double(a.size() * b.size());
    for (const auto& x : a)
        for (const auto& y : b)
            for (qsizetype i = 0; i < x.size(); ++i)
                for (qsizetype j = 0; j < y.size(); ++j) {
                    const double p = x[i] * y[j] * weight;
                    c.expectedScore += p * double(i + j);
                    if (i + j >= passMark) c.probability += p;
                }
    return c;
}

}  // namespace

class MemoryTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("TZ", "CST-8");
        ::tzset();
        QCOMPARE(kNow.offsetFromUtc(), 8 * 3600);
    }

    void logLine() {
        ReviewEntry e = entry(QStringLiteral("MC1-0005"), kNow.addSecs(35 * 60 + 2), Rating::Hard);
        e.chosen = QStringLiteral("AB");
        e.correct = true;
        e.seconds = 12;
        const QString line = zoma::reviewLine(e);
        QCOMPARE(line,
                 QStringLiteral("2026-12-07T14:35:02+08:00\t2025\tMC1-0005\treview\tAB\t1\t2\t12"));
        ReviewEntry back;
        QString reason;
        QVERIFY(zoma::parseReviewLine(line, &back, &reason));
        QCOMPARE(back, e);
        QCOMPARE(back.when.offsetFromUtc(), 8 * 3600);
        // Another zone's time keeps its instant.
        QVERIFY(zoma::parseReviewLine(
            QStringLiteral("2026-12-07T01:35:02-05:00\t2025\tX\texam\t\t0\t1\t0"), &back, &reason));
        QCOMPARE(back.when, e.when);
        QCOMPARE(back.when.offsetFromUtc(), -5 * 3600);
    }

    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("ids");        // entries read, in order
        QTest::addColumn<QList<int>>("issueLines");  // lines reported
        const QByteArray a = "2026-12-07T14:35:02+08:00\t2025\tMC1-0001\treview\tAB\t1\t3\t12";
        const QByteArray b = "2026-12-07T14:36:00+08:00\tEarlier\tLK0002\texam\tC\t0\t1\t5";
        const QStringList ab{QStringLiteral("MC1-0001"), QStringLiteral("LK0002")};
        QTest::newRow("empty") << QByteArray() << QStringList() << QList<int>();
        QTest::newRow("two lines") << a + '\n' + b + '\n' << ab << QList<int>();
        QTest::newRow("CR LF") << a + "\r\n" + b + "\r\n" << ab << QList<int>();
        QTest::newRow("blank line") << a + "\n\n" + b + '\n' << ab << QList<int>();
        QTest::newRow("torn last line") << a + '\n' + b + '\n' + b.left(20) << ab << QList<int>{3};
        const QByteArray c = "2026-12-07T14:37:00+08:00\t2025\t\xE9\xA2\x98-1\texam\tD\t1\t3\t5";
        QTest::newRow("UTF-8 identifier")
            << a + '\n' + c + '\n' + b + '\n'
            << QStringList{ab[0], QStringLiteral("题-1"), ab[1]} << QList<int>();
        QTest::newRow("torn only line") << a << QStringList() << QList<int>{1};
        const QList<QByteArray> damaged{
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t3",
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t3\t12\textra",
            "2026-13-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t3\t12",
            "2026-02-30T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t3\t12",
            "2026-12-07 14:35:02\t2025\tMC1-0003\treview\tAB\t1\t3\t12",
            "2026-12-07T14:35:02+08:00\t2025\t\treview\tAB\t1\t3\t12",
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAE\t1\t3\t12",
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t2\t3\t12",
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t5\t12",
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t0\t12",
            "2026-12-07T14:35:02+08:00\t2025\tMC1-0003\treview\tAB\t1\t3\t-1",
            "\xFF\xFE garbage",
        };
        for (const QByteArray& bad : damaged)
            QTest::newRow(("damaged " + bad.left(40)).constData())
                << a + '\n' + bad + '\n' + b + '\n'
                << ab << QList<int>{2};
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, ids);
        QFETCH(QList<int>, issueLines);
        QTemporaryDir dir;
        const QString path = dir.filePath(ReviewLog::FileName);
        writeBytes(path, bytes);
        QList<ReviewEntry> entries;
        QList<LogIssue> issues;
        QString error;
        QVERIFY(ReviewLog(path).read(&entries, &issues, &error));
        QStringList readIds;
        for (const ReviewEntry& e : entries) readIds << e.id;
        QCOMPARE(readIds, ids);
        QList<int> lines;
        for (const LogIssue& issue : issues) {
            lines << int(issue.line);
            QVERIFY(!issue.reason.isEmpty());
        }
        QCOMPARE(lines, issueLines);
        QCOMPARE(readBytes(path), bytes);  // never rewritten
    }

    // Appending keeps what is there byte for byte, a torn line included,
    // which then stands on a line of its own.
    void append() {
        QTemporaryDir dir;
        const QString path = dir.filePath(ReviewLog::FileName);
        ReviewLog log(path);
        QList<ReviewEntry> written{entry(qid(1), kNow, Rating::Good),
                                   entry(qid(2), kNow.addSecs(9), Rating::Again)};
        QString error;
        QVERIFY(log.append(written[0], &error));
        const QByteArray torn = readBytes(path) + "2026-12-07T14:00:05+08:00\t20";
        writeBytes(path, torn);
        QVERIFY(log.append(written[1], &error));
        QVERIFY(readBytes(path).startsWith(torn + '\n'));
        QList<ReviewEntry> entries;
        QList<LogIssue> issues;
        QVERIFY(log.read(&entries, &issues, &error));
        QCOMPARE(entries, written);
        QCOMPARE(issues.size(), 1);
        QCOMPARE(issues[0].line, 2);
    }

    void notRegular_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << QStringLiteral("fifo");
        QTest::newRow("folder") << QStringLiteral("dir");
        QTest::newRow("link to a FIFO") << QStringLiteral("link");
    }
    void notRegular() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(ReviewLog::FileName);
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        if (kind == u"dir") {
            QVERIFY(QDir(dir.path()).mkdir(ReviewLog::FileName));
        } else {
            if (!makeFifo(kind == u"fifo" ? path : fifo)) QSKIP(kNoSpecialFiles);
            if (kind == u"link") QVERIFY(makeSymlink(fifo, path));
        }
        ReviewLog log(path);
        QString error;
        QVERIFY(!log.append(entry(qid(1), kNow, Rating::Good), &error));  // at once, not blocked
        QVERIFY(!error.isEmpty());
        QList<ReviewEntry> entries;
        QList<LogIssue> issues;
        QVERIFY(!log.read(&entries, &issues, &error));
        QVERIFY(entries.isEmpty());
        QVERIFY(!QFileInfo(path).isFile());
    }

    void missingLog() {
        QTemporaryDir dir;
        QList<ReviewEntry> entries{entry(qid(1), kNow, Rating::Good)};
        QList<LogIssue> issues;
        QString error;
        QVERIFY(ReviewLog(dir.filePath(ReviewLog::FileName)).read(&entries, &issues, &error));
        QVERIFY(entries.isEmpty() && issues.isEmpty());
    }

    // The program's one memory: read once, kept up by what is recorded, read
    // again when another program wrote to the log; answers that could not be
    // written stay in it across that.
    void memoryFollowsTheLog() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("data"));
        const QString path = folder + u'/' + ReviewLog::FileName;
        ReviewMemory memory(path);
        QSignalSpy recorded(&memory, &ReviewMemory::recorded);
        const QString edition = QStringLiteral("2025");
        const auto state = [&]() -> const MemoryState& {
            return memory.state(edition, FsrsParams(), kNow);
        };
        // Right and wrong answers of a question, -1 when it has none.
        const auto right = [&](int i) {
            const QuestionMemory* m = state().find(qid(i));
            return m ? m->right : -1;
        };
        const auto wrong = [&](int i) {
            const QuestionMemory* m = state().find(qid(i));
            return m ? m->wrong : -1;
        };
        QString error;
        QVERIFY(memory.refresh(kNow));  // no folder, no log: empty
        QVERIFY(memory.readable());
        // Not written (no folder): kept, and announced all the same.
        QVERIFY(!memory.record({entry(qid(1), kNow.addSecs(-60), Rating::Good)}, &error));
        QCOMPARE(recorded.size(), 1);
        QCOMPARE(right(1), 1);

        QVERIFY(QDir().mkpath(folder));
        QVERIFY(ReviewLog(path).append(entry(qid(2), kNow.addDays(-1), Rating::Again), &error));
        QVERIFY(memory.refresh(kNow));  // another program's line
        QCOMPARE(wrong(2), 1);
        QCOMPARE(right(1), 1);
        QVERIFY(!memory.refresh(kNow));

        QVERIFY(memory.record(
            {entry(qid(3), kNow, Rating::Easy), entry(qid(2), kNow, Rating::Good)}, &error));
        QCOMPARE(recorded.size(), 2);
        QCOMPARE(right(2), 1);
        QVERIFY(!memory.refresh(kNow));  // its own lines are no news
        QVERIFY(ReviewLog(path).append(entry(qid(4), kNow, Rating::Good), &error));
        QVERIFY(memory.refresh(kNow));
        QCOMPARE(right(3), 1);
        QCOMPARE(right(4), 1);
        QCOMPARE(right(2) + wrong(2), 2);
        QCOMPARE(right(1), 1);  // once, not again from the log
    }

    void replaySkipsOtherEditions() {
        QList<ReviewEntry> log{entry(qid(1), kNow, Rating::Good),
                               entry(qid(2), kNow, Rating::Good)};
        log[1].edition = QStringLiteral("Earlier");
        MemoryState memory;
        memory.replay(log, QStringLiteral("2025"), FsrsParams());
        QVERIFY(memory.find(qid(1)) != nullptr);
        QVERIFY(memory.find(qid(2)) == nullptr);
        QCOMPARE(memory.find(qid(1))->right, 1);
    }

    // A line dated after now (a clock that ran ahead, or one set back since)
    // is read as written but taken at now: the question is not frozen until
    // then, and counts as today's only when it is dated today.
    void aheadOfNow_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("today");  // counted among today's answers
        QTest::newRow("a year ahead")
            << QStringLiteral("2027-12-07T09:00:00+08:00\t2025\tMC1-0003\treview\tA\t0\t1\t5")
            << false;
        QTest::newRow("tomorrow")
            << QStringLiteral("2026-12-08T00:30:00+08:00\t2025\tMC1-0003\treview\tA\t0\t1\t5")
            << false;
        QTest::newRow("later today")
            << QStringLiteral("2026-12-07T23:00:00+08:00\t2025\tMC1-0003\treview\tA\t0\t1\t5")
            << true;
    }
    void aheadOfNow() {
        QFETCH(QString, line);
        QFETCH(bool, today);
        QTemporaryDir dir;
        const QString path = dir.filePath(ReviewLog::FileName);
        const QByteArray earlier =
            zoma::reviewLine(entry(qid(1), kNow.addDays(-2), Rating::Good)).toUtf8();
        writeBytes(path, earlier + '\n' + line.toUtf8() + '\n');
        QList<ReviewEntry> entries;
        QList<LogIssue> issues;
        QString error;
        QVERIFY(ReviewLog(path).read(&entries, &issues, &error, kNow));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(issues.size(), 1);
        QCOMPARE(issues[0].line, 2);
        QVERIFY(issues[0].taken);

        MemoryState memory;
        memory.replay(entries, QStringLiteral("2025"), FsrsParams(), kNow);
        const Card card = memory.find(qid(3))->card;
        QCOMPARE(card.lastReview, kNow);
        QVERIFY(card.due <= kNow.addSecs(60));  // wrong: the first learning step
        QueueOptions options;
        options.newPerDay = 2;  // a question first answered today takes one of them
        DailyQueue queue = zoma::dailyQueue(levelOf(5), memory, options, kNow);
        QCOMPARE(queue.done, today ? 1 : 0);
        QCOMPARE(queue.newToday, today ? 1 : 0);
        QCOMPARE(queue.fresh.size(), today ? 1 : 2);

        // Answered wrong again at the true time: due again at once, as any question.
        const QDateTime later = kNow.addSecs(300);
        memory.apply(entry(qid(3), later, Rating::Again), FsrsParams(), later);
        QVERIFY(memory.find(qid(3))->card.due <= later.addSecs(60));
        queue = zoma::dailyQueue(levelOf(5), memory, options, later.addSecs(90));
        QVERIFY(queue.due.contains(qid(3)));
        QCOMPARE(queue.done, today ? 2 : 1);
    }

    // Learning and relearning by due time, then reviews by lowest recall,
    // then new ones in bank order up to what is left of the day's limit.
    void queueOrder() {
        QList<ReviewEntry> log;
        const auto add = [&log](int q, const QDateTime& when, Rating r) {
            log.append(entry(qid(q), when, r));
        };
        const QDateTime weeksAgo = kNow.addDays(-40);
        add(2, weeksAgo, Rating::Good);  // a review long overdue: lowest recall
        add(2, weeksAgo.addSecs(600), Rating::Good);
        add(3, kNow.addDays(-2).addSecs(-1200), Rating::Good);  // due in ten minutes
        add(3, kNow.addDays(-2).addSecs(-600), Rating::Good);
        add(4, kNow.addDays(-1), Rating::Good);  // due tomorrow
        add(4, kNow.addDays(-1).addSecs(600), Rating::Good);
        add(1, weeksAgo, Rating::Good);  // relearning, due a minute ago
        add(1, weeksAgo.addSecs(600), Rating::Good);
        add(1, kNow.addSecs(-11 * 60), Rating::Again);
        add(0, kNow.addSecs(-6 * 60), Rating::Again);  // learning, due five minutes ago
        add(5, kNow.addSecs(-30), Rating::Again);      // learning, due in half a minute
        MemoryState memory;
        memory.replay(log, QStringLiteral("2025"), FsrsParams());
        const DailyQueue queue = zoma::dailyQueue(levelOf(30), memory, QueueOptions(), kNow);
        QCOMPARE(queue.due, (QStringList{qid(0), qid(1), qid(2), qid(3)}));
        QCOMPARE(queue.newToday, 2);  // 0 and 5
        QCOMPARE(queue.done, 3);
        QCOMPARE(queue.newPerDay, 20);
        QCOMPARE(queue.fresh.size(), 18);
        QCOMPARE(queue.fresh.first(), qid(6));
        QCOMPARE(queue.fresh.last(), qid(23));
        QVERIFY(!queue.nextDue.isValid());
        QCOMPARE(queue.head(), qid(0));
    }

    void newLimit_data() {
        QTest::addColumn<int>("newPerDay");
        QTest::addColumn<int>("newToday");  // questions first answered today (rated Easy)
        QTest::addColumn<int>("fresh");
        QTest::newRow("none yet") << 20 << 0 << 20;
        QTest::newRow("some done") << 20 << 7 << 13;
        QTest::newRow("limit reached") << 20 << 20 << 0;
        QTest::newRow("limit lowered below done") << 5 << 8 << 0;
        QTest::newRow("fewer left than allowed") << 100 << 10 << 40;
        QTest::newRow("zero a day") << 0 << 0 << 0;
    }
    void newLimit() {
        QFETCH(int, newPerDay);
        QFETCH(int, newToday);
        QFETCH(int, fresh);
        QList<ReviewEntry> log;
        // Yesterday's questions are not new today.
        for (int i = 0; i < 5; ++i) log.append(entry(qid(i), kNow.addDays(-1), Rating::Easy));
        for (int i = 5; i < 5 + newToday; ++i)
            log.append(entry(qid(i), kNow.addSecs(-3600), Rating::Easy));
        MemoryState memory;
        memory.replay(log, QStringLiteral("2025"), FsrsParams());
        QueueOptions options;
        options.newPerDay = newPerDay;
        const DailyQueue queue = zoma::dailyQueue(levelOf(55), memory, options, kNow);
        QCOMPARE(queue.newToday, newToday);
        QCOMPARE(queue.fresh.size(), fresh);
        if (fresh > 0) QCOMPARE(queue.fresh.first(), qid(5 + newToday));
        QVERIFY(queue.due.isEmpty());
    }

    void examDate_data() {
        QTest::addColumn<int>("unseen");
        QTest::addColumn<int>("daysToExam");
        QTest::addColumn<int>("perDay");
        QTest::newRow("C类 in five weeks") << 1282 << 37 << 42;  // 31 days to spread over
        QTest::newRow("even spread") << 310 << 37 << 10;
        QTest::newRow("a week and a day") << 100 << 8 << 50;
        QTest::newRow("a week away") << 100 << 7 << 100;
        QTest::newRow("tomorrow") << 100 << 1 << 100;
        QTest::newRow("all seen") << 0 << 37 << 0;
    }
    void examDate() {
        QFETCH(int, unseen);
        QFETCH(int, daysToExam);
        QFETCH(int, perDay);
        const QDate today = kNow.date();
        QCOMPARE(zoma::newPerDayForExam(unseen, today, today.addDays(daysToExam)), perDay);
        // The queue raises the day's limit to it, never lowers it.
        QueueOptions options;
        options.examDate = today.addDays(daysToExam);
        const DailyQueue queue = zoma::dailyQueue(levelOf(unseen), MemoryState(), options, kNow);
        QCOMPARE(queue.newForExam, perDay);
        QCOMPARE(queue.newPerDay, qMax(20, perDay));
        QCOMPARE(queue.fresh.size(), qMin(unseen, qMax(20, perDay)));
    }

    void examCapInReplay() {
        const QDate exam = kNow.date().addDays(10);
        FsrsParams params;
        params.latestDue = zoma::latestDueFor(exam);
        QCOMPARE(params.latestDue, QDateTime(exam.addDays(-1), QTime(0, 0)));
        MemoryState memory;
        memory.replay(
            {entry(qid(0), kNow, Rating::Easy), entry(qid(0), kNow.addDays(8), Rating::Easy)},
            QStringLiteral("2025"), params);
        QCOMPARE(memory.find(qid(0))->card.due, params.latestDue);
    }

    void chapters_data() {
        QTest::addColumn<QString>("chapter");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<bool>("in");
        QTest::newRow("none chosen") << "1.1.1" << QStringList() << true;
        QTest::newRow("itself") << "1.1.1" << QStringList{"1.1.1"} << true;
        QTest::newRow("parent") << "1.1.1" << QStringList{"1.1"} << true;
        QTest::newRow("grandparent") << "1.1.1" << QStringList{"1"} << true;
        QTest::newRow("sibling") << "1.2.1" << QStringList{"1.1"} << false;
        QTest::newRow("prefix of a number") << "1.10.1" << QStringList{"1.1"} << false;
        QTest::newRow("child chosen") << "1.1" << QStringList{"1.1.1"} << false;
        QTest::newRow("second choice") << "3.2" << QStringList{"1", "3"} << true;
        QTest::newRow("no code") << "" << QStringList{"1"} << false;
    }
    void chapters() {
        QFETCH(QString, chapter);
        QFETCH(QStringList, chosen);
        QFETCH(bool, in);
        QCOMPARE(zoma::inChapters(chapter, chosen), in);
    }

    void queueByChapter() {
        QueueOptions options;
        options.chapters = QStringList{QStringLiteral("1.2")};
        const DailyQueue queue = zoma::dailyQueue(levelOf(9), MemoryState(), options, kNow);
        QCOMPARE(queue.fresh, (QStringList{qid(1), qid(4), qid(7)}));
    }

    // The favourites limit: due and new alike, within the chosen chapters.
    void queueOnly_data() {
        QTest::addColumn<QList<int>>("only");  // empty: no limit
        QTest::addColumn<QStringList>("chapters");
        QTest::addColumn<QStringList>("due");
        QTest::addColumn<QStringList>("fresh");
        QTest::newRow("no limit") << QList<int>() << QStringList() << QStringList{qid(0), qid(1)}
                                  << QStringList{qid(2), qid(3), qid(4), qid(5)};
        QTest::newRow("starred due and new") << QList<int>{1, 4, 5} << QStringList()
                                             << QStringList{qid(1)} << QStringList{qid(4), qid(5)};
        QTest::newRow("none starred")
            << QList<int>{-1} << QStringList() << QStringList() << QStringList();
        QTest::newRow("starred in a chapter")
            << QList<int>{0, 1, 4, 5} << QStringList{QStringLiteral("1.2")} << QStringList{qid(1)}
            << QStringList{qid(4)};
    }
    void queueOnly() {
        QFETCH(QList<int>, only);
        QFETCH(QStringList, chapters);
        QFETCH(QStringList, due);
        QFETCH(QStringList, fresh);
        MemoryState memory;
        memory.replay({entry(qid(0), kNow.addDays(-30), Rating::Good),
                       entry(qid(1), kNow.addDays(-30), Rating::Good)},
                      QStringLiteral("2025"), FsrsParams());
        QueueOptions options;
        options.chapters = chapters;
        if (!only.isEmpty()) {
            options.only.emplace();
            for (int q : only) {
                if (q >= 0) options.only->insert(qid(q));
            }
        }
        const DailyQueue queue = zoma::dailyQueue(levelOf(6), memory, options, kNow);
        QCOMPARE(queue.due, due);
        QCOMPARE(queue.fresh, fresh);
    }

    void emptyQueueSaysWhen() {
        MemoryState memory;
        memory.replay({entry(qid(0), kNow.addSecs(-30), Rating::Again)}, QStringLiteral("2025"),
                      FsrsParams());
        QueueOptions options;
        options.newPerDay = 0;
        const DailyQueue queue = zoma::dailyQueue(levelOf(3), memory, options, kNow);
        QVERIFY(queue.empty());
        QCOMPARE(queue.head(), QString());
        QCOMPARE(queue.nextDue, kNow.addSecs(30));
    }

    void passChance_data() {
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("multiples");
        QTest::addColumn<int>("singlesDrawn");
        QTest::addColumn<int>("multiplesDrawn");
        QTest::addColumn<int>("passMark");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("small") << 6 << 4 << 3 << 2 << 3 << 1u;
        QTest::newRow("all drawn") << 5 << 3 << 5 << 3 << 6 << 2u;
        QTest::newRow("one of each") << 7 << 5 << 1 << 1 << 1 << 3u;
        QTest::newRow("no multiples") << 12 << 0 << 6 << 0 << 4 << 4u;
        QTest::newRow("pool short of draw") << 4 << 2 << 6 << 3 << 5 << 5u;
        QTest::newRow("pass mark zero") << 6 << 4 << 3 << 2 << 0 << 6u;
        QTest::newRow("pass mark out of reach") << 6 << 4 << 3 << 2 << 6 << 7u;
        QTest::newRow("larger") << 14 << 6 << 7 << 3 << 8 << 8u;
        QTest::newRow("nothing drawn") << 5 << 3 << 0 << 0 << 0 << 9u;
        QTest::newRow("all but one drawn") << 13 << 4 << 12 << 3 << 11 << 10u;
        // Chances of exactly 0 and 1 leave whole counts of right ones impossible.
        QTest::newRow("sure and hopeless") << 9 << 5 << 4 << 2 << 4 << 0u;
    }
    void passChance() {
        QFETCH(int, singles);
        QFETCH(int, multiples);
        QFETCH(int, singlesDrawn);
        QFETCH(int, multiplesDrawn);
        QFETCH(int, passMark);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QList<double> s, m;
        for (int i = 0; i < singles; ++i) s << zoma::answerChance(random.generateDouble(), false);
        for (int i = 0; i < multiples; ++i) m << zoma::answerChance(random.generateDouble(), true);
        if (seed == 0) {
            for (int i = 0; i < singles; ++i) s[i] = i % 3 == 0 ? 1.0 : i % 3 == 1 ? 0.0 : s[i];
            for (int i = 0; i < multiples; ++i) m[i] = i % 2 == 0 ? 1.0 : 0.0;
        }
        const PassChance exact = zoma::passChance(s, m, singlesDrawn, multiplesDrawn, passMark);
        const PassChance brute =
            enumerate(s, m, qMin(singles, singlesDrawn), qMin(multiples, multiplesDrawn), passMark);
        QVERIFY(qAbs(exact.expectedScore - brute.expectedScore) < 1e-12);
        QVERIFY(qAbs(exact.probability - brute.probability) < 1e-12);
    }

    // Pools too large to enumerate, against the average over every k-subset
    // built up one question at a time (exact, but O(n*k^2)).
    void drawDistributionLarge_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("k");
        QTest::newRow("C类 multiples") << 282 << 20;
        QTest::newRow("half the pool") << 300 << 150;
        QTest::newRow("whole pool") << 250 << 250;
        QTest::newRow("all but three") << 250 << 247;
    }
    void drawDistributionLarge() {
        QFETCH(int, n);
        QFETCH(int, k);
        QRandomGenerator random(quint32(n * 1000 + k));
        QList<double> p;
        for (int i = 0; i < n; ++i) p << zoma::answerChance(random.generateDouble(), i % 2);
        std::vector<std::vector<double>> g(k + 1, std::vector<double>(k + 1, 0.0));
        g[0][0] = 1;
        for (int i = 0; i < n; ++i) {
            for (int j = std::min(i + 1, k); j >= 1; --j) {
                const double keep = double(i + 1 - j) / (i + 1), take = double(j) / (i + 1);
                for (int s = j; s >= 0; --s)
                    g[j][s] = keep * g[j][s] + take * ((s > 0 ? p[i] * g[j - 1][s - 1] : 0.0) +
                                                       (s < j ? (1 - p[i]) * g[j - 1][s] : 0.0));
            }
        }
        const QList<double> dist = zoma::drawDistribution(p, k);
        QCOMPARE(dist.size(), k + 1);
        for (int s = 0; s <= k; ++s)
            QVERIFY2(qAbs(dist[s] - g[k][s]) < 1e-12, qPrintable(QString::number(s)));
    }

    // Nothing known: the blind-guess binomial; all known: a sure pass.
    void passChanceLimits() {
        const int n = 1000, k = 70;
        const QList<double> blind(n, zoma::answerChance(0, false));
        const QList<double> dist = zoma::drawDistribution(blind, k);
        for (int j = 0; j <= k; ++j) {
            const double binomial =
                std::exp(std::lgamma(k + 1) - std::lgamma(j + 1) - std::lgamma(k - j + 1) +
                         j * std::log(0.25) + (k - j) * std::log(0.75));
            QVERIFY2(qAbs(dist[j] - binomial) < 1e-12, qPrintable(QString::number(j)));
        }
        const QList<double> blindMultiples(282, zoma::answerChance(0, true));
        const PassChance none = zoma::passChance(blind, blindMultiples, 70, 20, 81);
        QVERIFY(qAbs(none.expectedScore - (70 / 4.0 + 20 / 15.0)) < 1e-9);
        QVERIFY(none.probability < 1e-20);
        const PassChance all =
            zoma::passChance(QList<double>(n, 1.0), QList<double>(282, 1.0), 70, 20, 81);
        QVERIFY(qAbs(all.expectedScore - 90) < 1e-9);
        QVERIFY(qAbs(all.probability - 1) < 1e-12);
    }

    // A level's questions go to their pool with their recall on the day.
    void levelChance() {
        QList<LevelQuestion> level = levelOf(8);
        for (int i = 5; i < 8; ++i) level[i].multiple = true;
        MemoryState memory;
        memory.replay({entry(qid(1), kNow.addDays(-3), Rating::Good),
                       entry(qid(6), kNow.addDays(-9), Rating::Easy)},
                      QStringLiteral("2025"), FsrsParams());
        const QDateTime exam = kNow.addDays(20);
        const auto r = [&](int i) {
            return zoma::retrievability(memory.find(qid(i))->card, exam, FsrsParams());
        };
        QList<double> singles(5, 0.25), multiples(3, 1.0 / 15);
        singles[1] = zoma::answerChance(r(1), false);
        multiples[1] = zoma::answerChance(r(6), true);
        const PassChance expected = zoma::passChance(singles, multiples, 3, 2, 2);
        const PassChance got = zoma::levelPassChance(level, memory, 3, 2, 2, exam);
        QCOMPARE(got.expectedScore, expected.expectedScore);
        QCOMPARE(got.probability, expected.probability);
        QVERIFY(r(1) > 0.3 && r(1) < 0.95);
    }

    void csvField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "MC1-0001"
                               << "MC1-0001";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "法规、电磁,兼容"
                               << "\"法规、电磁,兼容\"";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"say \"\"hi\"\"\"";
        QTest::newRow("line end") << "a\nb"
                                  << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb"
                                         << "\"a\rb\"";
    }
    void csvField() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(zoma::csvField(text), field);
    }

    void progressFile() {
        QList<LevelQuestion> level{{qid(0), QStringLiteral("法规,\"A\""), QStringLiteral("1.1.1")},
                                   {qid(1), {}, QStringLiteral("1.1.2")}};
        MemoryState memory;
        ReviewEntry e = entry(qid(0), kNow.addSecs(-600), Rating::Good);
        e.chosen = QStringLiteral("AC");
        memory.replay({e}, QStringLiteral("2025"), FsrsParams());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("进度.csv"));
        writeBytes(path, "old");
        QString error;
        QVERIFY(zoma::writeProgressCsv(path, level, memory, kNow, &error));
        const QByteArray bytes = readBytes(path);
        QCOMPARE(bytes, zoma::progressCsv(level, memory, kNow));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("题号,标签,章节,状态")));
        QCOMPARE(lines[1], QStringLiteral("MC1-0000,\"法规,\"\"A\"\"\",1.1.1,学习中,1,0,2.31,2.12,"
                                          "1.000,2026-12-07 14:00,AC,对"));
        QCOMPARE(lines[2], QStringLiteral("MC1-0001,,1.1.2,新,0,0,,,0.000,,,"));
        QCOMPARE(lines[3], QString());
    }
};

QTEST_GUILESS_MAIN(MemoryTest)
#include "memory_test.moc"
