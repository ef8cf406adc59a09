// SPDX-License-Identifier: GPL-3.0-or-later
// The export's bytes, written into a buffer or a device that fills up.
#include "export/output.h"
#include "tests/support/fail_device.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QTest>

using Layout = ExportLayout;

namespace {
const QDate kDay(2013, 12, 4);
const QString kHeader = QStringLiteral("B类考试题库2013-12-04\n\n\n");

void setQuestion(QuestionBank& bank, int n, const QStringList& texts) {
    TextSlots* fields[] = {&bank.BankId,  &bank.BankQuestion, &bank.OptionA,
                           &bank.OptionB, &bank.OptionC,      &bank.OptionD};
    for (int i = 0; i < 6; ++i) QVERIFY(fields[i]->set(n, texts[i]));
}
}  // namespace

class ExportWriterTest final : public QObject {
    Q_OBJECT

private:
    QuestionBank m_bank;
    SharedValues m_values;

    void setPaper(const QStringList& ids) {
        for (int i = 0; i < ids.size(); ++i) QVERIFY(m_bank.PaperIds.set(i, ids[i]));
        m_bank.PaperCount = int(ids.size());
    }

private slots:
    void init() {
        m_bank = QuestionBank();
        m_values.PracticeLevel = QStringLiteral("B类");
        setQuestion(m_bank, 1, {"LK0001", "问题一", "[A]甲", "[B]乙", "[C]丙", "[D]丁"});
        setQuestion(m_bank, 12, {"LK0012", "含,逗号", "[A]a,b", "[B]b", "[C]c", "[D]d"});
        setQuestion(m_bank, 2000, {"LK2000", "x😀y", "[A]1", "[B]2", "[C]3", "[D]4"});
        // 2025 edition: the key is not the first letter.
        setQuestion(m_bank, 8, {"MC2-0008", "多选", "[A]甲", "[B]乙", "[C]丙", "[D]丁"});
        QVERIFY(m_bank.Keys.set(8, "BD"));
    }

