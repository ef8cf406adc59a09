// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of the 2025 level files, the store's new fields and what the
// windows and the export learn from them.
#include "bank/answer_key.h"
#include "bank/csv_text.h"
#include "bank/read_data.h"
#include "bank/tagged_text.h"
#include "common/text_file.h"
#include "common/whole_number.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Status = LoadResult::Status;

using namespace zoma;

namespace {

// One record as "id|label|category|question|keys|[A]..|[B]..|[C]..|[D]..|picture".
QString describe(const BankRecord& r) {
    QStringList parts = {r.id.toString(), r.label.toString(), r.category.toString(),
                         r.question.toString(), r.keys.toString()};
    const char16_t* tags[] = {u"[A]", u"[B]", u"[C]", u"[D]"};
    for (int i = 0; i < 4; ++i) parts << QString::fromUtf16(tags[i]) + r.answers[i].toString();
    parts << r.picture.toString();
    return parts.join(u'|');
}

QString tagged(const QString& id, const QString& keys, const QString& extra = {}) {
    return QStringLiteral(
               "[J]LK0001\n[P]1.1.1\n[I]%1\n[Q]问%1\n[T]%2\n[A]甲\n[B]乙\n[C]丙\n[D]丁\n%3")
        .arg(id, keys, extra);
}

const QString kCsvHeader = QStringLiteral("J,P,I,Q,T,A,B,C,D\r\n");

}  // namespace

class LevelFileTest final : public StoreTest {
    Q_OBJECT

private:
    LoadResult read(const QString& level = QStringLiteral("A类")) {
        return ReadData(m_bank, m_values, level);
    }

private slots:
    void init() { QVERIFY(resetStore()); }

