// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/read_data.h"
#include "common/part_file.h"
#include "common/regular_file.h"
#include "common/system_error.h"
#include "common/text_file.h"
#include "common/whole_number.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <limits>

using Status = LoadResult::Status;
// question number -> BankId, BankQuestion, OptionA, OptionD
using Expected = QMap<int, QStringList>;
// file name in the library -> what stands there
using LibFiles = QMap<QString, QString>;

namespace {

const QString kBankName = QStringLiteral("总题库文件(v1).txt");

QString paperName(const QString& level) {
    return level + QStringLiteral("业余电台操作证书试卷涉及题号.txt");
}

QString record(const QString& id, const QString& question) {
    return QStringLiteral("[I]%1\n[Q]%2\n[A]a%1\n[B]b%1\n[C]c%1\n[D]d%1\n[P]\n\n")
        .arg(id, question);
}

QStringList paperIds(const QuestionBank& bank, int count) {
    QStringList ids;
    for (int i = 0; i < count; ++i) ids << bank.PaperIds.value(i);
    return ids;
}

}  // namespace

class BankTest final : public StoreTest {
    Q_OBJECT

private:
private slots:
    void init() { QVERIFY(resetStore()); }

    void wholeNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint64>("value");
        const int no = int(WholeNumber::Kind::NotANumber);
        const int yes = int(WholeNumber::Kind::Value);
        QTest::newRow("plain") << QStringLiteral("12") << yes << qint64(12);
        QTest::newRow("leading zeros") << QStringLiteral("0012") << yes << qint64(12);
        QTest::newRow("blanks") << QStringLiteral("  7 ") << yes << qint64(7);
        QTest::newRow("empty") << QString() << no << qint64(0);
        QTest::newRow("sign") << QStringLiteral("-1") << no << qint64(0);
        QTest::newRow("inner blank") << QStringLiteral("1 2") << no << qint64(0);
        QTest::newRow("full-width digit") << QStringLiteral("１") << no << qint64(0);
        QTest::newRow("40 digits")
            << QString(40, u'9') << int(WholeNumber::Kind::TooLarge) << qint64(0);
        QTest::newRow("just above huge")
            << QStringLiteral("1000000000001") << int(WholeNumber::Kind::TooLarge) << qint64(0);
    }
    void wholeNumber() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(qint64, value);
        const WholeNumber n = WholeNumber::parse(text);
        QCOMPARE(int(n.kind), kind);
        QCOMPARE(n.value, value);
        QVERIFY(!n.inRange(1, 2000) || (value >= 1 && value <= 2000));
        // A number too large is in no range, however wide.
        if (n.kind == WholeNumber::Kind::TooLarge)
            QVERIFY(!n.inRange(0, std::numeric_limits<qint64>::max()));
    }

    void text_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QStringList ab = {QStringLiteral("甲"), QStringLiteral("乙")};
        QTest::newRow("gbk crlf") << QByteArray("\xbc\xd7\r\n\xd2\xd2\r\n") << ab;
        QTest::newRow("gbk cr") << QByteArray("\xbc\xd7\r\xd2\xd2\r") << ab;
        QTest::newRow("gbk lf no end") << QByteArray("\xbc\xd7\n\xd2\xd2") << ab;
        QTest::newRow("utf8") << QByteArray("\xe7\x94\xb2\n\xe4\xb9\x99\n") << ab;
        // 业 is D2 B5 in GBK, which is also a UTF-8 pair; 余 (D3 E0) is not.
        QTest::newRow("gbk opening like utf8")
            << QByteArray("\xd2\xb5\xd3\xe0") << QStringList{QStringLiteral("业余")};
        QTest::newRow("utf8 bom") << QByteArray("\xef\xbb\xbf\xe7\x94\xb2\r\n\xe4\xb9\x99") << ab;
        // Only the start is checked before decoding; the rest must not fool it.
        QTest::newRow("utf8 holding U+FFFD")
            << QByteArray("\xe7\x94\xb2\xef\xbf\xbd") << QStringList{QStringLiteral("甲\uFFFD")};
        const QString longStart(5000, u'a');
        QTest::newRow("gbk after a long ascii start")
            << QByteArray(5000, 'a') + "\xbc\xd7" << QStringList{longStart + QStringLiteral("甲")};
        QTest::newRow("utf8 character across the look")
            << QByteArray(4095, 'a') + "\xe7\x94\xb2"
            << QStringList{longStart.first(4095) + QStringLiteral("甲")};
        QTest::newRow("empty lines") << QByteArray("\r\n\n\r") << QStringList{{}, {}, {}};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }
    void text() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        const QString decoded = zoma::decodeText(bytes);
        QStringList got;
        for (QStringView line : zoma::splitLines(decoded)) got << line.toString();
        QCOMPARE(got, lines);
    }

    // The scan takes eight characters at a time: every place of a stop, near
    // block edges and in the tail, must be found, and nothing above the limit.
    void findAtOrBelow() {
        for (qsizetype size = 0; size <= 20; ++size) {
            for (qsizetype stop = -1; stop < size; ++stop) {
                QString text(size, u'甲');
                if (size > 0) text[size - 1] = u'-';  // just above ','
                if (stop >= 0) text[stop] = stop % 2 ? u',' : u'\t';
                const qsizetype expected = stop < 0 ? size : stop;
                QCOMPARE(zoma::findAtOrBelow(text, 0, u','), expected);
                if (stop >= 0) QCOMPARE(zoma::findAtOrBelow(text, stop + 1, u','), size);
            }
        }
    }

    void encode() {
        QCOMPARE(zoma::encodeGbk(QStringLiteral("A类,1")), QByteArray("A\xc0\xe0,1"));
        // Characters GBK lacks turn into "?", the rest stays.
        QCOMPARE(zoma::encodeGbk(QStringLiteral("甲😀乙\u0E01")), QByteArray("\xbc\xd7?\xd2\xd2?"));
    }

    // Reading again reuses the slots' storage; texts handed out before stay as they were.
    void readAgain() {
        writeLib(paperName(QStringLiteral("A类")), gbkLines(QStringLiteral("LK0001")));
        writeLib(kBankName,
                 gbkLines(record(QStringLiteral("LK0001"), QStringLiteral("长一些的题目"))));
        QCOMPARE(int(zoma::ReadData(m_bank, m_values, QStringLiteral("A类")).status),
                 int(Status::Loaded));
        const QString handedOut = m_bank.BankQuestion.value(1);

        for (const QString& question :
             {QStringLiteral("短"), QStringLiteral("比原来的题目更长的题目")}) {
            writeLib(kBankName, gbkLines(record(QStringLiteral("LK0001"), question)));
            QCOMPARE(int(zoma::ReadData(m_bank, m_values, QStringLiteral("A类")).status),
                     int(Status::Loaded));
            QCOMPARE(m_bank.BankQuestion.value(1), question);
            QCOMPARE(m_bank.OptionA.value(1), QStringLiteral("[A]aLK0001"));
        }
        QCOMPARE(handedOut, QStringLiteral("长一些的题目"));
    }

    void bankPass_data() {
        QTest::addColumn<QString>("bank");
        QTest::addColumn<int>("status");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<Expected>("expected");

        const auto full = [](const QString& id, const QString& q) {
            return QStringList{id, q, QStringLiteral("[A]a") + id, QStringLiteral("[D]d") + id};
        };
        const int loaded = int(Status::Loaded);
        const int failed = int(Status::Failed);

        QTest::newRow("leading zeros, 0 and 2000")
            << record(QStringLiteral("LA0012"), QStringLiteral("q12")) +
                   record(QStringLiteral("LK0000"), QStringLiteral("q0")) +
                   record(QStringLiteral("LK2000"), QStringLiteral("q2000"))
            << loaded << qsizetype(0)
            << Expected{{12, full(QStringLiteral("LA0012"), QStringLiteral("q12"))},
                        {0, full(QStringLiteral("LK0000"), QStringLiteral("q0"))},
                        {2000, full(QStringLiteral("LK2000"), QStringLiteral("q2000"))}};
        QTest::newRow("small i is no record")
            << QStringLiteral("[i]LK0001\n[Q]x\n[A]\n[B]\n[C]\n[D]\n") +
                   record(QStringLiteral("LK0002"), QStringLiteral("q2"))
            << loaded << qsizetype(0)
            << Expected{{1, {{}, {}, {}, {}}},
                        {2, full(QStringLiteral("LK0002"), QStringLiteral("q2"))}};
        QTest::newRow("duplicate: later wins")
            << record(QStringLiteral("LK0003"), QStringLiteral("old")) +
                   QStringLiteral("noise\n\n[P]x\n") +
                   record(QStringLiteral("LK0003"), QStringLiteral("new"))
            << loaded << qsizetype(0)
            << Expected{{3, full(QStringLiteral("LK0003"), QStringLiteral("new"))}};
        QTest::newRow("short record swallows the next")
            << QStringLiteral("[I]LK0004\n[Q]q4\n[A]a\n[B]b\n[C]c\n") +
                   record(QStringLiteral("LK0005"), QStringLiteral("q5"))
            << loaded << qsizetype(0)
            << Expected{{4,
                         {QStringLiteral("LK0004"), QStringLiteral("q4"), QStringLiteral("[A]a"),
                          QStringLiteral("[I]LK0005")}},
                        {5, {{}, {}, {}, {}}}};
        QTest::newRow("tag-only question line")
            << QStringLiteral("[I]LK0006\n[Q\n[A]\n[B]\n[C]\n[D]\n") << loaded << qsizetype(0)
            << Expected{
                   {6,
                    {QStringLiteral("LK0006"), {}, QStringLiteral("[A]"), QStringLiteral("[D]")}}};
        QTest::newRow("bad number stops, earlier stays")
            << record(QStringLiteral("LK0007"), QStringLiteral("q7")) +
                   record(QStringLiteral("LKx8"), QStringLiteral("q8"))
            << failed << qsizetype(9)
            << Expected{{7, full(QStringLiteral("LK0007"), QStringLiteral("q7"))}};
        QTest::newRow("number 2001") << record(QStringLiteral("LK2001"), QStringLiteral("q"))
                                     << failed << qsizetype(1) << Expected{};
        QTest::newRow("empty number") << record(QStringLiteral("LK"), QStringLiteral("q")) << failed
                                      << qsizetype(1) << Expected{};
        QTest::newRow("cut short")
            << record(QStringLiteral("LK0009"), QStringLiteral("q9")) +
                   QStringLiteral("[I]LK0010\n[Q]q10\n[A]a")
            << failed << qsizetype(9)
            << Expected{{9, full(QStringLiteral("LK0009"), QStringLiteral("q9"))},
                        {10, {{}, {}, {}, {}}}};
        // Long lines are scanned in blocks; a tab is no line end.
        const QString longQuestion =
            QStringLiteral("[Q]") + QStringLiteral("甲题\t驻丁abc").repeated(9);
        QTest::newRow("long lines")
            << QStringLiteral("[I]LK0011\n") + longQuestion + QStringLiteral("\n[A]") +
                   QString(37, u'x') + QStringLiteral("\n[B]\n[C]\n[D]\n")
            << loaded << qsizetype(0)
            << Expected{{11,
                         {QStringLiteral("LK0011"), longQuestion.mid(3),
                          QStringLiteral("[A]") + QString(37, u'x'), QStringLiteral("[D]")}}};
        QTest::newRow("no records")
            << QStringLiteral("nothing\n") << int(Status::NoRecords) << qsizetype(0) << Expected{};
    }
    void bankPass() {
        QFETCH(QString, bank);
        QFETCH(int, status);
        QFETCH(qsizetype, line);
        QFETCH(Expected, expected);

        // Every line-end style and both encodings read alike.
        const QList<QByteArray> forms = {
            gbkLines(bank), zoma::encodeGbk(QString(bank).replace(u'\n', u'\r')), bank.toUtf8()};
        for (const QByteArray& bytes : forms) {
            init();
            writeLib(kBankName, bytes);
            writeLib(paperName(QStringLiteral("A类")), QByteArray("LK0001\r\n"));
            const LoadResult r = zoma::ReadData(m_bank, m_values, QStringLiteral("A类"));
            QCOMPARE(int(r.status), status);
            QCOMPARE(r.line, line);
            QCOMPARE(m_bank.PaperCount, status == int(Status::Loaded) ? 1 : 0);
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                const QStringList got = {
                    m_bank.BankId.value(it.key()), m_bank.BankQuestion.value(it.key()),
                    m_bank.OptionA.value(it.key()), m_bank.OptionD.value(it.key())};
                QCOMPARE(got, it.value());
            }
        }
    }

    void paperScan_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("commas") << QStringLiteral("LA0001,LA0002,LA0003")
                                << QStringList{QStringLiteral("LA0001"), QStringLiteral("LA0002"),
                                               QStringLiteral("LA0003")};
        QTest::newRow("written together")
            << QStringLiteral("LA0001LA0002LA0003")
            << QStringList{QStringLiteral("LA0001"), QStringLiteral("LA0003")};
        QTest::newRow("short last")
            << QStringLiteral("LA0001,LA00")
            << QStringList{QStringLiteral("LA0001"), QStringLiteral("LA00")};
        QTest::newRow("lines not starting with L")
            << QStringLiteral(" LA0001\n题 LA0002\nlA0003\nLA0004\n")
            << QStringList{QStringLiteral("LA0004")};
        QTest::newRow("any L starts one")
            << QStringLiteral("LK0001 Last word")
            << QStringList{QStringLiteral("LK0001"), QStringLiteral("Last w")};
        QTest::newRow("real list")
            << QStringLiteral(
                   "LK0001， LK0002， LK0003,\n------------------------------\n共计题目： 3\n")
            << QStringList{QStringLiteral("LK0001"), QStringLiteral("LK0002"),
                           QStringLiteral("LK0003")};
        QTest::newRow("empty") << QString() << QStringList{};
    }
    void paperScan() {
        QFETCH(QString, list);
        QFETCH(QStringList, ids);
        writeLib(kBankName, gbkLines(record(QStringLiteral("LK0001"), QStringLiteral("q"))));
        writeLib(paperName(QStringLiteral("B类")), gbkLines(list));
        const LoadResult r = zoma::ReadData(m_bank, m_values, QStringLiteral("B类"));
        QCOMPARE(int(r.status), int(Status::Loaded));
        QCOMPARE(r.count, ids.size());
        QCOMPARE(m_bank.PaperCount, ids.size());
        QCOMPARE(paperIds(m_bank, ids.size()), ids);
    }

    void paperLimit_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("2001 fit") << 2001;
        QTest::newRow("2002 refused") << 2002;
    }
    void paperLimit() {
        QFETCH(int, count);
        QStringList ids;
        for (int i = 0; i < count; ++i)
            ids << QStringLiteral("LK%1").arg(i % 2001, 4, 10, QChar(u'0'));
        writeLib(kBankName, gbkLines(record(QStringLiteral("LK0001"), QStringLiteral("q"))));
        writeLib(paperName(QStringLiteral("C类")), gbkLines(ids.join(u',')));
        m_bank.PaperCount = 5;
        const LoadResult r = zoma::ReadData(m_bank, m_values, QStringLiteral("C类"));
        if (count <= 2001) {
            QCOMPARE(int(r.status), int(Status::Loaded));
            QCOMPARE(m_bank.PaperCount, count);
        } else {
            QCOMPARE(int(r.status), int(Status::Failed));
            QCOMPARE(m_bank.PaperCount, 5);
            QCOMPARE(r.message(QStringLiteral("C类")),
                     QStringLiteral("试卷题号文件格式错误：%1 第 1 行，题号超过 2001 个")
                         .arg(paperName(QStringLiteral("C类"))));
        }
        QCOMPARE(m_bank.PaperIds.value(2000), QStringLiteral("LK2000"));
    }

    void longerThenShorter() {
        writeLib(kBankName, gbkLines(record(QStringLiteral("LK0001"), QStringLiteral("q"))));
        writeLib(paperName(QStringLiteral("A类")),
                 gbkLines(QStringLiteral("LK0001,LK0002,LK0003")));
        writeLib(paperName(QStringLiteral("C类")), gbkLines(QStringLiteral("LK0009")));
        QCOMPARE(zoma::ReadData(m_bank, m_values, QStringLiteral("A类")).count, 3);
        QCOMPARE(zoma::ReadData(m_bank, m_values, QStringLiteral("C类")).count, 1);
        QCOMPARE(m_bank.PaperCount, 1);
        QCOMPARE(paperIds(m_bank, 3),
                 (QStringList{QStringLiteral("LK0009"), QStringLiteral("LK0002"),
                              QStringLiteral("LK0003")}));
    }

    void missingPaperList() {
        writeLib(kBankName, gbkLines(record(QStringLiteral("LK0042"), QStringLiteral("q"))));
        writeLib(paperName(QStringLiteral("A类")), gbkLines(QStringLiteral("LK0001,LK0002")));
        QCOMPARE(zoma::ReadData(m_bank, m_values, QStringLiteral("A类")).count, 2);

        const LoadResult r = zoma::ReadData(m_bank, m_values, QStringLiteral("B类"));
        QCOMPARE(int(r.status), int(Status::PaperListNotFound));
        QCOMPARE(r.message(QStringLiteral("B类")),
                 QStringLiteral("试卷题号文件未找到：") + paperName(QStringLiteral("B类")));
        QCOMPARE(m_bank.PaperCount, 2);
        QCOMPARE(m_bank.PaperIds.value(1), QStringLiteral("LK0002"));
        QCOMPARE(m_bank.BankId.value(42), QStringLiteral("LK0042"));
    }

    void bankFileSearch_data() {
        QTest::addColumn<QStringList>("files");  // a trailing "/" makes a folder
        QTest::addColumn<QString>("chosen");
        QTest::newRow("no lib folder") << QStringList{} << QString();
        QTest::newRow("other names only")
            << QStringList{QStringLiteral("题库.txt"), QStringLiteral("总题库文件.doc")}
            << QString();
        QTest::newRow("folder does not count")
            << QStringList{QStringLiteral("总题库文件(v9).txt/")} << QString();
        QTest::newRow("upper-case extension") << QStringList{QStringLiteral("总题库文件(v2).TXT")}
                                              << QStringLiteral("总题库文件(v2).TXT");
        QTest::newRow("first by name")
            << QStringList{QStringLiteral("总题库文件b.txt"), QStringLiteral("总题库文件a.txt")}
            << QStringLiteral("总题库文件a.txt");
    }
    void bankFileSearch() {
        QFETCH(QStringList, files);
        QFETCH(QString, chosen);
        for (const QString& f : files) {
            if (f.endsWith(u'/'))
                QDir().mkpath(m_values.LibDir + u'/' + f);
            else
                writeLib(f, QByteArray());
        }
        const QString found = zoma::findBankFile(m_values.folder());
        ZOMA_COMPARE_FILE(found, chosen.isEmpty() ? QString() : m_values.LibDir + u'/' + chosen);
        if (chosen.isEmpty()) {
            m_bank.PaperCount = 3;
            const LoadResult r = zoma::ReadData(m_bank, m_values, QStringLiteral("A类"));
            QCOMPARE(int(r.status), int(Status::BankNotFound));
            QCOMPARE(r.message(QStringLiteral("A类")),
                     QStringLiteral("题库文件未找到，请先执行解压"));
            QCOMPARE(m_bank.PaperCount, 3);
        }
    }

    void paperListIgnoresCase() {
        writeLib(kBankName, gbkLines(record(QStringLiteral("LK0001"), QStringLiteral("q"))));
        writeLib(QStringLiteral("a类业余电台操作证书试卷涉及题号.TXT"),
                 gbkLines(QStringLiteral("LK0001")));
        QCOMPARE(zoma::ReadData(m_bank, m_values, QStringLiteral("A类")).count, 1);
    }

    // What stands in the library instead of a bank or paper list: only
    // regular files are read, nothing ever waits on a FIFO, and a refused
    // file leaves the store and PaperCount as they were.
    void hostileLibrary_data() {
        // name -> "fifo", "huge" (sparse, one byte over the bound), "->target"
        // (a link) or the text of a regular file
        QTest::addColumn<LibFiles>("files");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString bank = record(QStringLiteral("LK0002"), QStringLiteral("q"));
        const QString list = QStringLiteral("LK0002,LK0003\n");
        const QString paper = paperName(QStringLiteral("A类"));
        const QString earlier = QStringLiteral("总题库文件(a).txt");
        const int failed = int(Status::Failed), loaded = int(Status::Loaded);
        const QString notRegular =
            QStringLiteral("题库文件无法读取：总题库文件(v1).txt，不是普通文件");
        using Files = LibFiles;
        QTest::newRow("bank is a FIFO")
            << Files{{kBankName, "fifo"}, {paper, list}} << failed << notRegular;
        QTest::newRow("bank links to a FIFO")
            << Files{{"pipe", "fifo"}, {kBankName, "->pipe"}, {paper, list}} << failed
            << notRegular;
        QTest::newRow("bank links to /dev/zero")
            << Files{{kBankName, "->/dev/zero"}, {paper, list}} << failed << notRegular;
        QTest::newRow("bank too large")
            << Files{{kBankName, "huge"}, {paper, list}} << failed
            << QStringLiteral("题库文件无法读取：总题库文件(v1).txt，文件过大，超过 64 MB");
        QTest::newRow("paper list is a FIFO")
            << Files{{kBankName, bank}, {paper, "fifo"}} << failed
            << QStringLiteral("试卷题号文件无法读取：") + paper + QStringLiteral("，不是普通文件");
        QTest::newRow("paper list too large") << Files{{kBankName, bank}, {paper, "huge"}} << failed
                                              << QStringLiteral("试卷题号文件无法读取：") + paper +
                                                     QStringLiteral("，文件过大，超过 64 MB");
        QTest::newRow("paper list a FIFO, another spelling regular")
            << Files{{kBankName, bank},
                     {paper, "fifo"},
                     {QStringLiteral("a类业余电台操作证书试卷涉及题号.txt"), list}}
            << loaded << QStringLiteral("A类题库已读取，共2题");
        QTest::newRow("FIFO sorts before the bank")
            << Files{{earlier, "fifo"}, {kBankName, bank}, {paper, list}} << loaded
            << QStringLiteral("A类题库已读取，共2题");
        QTest::newRow("dangling link sorts before the bank")
            << Files{{earlier, "->gone"}, {kBankName, bank}, {paper, list}} << loaded
            << QStringLiteral("A类题库已读取，共2题");
        QTest::newRow("looping link sorts before the bank")
            << Files{{earlier, "->" + earlier}, {kBankName, bank}, {paper, list}} << loaded
            << QStringLiteral("A类题库已读取，共2题");
        const QString noRecords = QStringLiteral("题库文件中没有题目记录：总题库文件(v1).txt");
        QTest::newRow("empty bank")
            << Files{{kBankName, ""}, {paper, list}} << int(Status::NoRecords) << noRecords;
        QTest::newRow("UTF-16 bank")
            << Files{{kBankName, "utf16"}, {paper, list}} << int(Status::NoRecords) << noRecords;
        QTest::newRow("binary bank") << Files{{kBankName, QString(300, QChar(0x1F))}, {paper, list}}
                                     << int(Status::NoRecords) << noRecords;
    }
    void hostileLibrary() {
        QFETCH(LibFiles, files);
        QFETCH(int, status);
        QFETCH(QString, message);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = m_values.LibDir + u'/' + it.key();
            QDir().mkpath(m_values.LibDir);
            if (it.value() == u"fifo") {
                if (!makeFifo(path)) QSKIP(kNoSpecialFiles);
            } else if (it.value() == u"huge") {
                writeBytes(path, {});
                QVERIFY(QFile::resize(path, kMaxFileSize + 1));  // sparse: no disk used
            } else if (it.value().startsWith(u"->")) {
                if (!makeSymlink(it.value().mid(2), path)) QSKIP(kNoSpecialFiles);
            } else if (it.value() == u"utf16") {
                const QString text = record(QStringLiteral("LK0002"), QStringLiteral("q"));
                writeBytes(path, QByteArray("\xFF\xFE") +
                                     QByteArray(reinterpret_cast<const char*>(text.utf16()),
                                                text.size() * 2));
            } else {
                writeLib(it.key(), gbkLines(it.value()));
            }
        }
        m_bank.PaperCount = 7;
        (void)m_bank.BankId.assign(2, QStringLiteral("old"));
        const LoadResult r = zoma::ReadData(m_bank, m_values, QStringLiteral("A类"));
        QCOMPARE(r.message(QStringLiteral("A类")), message);
        QCOMPARE(int(r.status), status);
        const bool loaded = status == int(Status::Loaded);
        QCOMPARE(m_bank.PaperCount, loaded ? 2 : 7);
        if (status == int(Status::NoRecords) || message.contains(u"总题库文件(v1).txt"))
            QCOMPARE(m_bank.BankId.value(2), QStringLiteral("old"));
    }

    // The bound of a whole read, at both sides, and a file that is no file.
    void readBound_data() {
        QTest::addColumn<QByteArray>("bytes");  // "/" makes a folder
        QTest::addColumn<QString>("error");
        QTest::newRow("at the bound") << QByteArray(10, 'x') << QString();
        QTest::newRow("one over") << QByteArray(11, 'x')
                                  << QStringLiteral("文件过大，超过 10 字节");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("folder") << QByteArray("/") << QStringLiteral("不是普通文件");
        QTest::newRow("missing") << QByteArray("-") << QStringLiteral("文件不存在");
    }
    void readBound() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const QString path = m_dir.filePath(QStringLiteral("f"));
        if (bytes == "/") {
            QVERIFY(QDir().mkpath(path));
        } else if (bytes != "-") {
            writeBytes(path, bytes);
        }
        QByteArray read("old");
        QString problem;
        QCOMPARE(zoma::readRegularFile(path, 10, &read, &problem), error.isEmpty());
        QCOMPARE(problem, error);
        if (error.isEmpty()) QCOMPARE(read, bytes);
    }

    // The system's reasons, said in Chinese, from the writers as they meet them.
    void systemReasons_data() {
        QTest::addColumn<QString>("target");  // in a temporary folder
        QTest::addColumn<QString>("links");   // "write through", "replace"
        QTest::addColumn<QString>("reason");
        const QString through = QStringLiteral("write through");
        QTest::newRow("folder missing") << "no/f" << through << "文件不存在";
        QTest::newRow("a folder there") << "folder" << through << "是一个文件夹";
        QTest::newRow("a folder there, replaced by renaming")
            << "folder" << QStringLiteral("replace") << "是一个文件夹";
        // Windows says only that the path is not there.
#ifdef Q_OS_WIN
        QTest::newRow("a file in the path") << "file/f" << through << "文件不存在";
#else
        QTest::newRow("a file in the path") << "file/f" << through << "路径中有一段不是文件夹";
#endif
#ifdef Q_OS_LINUX
        QTest::newRow("a full disk") << "/dev/full" << through << "磁盘空间不足";
#endif
    }
    void systemReasons() {
        QFETCH(QString, target);
        QFETCH(QString, links);
        QFETCH(QString, reason);
        writeBytes(m_dir.filePath(QStringLiteral("file")), "x");
        writeBytes(m_dir.filePath(QStringLiteral("folder/inside")), "x");
        QString error;
        if (target.startsWith(u'/')) {
            // A device that is always full, as the kernel reports it.
            QFile full(target);
            QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            QVERIFY(!zoma::writeAll(full, "bytes", &error));
        } else {
            PartFile part(m_dir.filePath(target), links == u"replace"
                                                      ? PartFile::Links::Replace
                                                      : PartFile::Links::WriteThrough);
            QVERIFY(!(part.open({}, &error) && part.commit(&error)));
        }
        QCOMPARE(error, reason);
    }

    // A reason the program does not know keeps the system's words and number;
    // Qt's own texts stay as they are.
    void otherReasons() {
#ifdef EREMOTEIO
        QCOMPARE(zoma::qtReason(qt_error_string(EREMOTEIO)),
                 QStringLiteral("系统错误 %1：").arg(EREMOTEIO) + qt_error_string(EREMOTEIO));
        QCOMPARE(zoma::errnoReason(EREMOTEIO), zoma::qtReason(qt_error_string(EREMOTEIO)));
#endif
        QCOMPARE(zoma::qtReason(QStringLiteral("Unknown error")), QStringLiteral("Unknown error"));
    }

    // The kind of file in a failure comes from the outcome, not from the name.
    void messages_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<QString>("message");
        const int bank = int(LoadResult::File::Bank);
        const int paper = int(LoadResult::File::PaperList);
        QTest::newRow("bank, line")
            << bank << qsizetype(37) << "题库文件格式错误：x.txt 第 37 行，原因";
        QTest::newRow("bank, unreadable")
            << bank << qsizetype(0) << "题库文件无法读取：x.txt，原因";
        QTest::newRow("paper list, line")
            << paper << qsizetype(2) << "试卷题号文件格式错误：x.txt 第 2 行，原因";
        QTest::newRow("paper list, unreadable")
            << paper << qsizetype(0) << "试卷题号文件无法读取：x.txt，原因";
    }
    void messages() {
        QFETCH(int, which);
        QFETCH(qsizetype, line);
        QFETCH(QString, message);
        LoadResult r(Status::Failed, LoadResult::File(which));
        r.file = QStringLiteral("x.txt");
        r.line = line;
        r.problem = QStringLiteral("原因");
        QCOMPARE(r.message(QStringLiteral("B类")), message);
        LoadResult loaded(Status::Loaded, LoadResult::File::PaperList);
        loaded.count = 40;
        QCOMPARE(loaded.message(QStringLiteral("B类")), QStringLiteral("B类题库已读取，共40题"));
    }
};

QTEST_GUILESS_MAIN(BankTest)
#include "bank_test.moc"