    void wholeFile_data() {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<bool>("onlyCorrect");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("unusable");

        const QStringList two{"LK0001", "LK0012"};
        const Layout L = Layout::LineSeparated, C = Layout::CommaSeparated;
        QTest::newRow("lines") << two << L << false << kDay
                               << kHeader +
                                      "LK0001  问题一\n[A]甲\n[B]乙\n[C]丙\n[D]丁\n\n\n"
                                      "LK0012  含,逗号\n[A]a,b\n[B]b\n[C]c\n[D]d\n\n\n"
                               << QStringList();
        QTest::newRow("lines, correct only")
            << two << L << true << kDay
            << kHeader + "LK0001  问题一\n[A]甲\n\n\nLK0012  含,逗号\n[A]a,b\n\n\n"
            << QStringList();
        QTest::newRow("commas, commas in fields")
            << two << C << false << kDay
            << kHeader +
                   "LK0001,问题一,[A]甲,[B]乙,[C]丙,[D]丁\nLK0012,含,逗号,[A]a,b,[B]b,[C]c,[D]d\n"
            << QStringList();
        QTest::newRow("commas, correct only")
            << two << C << true << kDay << kHeader + "LK0001,问题一,[A]甲\nLK0012,含,逗号,[A]a,b\n"
            << QStringList();
        const QStringList mixed{"MC2-0008", "LK0001"};
        QTest::newRow("2025, lines")
            << mixed << L << false << kDay
            << kHeader +
                   "MC2-0008  多选\n[A]甲\n[B]乙\n[C]丙\n[D]丁\n正确答案：BD\n\n\n"
                   "LK0001  问题一\n[A]甲\n[B]乙\n[C]丙\n[D]丁\n\n\n"
            << QStringList();
        QTest::newRow("2025, lines, correct only")
            << mixed << L << true << kDay
            << kHeader +
                   "MC2-0008  多选\n[B]乙\n[D]丁\n正确答案：BD\n\n\nLK0001  问题一\n[A]甲\n\n\n"
            << QStringList();
        QTest::newRow("2025, commas") << mixed << C << false << kDay
                                      << kHeader +
                                             "MC2-0008,多选,[A]甲,[B]乙,[C]丙,[D]丁,正确答案：BD\n"
                                             "LK0001,问题一,[A]甲,[B]乙,[C]丙,[D]丁\n"
                                      << QStringList();
        QTest::newRow("2025, commas, correct only")
            << mixed << C << true << kDay
            << kHeader + "MC2-0008,多选,[B]乙,[D]丁,正确答案：BD\nLK0001,问题一,[A]甲\n"
            << QStringList();
        QTest::newRow("empty paper, date padding")
            << QStringList() << L << false << QDate(2013, 1, 5) << "B类考试题库2013-01-05\n\n\n"
            << QStringList();
        QTest::newRow("listed twice, bank's identifier written")
            << QStringList{"LK0001", "LA012", "LK0001"} << C << true << kDay
            << kHeader + "LK0001,问题一,[A]甲\nLK0012,含,逗号,[A]a,b\nLK0001,问题一,[A]甲\n"
            << QStringList();
        QTest::newRow("no question, lines")
            << QStringList{"LK0007"} << L << false << kDay << kHeader + "  \n\n\n\n\n\n\n"
            << QStringList();
        QTest::newRow("no question, commas, correct only")
            << QStringList{"LK0007"} << C << true << kDay << kHeader + ",,\n"
            << QStringList();
        QTest::newRow("character GBK lacks")
            << QStringList{"LK2000"} << C << true << kDay << kHeader + "LK2000,x?y,[A]1\n"
            << QStringList();
        QTest::newRow("unusable identifiers left out")
            << QStringList{"LKx1", "LK0001", "L", "LK2001", "LKx1", "LK 12 "} << C << true << kDay
            << kHeader + "LK0001,问题一,[A]甲\nLK0012,含,逗号,[A]a,b\n"
            << QStringList{"LKx1", "L", "LK2001"};
    }
    void wholeFile() {
        QFETCH(QStringList, ids);
        QFETCH(Layout, layout);
        QFETCH(bool, onlyCorrect);
        QFETCH(QDate, day);
        QFETCH(QString, expected);
        QFETCH(QStringList, unusable);
        setPaper(ids);
        QBuffer out;
        QVERIFY(out.open(QIODevice::WriteOnly));
        QStringList unusableIds;
        QString error;
        QVERIFY(
            zoma::output(m_bank, m_values, out, layout, onlyCorrect, day, &unusableIds, &error));
        QCOMPARE(unusableIds, unusable);
        QCOMPARE(out.data(), gbkLines(expected));
    }

    // A disk that fills up mid-write is reported with the device's reason.
    void fullDevice_data() {
        QTest::addColumn<qint64>("capacity");
        QTest::newRow("nothing fits") << qint64(0);
        QTest::newRow("header fits") << qint64(30);
        QTest::newRow("one byte short") << qint64(-1);
    }
    void fullDevice() {
        QFETCH(qint64, capacity);
        setPaper(QStringList(300, QStringLiteral("LK0001")));
        QBuffer whole;
        QVERIFY(whole.open(QIODevice::WriteOnly));
        QStringList unusableIds;
        QString error;
        QVERIFY(zoma::output(m_bank, m_values, whole, Layout::LineSeparated, false, kDay,
                             &unusableIds, &error));
        FailDevice full(capacity < 0 ? whole.size() - 1 : capacity);
        QVERIFY(!zoma::output(m_bank, m_values, full, Layout::LineSeparated, false, kDay,
                              &unusableIds, &error));
        QCOMPARE(error, QStringLiteral("磁盘空间不足"));
    }
};

QTEST_GUILESS_MAIN(ExportWriterTest)
#include "export_writer_test.moc"
