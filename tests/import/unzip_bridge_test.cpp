// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/unzip_bridge.h"
#include "common/module.h"
#include "common/text_file.h"
#include "tests/import/zip_builder.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Answer = Dialogs::Answer;

namespace {

const QString kHeader = QStringLiteral("Filename:") + QString(43, u' ') + QStringLiteral("Size") +
                        QString(5, u' ') + QStringLiteral("Date") + QString(5, u' ') +
                        QStringLiteral("Time") + QString(6, u' ');

QString padded(const QString& name) {
    return name + QString(50 - name.size(), u' ');
}

}  // namespace

class UnzipBridgeTest final : public QObject {
    Q_OBJECT

private:
    ScriptedDialogs m_dialogs;
    std::unique_ptr<UnzipBridge> m_bridge;
    QTemporaryDir m_dir;

    void entry(qint32 size, qint32 day, qint32 month, qint32 year, qint32 hour, qint32 minute,
               const QByteArray& name) {
        m_bridge->UnzipEntry(size, 0, 0, month, day, year, hour, minute, 0, name.constData(),
                             "Stored", 0, 0);
    }
    QString archive(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("p.zip"));
        QFile::remove(path);
        writeBytes(path, bytes);
        return path;
    }

private slots:
    void init() {
        m_dialogs = ScriptedDialogs();
        m_bridge = std::make_unique<UnzipBridge>(m_dialogs);
    }
    void cleanup() { QVERIFY(m_dialogs.scriptDone()); }

    void listing_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("line");
        QTest::newRow("example") << 1234 << 5 << 7 << 2013 << 9 << 3 << QByteArray("a.txt")
                                 << padded("a.txt") + "   1234   5/07/13   9:03      ";
        QTest::newRow("eight digits") << 12345678 << 15 << 12 << 1999 << 23 << 59 << QByteArray("b")
                                      << padded("b") + "2345678  15/12/99  23:59      ";
        QTest::newRow("negative numbers") << -5 << -3 << -2 << 2000 << -1 << 0 << QByteArray("c")
                                          << padded("c") + "     -5  -3/-2/00  -1:00      ";
        QTest::newRow("low 16 bits")
            << 0 << 0x10007 << 1 << 0x10000 + 2013 << 0 << 0x1FFFF << QByteArray("d")
            << padded("d") + "      0   7/01/13   0:-1      ";
        QTest::newRow("long name") << 1 << 1 << 1 << 2021 << 1 << 1 << QByteArray(60, 'n')
                                   << QString(50, u'n') + "      1   1/01/21   1:01      ";
        QTest::newRow("Chinese name")
            << 1 << 1 << 1 << 2021 << 1 << 1 << QString(60, u'题').toUtf8()
            << QString(50, u'题') + "      1   1/01/21   1:01      ";
    }
    void listing() {
        QFETCH(int, size);
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QByteArray, name);
        QFETCH(QString, line);
        QCOMPARE(line.size(), 80);
        m_bridge->UnzipListing = QStringLiteral("left from before");
        entry(size, day, month, year, hour, minute, name);
        QCOMPARE(m_bridge->UnzipListing, kHeader + line);
        QCOMPARE(m_bridge->UnzipEntryCount, 1);
    }

    void print_data() {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<uint>("length");
        QTest::addColumn<QString>("appended");
        QTest::newRow("zero byte first") << QByteArray("abc\0efghij", 10) << 10u << "abc";
        QTest::newRow("length first") << QByteArray("abcdef") << 3u << "abc";
        QTest::newRow("Chinese") << QStringLiteral("名字\n").toUtf8() << 7u << "名字\n";
        QTest::newRow("cut inside a character") << QStringLiteral("名字").toUtf8() << 4u << "名";
        QTest::newRow("capped") << QByteArray(40000, 'p') << 40000u << QString(32801, u'p');
        QTest::newRow("bad byte escaped") << QByteArray(
                                                 "a\xFF"
                                                 "b")
                                          << 3u << "a%FFb";
    }
    void print() {
        QFETCH(QByteArray, buffer);
        QFETCH(uint, length);
        QFETCH(QString, appended);
        m_bridge->UnzipMessages = QStringLiteral("before ");
        QCOMPARE(m_bridge->UnzipPrint(buffer.constData(), length), 0);
        QCOMPARE(m_bridge->UnzipMessages, QStringLiteral("before ") + appended);
    }

    void replace_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("shownName");
        const QByteArray chinese = QStringLiteral("总题库文件.txt").toUtf8();
        QTest::newRow("Yes") << int(Answer::Yes) << chinese << 102
                             << QStringLiteral("总题库文件.txt");
        QTest::newRow("No") << int(Answer::No) << chinese << 100
                            << QStringLiteral("总题库文件.txt");
        QTest::newRow("Cancel") << int(Answer::Cancel) << chinese << 104
                                << QStringLiteral("总题库文件.txt");
        QTest::newRow("name cut at 256 bytes")
            << int(Answer::Yes) << QByteArray(300, 'n') << 102 << QString(256, u'n');
    }
    void replace() {
        QFETCH(int, answer);
        QFETCH(QByteArray, name);
        QFETCH(int, result);
        QFETCH(QString, shownName);
        m_dialogs.answer(Answer(answer));
        QCOMPARE(m_bridge->UnzipReplace(name.constData()), result);
        QCOMPARE(m_dialogs.shown.size(), 1);
        QCOMPARE(m_dialogs.shown[0].text, QStringLiteral("Overwrite ") + shownName + u'?');
        QCOMPARE(m_dialogs.shown[0].buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(m_dialogs.shown[0].caption, QStringLiteral("VBUnzip - File already exists"));
    }

    // The engine's entry reports reach the listing with their date fields in place.
    void listThroughEngine() {
        const QString path =
            archive(buildZip({{.name = zoma::encodeGbk(QStringLiteral("总题库文件.txt")),
                               .data = QByteArray(1234, 'x')},
                              {.name = "b.jpg"}}));
        m_bridge->UnzipIncludeNames[0] = QStringLiteral("*.txt");
        QCOMPARE(m_bridge->UnzipArchive(path, QString(), 0, 0, 1, 0, 1, 0), 0);
        QCOMPARE(m_bridge->UnzipListing, kHeader + padded(QStringLiteral("总题库文件.txt")) +
                                             "   1234   5/07/13   9:03      ");
        QCOMPARE(m_bridge->UnzipEntryCount, 1);

        // A count past the 100 slots stops at the list's end, it does not read past it.
        QCOMPARE(m_bridge->UnzipArchive(path, QString(), 0, 0, 1, 0, 101, 0), 10);
        QCOMPARE(m_dialogs.takeTexts(), QStringList{"错误代码：10"});
    }

    // The engine lies beside the program in a build; what cannot be had says why.
    void engineModule() {
        const QString engine = QStringLiteral(ZOMA_UNZIP_MODULE);
        QString error;
        QVERIFY(zoma::moduleFunction(engine, "windll_unzip", &error));
        QVERIFY(!zoma::moduleFunction(engine, "no_such_entry", &error));
        QVERIFY2(error.contains(QStringLiteral("no_such_entry")), qPrintable(error));
        QVERIFY(
            !zoma::moduleFunction(QStringLiteral("libno_such_module.so"), "windll_unzip", &error));
        QVERIFY2(error.contains(QStringLiteral("libno_such_module.so")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(UnzipBridgeTest)
#include "unzip_bridge_test.moc"
