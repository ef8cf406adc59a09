// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/form3.h"
#include "tests/import/zip_builder.h"
#include "tests/pdf/bank_pdfs.h"
#include "tests/pdf/pdf_maker.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>

// The import window given the published PDF files: picked together, zipped,
// or both.
class PdfWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void import_data() {
        QTest::addColumn<QList<int>>("zipped");  // which of the four files go into one zip
        QTest::addColumn<QList<int>>("chosen");  // which are picked beside it
        QTest::addColumn<QStringList>("shown");
        const QString done = QStringLiteral("解压完成");
        const QString summary = bankpdfs::bankSetSummary();
        QTest::newRow("picked together")
            << QList<int>() << QList<int>{0, 1, 2, 3} << QStringList{summary};
        QTest::newRow("zipped") << QList<int>{0, 1, 2, 3} << QList<int>()
                                << QStringList{done, summary};
        QTest::newRow("a zip and a PDF")
            << QList<int>{0, 1, 2} << QList<int>{3} << QStringList{done, summary};
    }
    void import() {
        QFETCH(QList<int>, zipped);
        QFETCH(QList<int>, chosen);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("download"));
        QVERIFY(QDir().mkdir(source));
        const QStringList pdfs = bankpdfs::writeBankSet(source);
        QVERIFY(!pdfs.isEmpty());

        QStringList files;
        if (!zipped.isEmpty()) {
            QList<ZipItem> items{{"题库/说明.txt", "readme", 0, kUtf8Flag}};
            for (int i : zipped) {
                items.append({QStringLiteral("题库/%1").arg(QFileInfo(pdfs[i]).fileName()).toUtf8(),
                              readBytes(pdfs[i]), 8, kUtf8Flag});
            }
            files << dir.filePath(QStringLiteral("题库.zip"));
            writeBytes(files.last(), buildZip(items));
        }
        for (int i : chosen) files << pdfs[i];

        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("program"))));
        SharedValues values = programValues(dir.filePath(QStringLiteral("program")));
        ScriptedDialogs dialogs;
        UnzipBridge bridge(dialogs);
        Form3 form(values, dialogs, bridge);
        form.show();
        dialogs.chooseFiles(files);
        click(&form, "Command3");
        QCOMPARE(dialogs.fileRequests.size(), 1);
        QCOMPARE(dialogs.fileRequests[0].filter,
                 QStringLiteral("题库包(*.zip)|*.zip|题库PDF(*.pdf)|*.pdf|所有文件(*.*)|*.*"));
        QVERIFY(dialogs.fileRequests[0].several);
        QCOMPARE(control<QLabel>(&form, "Label5")->text(), files.join(u'\n'));
        QCOMPARE(values.SelectedFile, files.first());
        click(&form, "Command1");
        QFETCH(QStringList, shown);
        QCOMPARE(dialogs.takeTexts(), shown);
        QVERIFY(dialogs.scriptDone());

        const QStringList inLibrary = QDir(values.LibDir).entryList(QDir::Files);
        for (const char* name : {"A类题库.txt", "B类题库.txt", "LK0002.jpg", "LK0003.jpg"}) {
            QVERIFY2(inLibrary.contains(QString::fromUtf8(name)), name);
        }
    }

    void progressNeverOverABox() {
        QTemporaryDir dir;
        const QString zip = dir.filePath(QStringLiteral("题库.zip"));
        writeBytes(zip, buildZip({{"说明.txt", "readme", 0, kUtf8Flag}}));
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("program"))));
        SharedValues values = programValues(dir.filePath(QStringLiteral("program")));
        ScriptedDialogs dialogs;
        UnzipBridge bridge(dialogs);
        Form3 form(values, dialogs, bridge);
        // A user who takes a while to answer: meanwhile the progress dialog
        // must stay down, or it would cover the box and take its input.
        bool progressOverBox = false;
        dialogs.onMessage = [&](const QString&) {
            QTest::qWait(1000);
            auto* progress = form.findChild<QProgressDialog*>();
            progressOverBox = progressOverBox || (progress && progress->isVisible());
        };
        form.show();
        dialogs.chooseFiles({zip});
        click(&form, "Command3");
        click(&form, "Command1");
        QCOMPARE(dialogs.takeTexts(), QStringList{QStringLiteral("解压完成")});
        QVERIFY(!progressOverBox);
    }

    // A zip whose PDFs are refused, or whose import is cancelled after the
    // extraction: its other files are unpacked, no PDF of it reaches the
    // library, the message saying the folder was not changed is true, and
    // an archive chosen after it is unpacked, or named as not imported.
    void zipNotImported_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("inLibrary");
        const QString done = QStringLiteral("解压完成");
        // clang-format off
        QTest::newRow("a damaged PDF") << false
            << QStringList{done, done, "PDF题库没有导入，题库文件夹未作改动。\nA类题库.pdf：PDF文件已损坏（第2页的内容无法正确解码）"}
            << QStringList{"其他.txt", "说明.txt"};
        QTest::newRow("cancelled") << true
            << QStringList{done, "导入已取消，以下文件没有导入：\n%1", "PDF题库导入已取消，题库文件夹未作改动。"}
            << QStringList{"说明.txt"};
        // clang-format on
    }
    void zipNotImported() {
        QFETCH(bool, cancel);
        QTemporaryDir dir;
        const QStringList pdfs = bankpdfs::writeBankSet(dir.path());
        QVERIFY(!pdfs.isEmpty());
        if (!cancel) {
            writeBytes(pdfs[0], pdfmaker::withContentByteFlipped(readBytes(pdfs[0]), 1));
        }
        QList<ZipItem> items{{"题库/说明.txt", "readme", 0, kUtf8Flag}};
        for (const QString& pdf : pdfs) {
            items.append({QStringLiteral("题库/%1").arg(QFileInfo(pdf).fileName()).toUtf8(),
                          readBytes(pdf), 8, kUtf8Flag});
        }
        const QString zip = dir.filePath(QStringLiteral("题库.zip"));
        writeBytes(zip, buildZip(items));
        const QString other = dir.filePath(QStringLiteral("其他.zip"));
        writeBytes(other, buildZip({{"其他.txt", "other", 0, kUtf8Flag}}));

        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("program"))));
        SharedValues values = programValues(dir.filePath(QStringLiteral("program")));
        ScriptedDialogs dialogs;
        UnzipBridge bridge(dialogs);
        Form3 form(values, dialogs, bridge);
        // Cancels when the first extraction reports itself done, as a user
        // would while the PDFs are still to be read.
        dialogs.onMessage = [&](const QString& text) {
            auto* progress = form.findChild<QProgressDialog*>();
            QPushButton* button = progress ? progress->findChild<QPushButton*>() : nullptr;
            if (cancel && button && text == QStringLiteral("解压完成")) button->click();
        };
        form.show();
        dialogs.chooseFiles({zip, other});
        click(&form, "Command3");
        click(&form, "Command1");
        QFETCH(QStringList, shown);
        if (cancel) shown[1] = shown[1].arg(QDir::toNativeSeparators(other));
        QCOMPARE(dialogs.takeTexts(), shown);
        QVERIFY(dialogs.scriptDone());
        QFETCH(QStringList, inLibrary);
        QCOMPARE(QDir(values.LibDir).entryList(QDir::Files), inLibrary);
    }
};

QTEST_MAIN(PdfWindowTest)
#include "pdf_window_test.moc"
