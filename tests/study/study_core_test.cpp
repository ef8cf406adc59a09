// SPDX-License-Identifier: GPL-3.0-or-later
// The bank browser's filter, its rows over the store and the favourites file.

#include "memory/favourites.h"
#include "study/bank_rows.h"
#include "study/question_filter.h"
#include "tests/study/study_bank.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class StudyCoreTest final : public QObject {
    Q_OBJECT

private slots:
    void fold_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::newRow("ascii case") << QStringLiteral("SWR Vhf") << QStringLiteral("swr vhf");
        QTest::newRow("full-width letters") << QStringLiteral("ＶＨＦｍ") << QStringLiteral("vhfm");
        QTest::newRow("full-width digits") << QStringLiteral("１００") << QStringLiteral("100");
        QTest::newRow("punctuation")
            << QStringLiteral("１：１，（Ａ）") << QStringLiteral("1:1,(a)");
        QTest::newRow("ideographic space") << QStringLiteral("甲　乙") << QStringLiteral("甲 乙");
        QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a b");
        QTest::newRow("chinese untouched")
            << QStringLiteral("业余无线电") << QStringLiteral("业余无线电");
        QTest::newRow("greek") << QStringLiteral("Ω") << QStringLiteral("ω");
    }
    void fold() {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QCOMPARE(zoma::foldForSearch(text), folded);
    }

    // The rows a query, a chapter and the favourites let through, over the
    // six questions of the test level; MC2-0005 and MC2-0007 are favourites.
    void filter_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("chapter");
        QTest::addColumn<bool>("favourites");
        QTest::addColumn<QList<int>>("numbers");
        const auto row = [](const char* name, const char16_t* query, const char16_t* chapter,
                            bool favourites, QList<int> numbers) {
            QTest::newRow(name) << QString::fromUtf16(query) << QString::fromUtf16(chapter)
                                << favourites << numbers;
        };
        row("nothing", u"", u"", false, {7, 3, 12, 5, 9, 1});
        row("blanks only", u"  　 ", u"", false, {7, 3, 12, 5, 9, 1});
        row("half-width finds full-width", u"vhf", u"", false, {3});
        row("full-width finds half-width", u"ＳＷＲ", u"", false, {12});
        row("digits across forms", u"100mw", u"", false, {5});
        row("punctuation across forms", u"1：1", u"", false, {12});
        row("identifier", u"mc2-0009", u"", false, {9});
        row("label", u"lk0944", u"", false, {9});
        row("second label", u"LY0017", u"", false, {1});
        row("answer text", u"答案丁12", u"", false, {12});
        row("answer across forms", u"b答案乙3", u"", false, {3});
        row("all words", u"业余 目的", u"", false, {1});
        row("all words in any field", u"业余 LK0007", u"", false, {7});
        row("one word missing", u"业余 天线", u"", false, {});
        row("no tag matched", u"[a]", u"", false, {});
        row("chapter and children", u"", u"1.1", false, {7, 3, 1});
        row("1.10 alone", u"", u"1.10", false, {12});
        row("top chapter", u"", u"1", false, {7, 3, 12, 1});
        row("leaf chapter", u"", u"2.1.1", false, {5, 9});
        row("chapter and words", u"业余", u"1.1.1", false, {7, 1});
        row("favourites", u"", u"", true, {5, 7});
        row("favourites and chapter", u"", u"2", true, {5});
        row("favourites and words", u"呼号", u"", true, {7});
    }
    void filter() {
        QFETCH(QString, query);
        QFETCH(QString, chapter);
        QFETCH(bool, favourites);
        QFETCH(QList<int>, numbers);
        auto bank = std::make_unique<QuestionBank>();
        fillStudyBank(*bank);
        const BankRows rows = zoma::bankRows(*bank);
        QuestionFilter filter;
        filter.setQuery(query);
        filter.setChapter(chapter);
        filter.setFavouritesOnly(favourites);
        QList<int> passed;
        for (const BankRow& row : rows.rows) {
            const bool starred = row.number == 5 || row.number == 7;
            if (filter.accepts(row.haystack, bank->Category.view(row.number), starred)) {
                passed.append(row.number);
            }
        }
        std::sort(passed.begin(), passed.end());
        std::sort(numbers.begin(), numbers.end());
        QCOMPARE(passed, numbers);
    }

    // Paper order, each question once, entries without a question left out;
    // the edition from the keys.
    void rows() {
        auto bank = std::make_unique<QuestionBank>();
        fillStudyBank(*bank);
        QVERIFY(bank->PaperIds.set(6, studyId(3)));   // listed twice
        QVERIFY(bank->PaperIds.set(7, studyId(40)));  // no such question
        QVERIFY(bank->PaperIds.set(8, QStringLiteral("xyz")));
        bank->PaperCount = 9;
        BankRows rows = zoma::bankRows(*bank);
        QCOMPARE(rows.edition, QStringLiteral("2025"));
        QVERIFY(rows.hasChapters());
        QList<int> numbers;
        for (const BankRow& row : rows.rows) numbers.append(row.number);
        QCOMPARE(numbers, (QList<int>{7, 3, 12, 5, 9, 1}));

        const QMap<QString, int> counts = zoma::chapterCounts(*bank, rows.rows);
        const QMap<QString, int> expected = {{"1", 4},     {"1.1", 3},  {"1.1.1", 2},
                                             {"1.1.2", 1}, {"1.10", 1}, {"1.10.1", 1},
                                             {"2", 2},     {"2.1", 2},  {"2.1.1", 2}};
        QCOMPARE(counts, expected);

        auto earlier = std::make_unique<QuestionBank>();
        fillPaper(*earlier, 5, [](int k) { return 10 + k; });
        rows = zoma::bankRows(*earlier);
        QCOMPARE(rows.edition, QStringLiteral("2013-2021"));
        QCOMPARE(rows.rows.size(), 5);
        QVERIFY(zoma::chapterCounts(*earlier, rows.rows).isEmpty());
    }

    void favouritesRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath(Favourites::FileName);
        Favourites favourites(path);
        QString error;
        QVERIFY(favourites.load(&error));  // no file yet
        QVERIFY(favourites.set(QStringLiteral("2025"), QStringLiteral("MC2-0007"), true, &error));
        QVERIFY(
            favourites.set(QStringLiteral("2013-2021"), QStringLiteral("LK0001"), true, &error));
        QVERIFY(favourites.set(QStringLiteral("2025"), QStringLiteral("MC1-0003"), true, &error));
        QVERIFY(favourites.set(QStringLiteral("2025"), QStringLiteral("MC2-0007"), false, &error));
        QCOMPARE(readBytes(path), QStringLiteral("# 收藏的题目：题库版本<Tab>题号\n"
                                                 "2013-2021\tLK0001\n2025\tMC1-0003\n")
                                      .toUtf8());
        Favourites again(path);
        QVERIFY(again.load(&error));
        QVERIFY(again.contains(QStringLiteral("2025"), QStringLiteral("MC1-0003")));
        QVERIFY(!again.contains(QStringLiteral("2025"), QStringLiteral("LK0001")));
        QCOMPARE(again.ids(QStringLiteral("2013-2021")), QStringList{QStringLiteral("LK0001")});
        // Written by hand: CR LF, blanks, comments and a repeated line are fine.
        writeBytes(path, "# mine\r\n\r\n2025\tMC2-0001\r\n2025\tMC2-0001\r\n 2025 \tMC2-0002\r\n");
        QVERIFY(again.load(&error));
        QCOMPARE(again.ids(QStringLiteral("2025")),
                 (QStringList{QStringLiteral("MC2-0001"), QStringLiteral("MC2-0002")}));
    }

    // A file that cannot be read is reported and never written; nor is one
    // that stands where nothing can be written.
    void damagedFavourites_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("damaged line") << QStringLiteral("damaged");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("too large") << QStringLiteral("large");
    }
    void damagedFavourites() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(Favourites::FileName);
        QByteArray bytes;
        if (kind == u"damaged") {
            bytes = "2025\tMC2-0001\nnot a line of this file\n";
            writeBytes(path, bytes);
        } else if (kind == u"fifo") {
            if (!makeFifo(path)) QSKIP(kNoSpecialFiles);
        } else if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(Favourites::FileName));
        } else {
            bytes = QByteArray(Favourites::MaxSize + 1, '#');
            writeBytes(path, bytes);
        }
        Favourites favourites(path);
        QString error;
        QVERIFY(!favourites.load(&error));  // at once, not blocked on the FIFO
        QVERIFY(!error.isEmpty());
        QVERIFY(!favourites.writable());
        QVERIFY(!favourites.contains(QStringLiteral("2025"), QStringLiteral("MC2-0001")));
        error.clear();
        QVERIFY(!favourites.set(QStringLiteral("2025"), QStringLiteral("MC2-0002"), true, &error));
        QVERIFY(!error.isEmpty());
        // Kept for this run all the same.
        QVERIFY(favourites.contains(QStringLiteral("2025"), QStringLiteral("MC2-0002")));
        if (!bytes.isEmpty()) QCOMPARE(readBytes(path), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList{Favourites::FileName});
    }

    // A program folder that is a file: nothing can be made in it, even as root.
    void unwritableFavourites() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("file"));
        writeBytes(folder, "not a folder");
        Favourites favourites(folder + QStringLiteral("/") + Favourites::FileName);
        QString error;
        QVERIFY(favourites.load(&error));
        QVERIFY(favourites.writable());
        QVERIFY(!favourites.set(QStringLiteral("2025"), QStringLiteral("MC2-0001"), true, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(favourites.contains(QStringLiteral("2025"), QStringLiteral("MC2-0001")));
        QCOMPARE(readBytes(folder), QByteArray("not a folder"));
    }
};

QTEST_GUILESS_MAIN(StudyCoreTest)
#include "study_core_test.moc"