    void identifiers_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("number");  // -1: none
        QTest::newRow("2025") << QStringLiteral("MC2-0001") << 1;
        QTest::newRow("last of the bank") << QStringLiteral("MC1-1375") << 1375;
        QTest::newRow("beyond the store") << QStringLiteral("MC2-2001") << -1;
        QTest::newRow("no digit before the hyphen") << QStringLiteral("MC-0001") << -1;
        QTest::newRow("letter before the hyphen") << QStringLiteral("MCx-0001") << -1;
        QTest::newRow("nothing after the hyphen") << QStringLiteral("MC2-") << -1;
        QTest::newRow("earlier") << QStringLiteral("LK0012") << 12;
        QTest::newRow("earlier with a hyphen keeps failing") << QStringLiteral("LK2-0001") << -1;
    }
    void identifiers() {
        QFETCH(QString, id);
        QFETCH(int, number);
        const std::optional<int> q = questionNumber(id);
        QCOMPARE(q.value_or(-1), number);
    }

    void taggedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("records");  // as describe() gives them
        const QString plain =
            QStringLiteral("MC2-0001|LK0001|1.1.1|问MC2-0001|AC|[A]甲|[B]乙|[C]丙|[D]丁|");
        QTest::newRow("one record")
            << tagged(QStringLiteral("MC2-0001"), QStringLiteral("AC")) << QStringList{plain};
        QTest::newRow("keys put in letter order")
            << tagged(QStringLiteral("MC2-0001"), QStringLiteral("CA")) << QStringList{plain};
        // Page 6 lost its number: 7 still cannot go on the identifier.
        QTest::newRow("page number between I and Q, form feed, empty lines")
            << QStringLiteral(
                   "5\n[J]LK0001\n[P]1.1.1\n[I]MC2-0001\n7\n\n\f[Q]问MC2-0001\n[T]AC\n"
                   "[A]甲\n\n[B]乙\n[C]丙\n8\n\f[D]丁\n")
            << QStringList{plain};
        QTest::newRow("wrapped lines and a counting page number inside them")
            << QStringLiteral(
                   "3\n[J]LK0001\n[P]1.1.1\n[I]MC2-0001\n[Q]问MC2\n-0001\n[T]AC\n"
                   "[A]甲\n[B]乙\n[C]丙\n[D]丁\n4\n\f[J]LX\n[P]2.1\n[I]MC1-0002\n"
                   "[Q]The 50\nohm line\n[T]D\n[A]1\n[B]2\n[C]3\n[D]100\n9\n")
            << QStringList{
                   plain,
                   QStringLiteral("MC1-0002|LX|2.1|The 50 ohm line|D|[A]1|[B]2|[C]3|[D]100 9|")};
        // Joined texts are kept in blocks; these outgrow one.
        QString longLines;
        for (int i = 0; i < 5000; ++i) longLines += QStringLiteral("问题文字\n");
        const QString longText = QString(longLines).remove(u'\n');
        QTest::newRow("texts wrapped past a block")
            << QStringLiteral("[J]LK0001\n[P]1.1.1\n[I]MC2-0001\n[Q]") + longLines +
                   QStringLiteral(
                       "[T]AC\n[A]甲\n乙\n[B]乙\n[C]丙\n[D]丁\n"
                       "[J]LX\n[P]2\n[I]MC2-0002\n[Q]a\nb\n[T]A\n[A]1\n[B]2\n[C]3\n[D]4\n")
            << QStringList{QStringLiteral("MC2-0001|LK0001|1.1.1|%1|AC|[A]甲乙|[B]乙|[C]丙|[D]丁|")
                               .arg(longText),
                           QStringLiteral("MC2-0002|LX|2|a b|A|[A]1|[B]2|[C]3|[D]4|")};
        QTest::newRow("out of order, two labels, web address")
            << QStringLiteral(
                   "[I]MC1-0059\n[J]LY0014、[J]LY0017\n[P]1.3.2\n[T]B\n[Q]问\n"
                   "[D]丁\n[C]丙\n[B]乙\n[A]甲\n"
                   "[F]https://example.org/a/LK0944.jpg\n"
                   "[J]LK0002\n[P]1\n[I]MC1-0060\n[Q]问\n[T]BCD\n[A]甲\n[B]乙\n[C]丙\n"
                   "[D]丁\n[F]LK0945.png\n")
            << QStringList{
                   QStringLiteral(
                       "MC1-0059|LY0014、LY0017|1.3.2|问|B|[A]甲|[B]乙|[C]丙|[D]丁|LK0944.jpg"),
                   QStringLiteral("MC1-0060|LK0002|1|问|BCD|[A]甲|[B]乙|[C]丙|[D]丁|LK0945.png")};
        QTest::newRow("earlier layout: P is the picture, no key")
            << QStringLiteral(
                   "[I]LK0497\n[Q]附图\n[A]接地\n[B]天线\n[C]电阻\n[D]二极管\n"
                   "[P]LK0497.jpg\n\n[I]LK0001\n[Q]问\n[A]a\n[B]b\n[C]c\n[D]d\n[P]\n")
            << QStringList{
                   QStringLiteral("LK0497|||附图||[A]接地|[B]天线|[C]电阻|[D]二极管|LK0497.jpg"),
                   QStringLiteral("LK0001|||问||[A]a|[B]b|[C]c|[D]d|")};
    }
    void taggedText() {
        QFETCH(QString, text);
        QFETCH(QStringList, records);
        // Line ends of every kind read alike.
        for (const QString& form : {text, QString(text).replace(u'\n', QStringLiteral("\r\n")),
                                    QString(text).replace(u'\n', u'\r')}) {
            LevelRecords level;
            TextIssue error;
            QVERIFY2(parseTaggedText(form, &level, &error), qPrintable(error.reason));
            QStringList got;
            for (const BankRecord& r : level.records) got << describe(r);
            QCOMPARE(got, records);
        }
    }

    void taggedTextFaults_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text before the first tag")
            << QStringLiteral("\n前言\n") + tagged(QStringLiteral("MC2-0001"), QStringLiteral("A"))
            << qsizetype(2) << QStringLiteral("第一个标记之前有不属于任何题目的文字");
        QTest::newRow("no identifier")
            << QStringLiteral("[J]LX\n[Q]问\n[T]A\n[A]1\n[B]2\n[C]3\n[D]4\n") << qsizetype(1)
            << QStringLiteral("题目没有 [I] 题号");
        QTest::newRow("identifier beyond 2000")
            << tagged(QStringLiteral("MC2-2001"), QStringLiteral("A")) << qsizetype(3)
            << QStringLiteral("题号不是 0 到 2000 之间的整数：MC2-2001");
        QTest::newRow("page number glued on is no number")
            << tagged(QStringLiteral("MC2-0001 7"), QStringLiteral("A")) << qsizetype(3)
            << QStringLiteral("题号不是 0 到 2000 之间的整数：MC2-0001 7");
        QTest::newRow("empty key") << tagged(QStringLiteral("MC2-0001"), QString()) << qsizetype(5)
                                   << QStringLiteral("正确答案 [T] 为空");
        QTest::newRow("no key line")
            << QStringLiteral("[J]LX\n[I]MC2-0001\n[Q]问\n[A]1\n[B]2\n[C]3\n[D]4\n") << qsizetype(1)
            << QStringLiteral("正确答案 [T] 为空");
        QTest::newRow("letter beyond D")
            << tagged(QStringLiteral("MC2-0001"), QStringLiteral("AE")) << qsizetype(5)
            << QStringLiteral("正确答案 [T] 只能由 A、B、C、D 组成：AE");
        QTest::newRow("three answers")
            << QStringLiteral("[J]LX\n[I]MC2-0001\n[Q]问\n[T]A\n[A]1\n[B]2\n[D]4\n") << qsizetype(1)
            << QStringLiteral("题目 MC2-0001 的答案不足四个，缺少 [C]");
        QTest::newRow("same identifier twice")
            << tagged(QStringLiteral("MC2-0001"), QStringLiteral("A")) +
                   tagged(QStringLiteral("MC2-0002"), QStringLiteral("A")) +
                   tagged(QStringLiteral("MC2-0001"), QStringLiteral("B"))
            << qsizetype(21) << QStringLiteral("题号 MC2-0001 重复，第 3 行已有同一题号");
        QTest::newRow("same number under another prefix")
            << tagged(QStringLiteral("MC1-0005"), QStringLiteral("A")) +
                   tagged(QStringLiteral("MC2-0005"), QStringLiteral("A"))
            << qsizetype(12) << QStringLiteral("题号 MC2-0005 重复，第 3 行已有同一题号");
    }
    void taggedTextFaults() {
        QFETCH(QString, text);
        QFETCH(qsizetype, line);
        QFETCH(QString, reason);
        LevelRecords level;
        TextIssue error;
        QVERIFY(!parseTaggedText(text, &level, &error));
        QCOMPARE(error.reason, reason);
        QCOMPARE(error.line, line);
    }

    void csv_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("records");  // one record, or {line, reason} of the fault
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain, no end at the last line")
            << kCsvHeader + QStringLiteral("LY0001,1.1.1,MC2-0001,问,AC,甲,乙,丙,丁")
            << QStringList{QStringLiteral("MC2-0001|LY0001|1.1.1|问|AC|[A]甲|[B]乙|[C]丙|[D]丁|")}
            << true;
        QTest::newRow("quoted comma, line end and doubled quote; two labels")
            << kCsvHeader + QStringLiteral(
                                "\"LY0014, LY0017\",1.3.2,MC1-0059,\"问,\r\n\"\"引\"\"\",A,"
                                "\"甲\",乙,丙,\"\"\r\n\r\n")
            << QStringList{QStringLiteral(
                   "MC1-0059|LY0014、LY0017|1.3.2|问,\r\n\"引\"|A|[A]甲|[B]乙|[C]丙|[D]|")}
            << true;
        QTest::newRow("columns in another order")
            << QStringLiteral("I,T,J,P,Q,D,C,B,A\nMC2-0003,BCD,LX,3.1,问,丁,丙,乙,甲\n")
            << QStringList{QStringLiteral("MC2-0003|LX|3.1|问|BCD|[A]甲|[B]乙|[C]丙|[D]丁|")}
            << true;
        QTest::newRow("eight fields")
            << kCsvHeader + QStringLiteral(
                                "LX,1,MC2-0001,问,A,甲,乙,丙,丁\r\nLX,1,MC2-0002,问,A,甲,乙,丙\r\n")
            << QStringList{QStringLiteral("3"), QStringLiteral("这一行有 8 个字段，应为 9 个")}
            << false;
        QTest::newRow("unclosed quote")
            << kCsvHeader + QStringLiteral("LX,1,MC2-0001,\"问,A,甲,乙,丙,丁\r\nLX\r\n")
            << QStringList{QStringLiteral("2"), QStringLiteral("引号没有闭合")} << false;
        QTest::newRow("text after a closing quote")
            << kCsvHeader + QStringLiteral("LX,1,MC2-0001,\"问\"x,A,甲,乙,丙,丁\r\n")
            << QStringList{QStringLiteral("2"), QStringLiteral("引号之后、逗号之前多出文字")}
            << false;
        QTest::newRow("no header")
            << QStringLiteral("LX,1,MC2-0001,问,A,甲,乙,丙,丁\r\n")
            << QStringList{QStringLiteral("1"), QStringLiteral("第一行应是表头 J,P,I,Q,T,A,B,C,D")}
            << false;
        QTest::newRow("bad key")
            << kCsvHeader + QStringLiteral("LX,1,MC2-0001,问,a,甲,乙,丙,丁\r\n")
            << QStringList{QStringLiteral("2"),
                           QStringLiteral("正确答案 [T] 只能由 A、B、C、D 组成：a")}
            << false;
        QTest::newRow("same identifier twice")
            << kCsvHeader +
                   QStringLiteral(
                       "LX,1,MC2-0001,问,A,甲,乙,丙,丁\r\nLX,1,MC2-0001,问,A,甲,乙,丙,丁\r\n")
            << QStringList{QStringLiteral("3"),
                           QStringLiteral("题号 MC2-0001 重复，第 2 行已有同一题号")}
            << false;
        QTest::newRow("header alone") << kCsvHeader << QStringList{} << true;
    }
    void csv() {
        QFETCH(QString, text);
        QFETCH(QStringList, records);
        QFETCH(bool, ok);
        LevelRecords level;
        TextIssue error;
        QCOMPARE(parseBankCsv(text, &level, &error), ok);
        if (!ok) {
            QCOMPARE((QStringList{QString::number(error.line), error.reason}), records);
            return;
        }
        QStringList got;
        for (const BankRecord& r : level.records) got << describe(r);
        QCOMPARE(got, records);
    }

    // Which file a level is read from; "" means the earlier road runs.
    void levelFileSearch_data() {
        QTest::addColumn<QStringList>("files");  // a trailing "/" makes a folder, "|" a FIFO
        QTest::addColumn<QString>("chosen");
        QTest::newRow("tagged text")
            << QStringList{QStringLiteral("A类题库.txt")} << QStringLiteral("A类题库.txt");
        QTest::newRow("tagged before csv, first by name, any case")
            << QStringList{QStringLiteral("class_a.csv"), QStringLiteral("a类题库(2).TXT"),
                           QStringLiteral("A类题库(9).txt"), QStringLiteral("B类题库.txt")}
            << QStringLiteral("A类题库(9).txt");
        QTest::newRow("csv in capitals")
            << QStringList{QStringLiteral("CLASS_A.CSV")} << QStringLiteral("CLASS_A.CSV");
        QTest::newRow("another level's csv")
            << QStringList{QStringLiteral("class_b.csv")} << QString();
        QTest::newRow("folder and FIFO do not count")
            << QStringList{QStringLiteral("A类题库.txt/"), QStringLiteral("A类题库a.txt|"),
                           QStringLiteral("class_a.csv/")}
            << QString();
        QTest::newRow("bank file is no level file")
            << QStringList{QStringLiteral("总题库文件.txt"), QStringLiteral("总题库.txt")}
            << QString();
    }
    void levelFileSearch() {
        QFETCH(QStringList, files);
        QFETCH(QString, chosen);
        QDir().mkpath(m_values.LibDir);
        for (const QString& f : files) {
            const QString path = m_values.LibDir + u'/' + f;
            if (f.endsWith(u'/')) {
                QDir().mkpath(path);
            } else if (f.endsWith(u'|')) {
                if (!makeFifo(path.chopped(1))) QSKIP(kNoSpecialFiles);
            } else {
                writeBytes(path, QByteArray());
            }
        }
        const QString found = findLevelFile(m_values.folder(), QStringLiteral("A类"));
        ZOMA_COMPARE_FILE(found, chosen.isEmpty() ? QString() : m_values.LibDir + u'/' + chosen);
        // Never blocks on the FIFO, and without a bank says so.
        if (chosen.isEmpty() && !files.first().startsWith(u'总')) {
            QCOMPARE(int(read().status), int(Status::BankNotFound));
            QCOMPARE(hasBank(m_values.folder()), files.contains(QStringLiteral("class_b.csv")));
        }
    }

    // A text wrapped a line at a time costs memory in proportion to its
    // size, not a new block of its whole size per line.
    void joinLineByLine() {
        LevelRecords level;
        const QString first = QStringLiteral("x");
        QStringView text = first;
        constexpr int kLines = 20'000;
        for (int i = 0; i < kLines; ++i) text = level.join({text, u"", u"y"});
        QCOMPARE(text, first + QString(kLines, u'y'));
        QCOMPARE_LE(level.blockChars(), 4 * text.size() + 16 * 1024);
    }

    // Every encoding the program reads, into the store; a fault stores nothing.
    void readLevel_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QString text = tagged(QStringLiteral("MC2-0007"), QStringLiteral("BD")) +
                             tagged(QStringLiteral("MC1-0003"), QStringLiteral("A"));
        const QString csv = kCsvHeader + QStringLiteral(
                                             "LK0001,1.1.1,MC2-0007,问MC2-0007,BD,甲,乙,丙,丁\r\n"
                                             "LK0001,1.1.1,MC1-0003,问MC1-0003,A,甲,乙,丙,丁\r\n");
        const QString loaded = QStringLiteral("A类题库已读取，共2题");
        QTest::newRow("tagged GBK") << QStringLiteral("A类题库.txt") << gbkLines(text) << loaded;
        QTest::newRow("tagged UTF-8 with BOM, CR only")
            << QStringLiteral("A类题库.txt")
            << QByteArray("\xef\xbb\xbf") + QString(text).replace(u'\n', u'\r').toUtf8() << loaded;
        QTest::newRow("csv UTF-8") << QStringLiteral("class_a.csv") << csv.toUtf8() << loaded;
        QTest::newRow("csv GBK") << QStringLiteral("class_a.csv") << encodeGbk(csv) << loaded;
        QTest::newRow("fault late in the file")
            << QStringLiteral("A类题库.txt")
            << gbkLines(text + QStringLiteral("[J]LX\n[I]MC2-0009\n"))
            << QStringLiteral(
                   "题库文件格式错误：A类题库.txt 第 19 行，题目 MC2-0009 没有 [Q] 题干");
        QTest::newRow("binary")
            << QStringLiteral("A类题库.txt") << QByteArray("\x00\x01\xff\xfe\x80garbage", 12)
            << QStringLiteral(
                   "题库文件格式错误：A类题库.txt 第 1 行，第一个标记之前有不属于任何题目的文字");
        QTest::newRow("one long line")
            << QStringLiteral("class_a.csv") << QByteArray(2'000'000, 'x')
            << QStringLiteral(
                   "题库文件格式错误：class_a.csv 第 1 行，第一行应是表头 J,P,I,Q,T,A,B,C,D");
        QTest::newRow("empty") << QStringLiteral("A类题库.txt") << QByteArray()
                               << QStringLiteral("题库文件中没有题目记录：A类题库.txt");
        const QString answers = QStringLiteral("[T]A\n[A]甲\n[B]乙\n[C]丙\n[D]丁\n");
        const QString tooLong = QStringLiteral("行，题目文字过长，超过 65536 个字");
        QTest::newRow("200 KB, [Q] wrapped over 100,000 lines")
            << QStringLiteral("A类题库.txt")
            << gbkLines(text + QStringLiteral("[J]LX\n[I]MC2-0009\n[Q]问\n") +
                        QStringLiteral("a\n").repeated(100'000) + answers)
            << QStringLiteral("题库文件格式错误：A类题库.txt 第 19 ") + tooLong;
        QTest::newRow("tagged question over 64K on one line")
            << QStringLiteral("A类题库.txt")
            << gbkLines(QStringLiteral("[J]LX\n[I]MC2-0009\n[Q]") + QString(kMaxRecordText, u'问') +
                        u'\n' + answers + text)
            << QStringLiteral("题库文件格式错误：A类题库.txt 第 1 ") + tooLong;
        QTest::newRow("csv answers over 64K together")
            << QStringLiteral("class_a.csv")
            << (csv + QStringLiteral("LX,1,MC2-0009,问,A,%1,%1,%1,%1\r\n")
                          .arg(QString(kMaxRecordText / 4, u'x')))
                   .toUtf8()
            << QStringLiteral("题库文件格式错误：class_a.csv 第 4 ") + tooLong;
    }
    void readLevel() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        // An earlier paper and questions that the new file must replace whole.
        m_bank.PaperCount = 5;
        QVERIFY(m_bank.BankQuestion.set(7, QStringLiteral("旧")));
        writeLib(name, bytes);
        const LoadResult r = read();
        QCOMPARE(r.message(QStringLiteral("A类")), message);
        if (r.status != Status::Loaded) {
            QCOMPARE(m_bank.PaperCount, 5);
            QCOMPARE(m_bank.BankQuestion.value(7), QStringLiteral("旧"));
            QCOMPARE(m_bank.BankId.value(7), QString());
            return;
        }
        QCOMPARE(m_bank.PaperCount, 2);
        QCOMPARE(m_bank.PaperIds.value(0), QStringLiteral("MC2-0007"));
        QCOMPARE(m_bank.PaperIds.value(1), QStringLiteral("MC1-0003"));
        QCOMPARE(m_bank.BankId.value(7), QStringLiteral("MC2-0007"));
        QCOMPARE(m_bank.BankQuestion.value(7), QStringLiteral("问MC2-0007"));
        QCOMPARE(m_bank.OptionC.value(7), QStringLiteral("[C]丙"));
        QCOMPARE(m_bank.Keys.value(7), QStringLiteral("BD"));
        QCOMPARE(m_bank.Label.value(3), QStringLiteral("LK0001"));
        QCOMPARE(m_bank.Category.value(3), QStringLiteral("1.1.1"));
    }

    // A question of the earlier bank written under a number of the 2025
    // edition takes none of its key, label or picture.
    void earlierBankResets() {
        writeLib(QStringLiteral("A类题库.txt"),
                 gbkLines(tagged(QStringLiteral("MC2-0001"), QStringLiteral("CD"),
                                 QStringLiteral("[F]LK0001.jpg\n"))));
        writeLib(QStringLiteral("LK0001.jpg"), "picture");
        QCOMPARE(int(read().status), int(Status::Loaded));
        QCOMPARE(m_bank.Picture.value(1), QStringLiteral("LK0001.jpg"));

        QDir(m_values.LibDir).remove(QStringLiteral("A类题库.txt"));
        writeLib(QStringLiteral("总题库文件.txt"),
                 gbkLines(QStringLiteral("[I]LK0001\n[Q]旧题\n[A]a\n[B]b\n[C]c\n[D]d\n[P]\n")));
        writeLib(QStringLiteral("A类业余电台操作证书试卷涉及题号.txt"),
                 gbkLines(QStringLiteral("LK0001")));
        QCOMPARE(read().count, 1);
        for (const TextSlots* field :
             {&m_bank.Keys, &m_bank.Label, &m_bank.Category, &m_bank.Picture})
            QCOMPARE(field->value(1), QString());
        QCOMPARE(correctLetters(m_bank, 1), QStringLiteral("A"));
        ZOMA_COMPARE_FILE(picturePath(m_bank, m_values.folder(), u"LK0001"),
                          m_values.LibDir + QStringLiteral("/LK0001.jpg"));
    }

    void answers_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("onlyCorrect");
        QTest::addColumn<QString>("lines");  // joined by "/"
        QTest::newRow("earlier, all")
            << QString() << false << QStringLiteral("[A]1/[B]2/[C]3/[D]4");
        QTest::newRow("earlier, correct") << QString() << true << QStringLiteral("[A]1");
        QTest::newRow("2025, all")
            << QStringLiteral("BD") << false << QStringLiteral("[A]1/[B]2/[C]3/[D]4");
        QTest::newRow("2025, not the first letters")
            << QStringLiteral("BD") << true << QStringLiteral("[B]2/[D]4");
        QTest::newRow("2025, every letter")
            << QStringLiteral("ABCD") << true << QStringLiteral("[A]1/[B]2/[C]3/[D]4");
    }
    void answers() {
        QFETCH(QString, keys);
        QFETCH(bool, onlyCorrect);
        QFETCH(QString, lines);
        const int q = 9;
        QVERIFY(m_bank.OptionA.set(q, QStringLiteral("[A]1")) &&
                m_bank.OptionB.set(q, QStringLiteral("[B]2")) &&
                m_bank.OptionC.set(q, QStringLiteral("[C]3")) &&
                m_bank.OptionD.set(q, QStringLiteral("[D]4")) && m_bank.Keys.set(q, keys));
        QStringList got;
        for (const QStringView line : answerLines(m_bank, q, onlyCorrect)) got << line.toString();
        QCOMPARE(got.join(u'/'), lines);
        QCOMPARE(correctLetters(m_bank, q), keys.isEmpty() ? QStringLiteral("A") : keys);
    }

    void pictures_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        const QStringList both = {QStringLiteral("LK0944.JPG"), QStringLiteral("LK0944.png")};
        QTest::newRow("F name, any case") << QStringLiteral("LX") << QStringLiteral("lk0944.jpg")
                                          << both << QStringLiteral("LK0944.JPG");
        QTest::newRow("label, jpg first")
            << QStringLiteral("LK0944") << QString() << both << QStringLiteral("LK0944.JPG");
        QTest::newRow("label, png")
            << QStringLiteral("LK0944") << QString() << QStringList{QStringLiteral("LK0944.png")}
            << QStringLiteral("LK0944.png");
        QTest::newRow("second label")
            << QStringLiteral("LY0014、LK0944") << QString()
            << QStringList{QStringLiteral("LK0944.png")} << QStringLiteral("LK0944.png");
        QTest::newRow("F name missing: no other picture")
            << QStringLiteral("LK0944") << QStringLiteral("LK0001.jpg") << both << QString();
        QTest::newRow("F name leaving the folder")
            << QStringLiteral("LX") << QStringLiteral("../LK0944.jpg") << both << QString();
        QTest::newRow("never the entry's picture")
            << QStringLiteral("LX") << QString() << QStringList{QStringLiteral("MC2-0012.jpg")}
            << QString();
    }
    void pictures() {
        QFETCH(QString, label);
        QFETCH(QString, picture);
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        for (const QString& f : files) writeLib(f, "picture");
        QVERIFY(m_bank.Keys.set(12, QStringLiteral("A")) && m_bank.Label.set(12, label) &&
                m_bank.Picture.set(12, picture));
        ZOMA_COMPARE_FILE(picturePath(m_bank, m_values.folder(), u"MC2-0012"),
                          found.isEmpty() ? QString() : m_values.LibDir + u'/' + found);
    }
};

QTEST_GUILESS_MAIN(LevelFileTest)
#include "level_file_test.moc"
