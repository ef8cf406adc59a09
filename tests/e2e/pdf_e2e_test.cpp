// SPDX-License-Identifier: GPL-3.0-or-later
// The published PDF files zipped as a user downloads them: the import
// window, then read data and export for each level, through the real windows.
#include "app/review_tool.h"
#include "export/form4.h"
#include "main_window/form1.h"
#include "tests/import/zip_builder.h"
#include "tests/pdf/bank_pdfs.h"
#include "tests/support/program_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/widgets.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRadioButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using Window = WindowRegistry::Window;

namespace {

// The published set zipped in its folder, as it is downloaded.
QString zippedBankSet(const QString& dir) {
    const QStringList pdfs = bankpdfs::writeBankSet(dir);
    if (pdfs.isEmpty()) return {};
    QList<ZipItem> items;
    for (const QString& pdf : pdfs) {
        items.append({QStringLiteral("2025题库/%1").arg(QFileInfo(pdf).fileName()).toUtf8(),
                      readBytes(pdf), 8, kUtf8Flag});
    }
    const QString zip = QDir(dir).filePath(QStringLiteral("2025题库.zip"));
    writeBytes(zip, buildZip(items));
    return zip;
}

}  // namespace

class PdfEndToEndTest final : public QObject {
    Q_OBJECT

private slots:
    void zippedPdfs() {
        QTemporaryDir download;
        const QString zip = zippedBankSet(download.path());
        QVERIFY(!zip.isEmpty());

        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        ReviewTool tool(dialogs, programDir.path(), [] { return QDate(2025, 10, 1); });
        Form1& main = tool.mainWindow();
        main.show();

        click(&main, "Command2");
        QWidget* import = tool.windows.find(Window::Import);
        QVERIFY(import);
        dialogs.chooseFile(zip);
        click(import, "Command3");
        click(import, "Command1");
        QCOMPARE(dialogs.takeTexts(),
                 (QStringList{QStringLiteral("解压完成"), bankpdfs::bankSetSummary()}));
        click(import, "Command2");

        const struct {
            const char* level;
            int count;
            QStringList ids;
        } levels[] = {{"A类", 2, {"MC2-0001", "MC1-0002"}},
                      {"B类", 3, {"MC2-0001", "MC1-0002", "MC1-0003"}}};
        auto* chooser = control<QComboBox>(&main, "Combo1");
        for (const auto& l : levels) {
            const QString level = QString::fromUtf8(l.level);
            chooser->setCurrentText(level);
            click(&main, "Command4");
            QCOMPARE(dialogs.takeTexts(),
                     QStringList{QStringLiteral("%1题库已读取，共%2题").arg(level).arg(l.count)});

            click(&main, "Command5");
            QWidget* exporter = tool.windows.find(Window::Export);
            QVERIFY(exporter);
            const QString target = tool.values.AppDir + level + QStringLiteral("-export.txt");
            dialogs.chooseFile(target);
            click(exporter, "Command3");
            click(exporter, "Command1");
            QCOMPARE(dialogs.takeTexts(), QStringList{Form4::DoneText});
            const QString text = QStringDecoder("GBK").decode(readBytes(target));
            for (const QString& id : l.ids) QVERIFY2(text.contains(id), qPrintable(id));
            QVERIFY(text.contains(QStringLiteral("正确答案：AC")));
            QVERIFY(text.contains(QStringLiteral("我国业余无线电台的管理")));
            click(exporter, "Command2");
        }
        QVERIFY(dialogs.scriptDone());
    }

    // 返回 or 退出 while the import runs, pressed as a screen reader can
    // (the progress dialog stops only the pointer and the keys): the import
    // is cancelled where it still can be and says so, or finishes whole;
    // then the window closes, and 退出 ends the program after its farewell.
    void closeDuringImport_data() {
        QTest::addColumn<QString>("press");  // what the user presses
        QTest::addColumn<bool>("accessible");
        QTest::addColumn<bool>("late");  // pressed at the summary, when nothing is left to stop
        const QString ret = QStringLiteral("返回");
        const QString quit = QStringLiteral("退出");
        const QString box = QStringLiteral("close box");
        // clang-format off
        QTest::newRow("返回 while the PDFs are to be read")  << ret  << false << false;
        QTest::newRow("返回 through accessibility")         << ret  << true  << false;
        QTest::newRow("返回 at the summary")                << ret  << true  << true;
        QTest::newRow("the window's close box")            << box  << false << false;
        QTest::newRow("退出 while the PDFs are to be read")  << quit << false << false;
        QTest::newRow("退出 through accessibility")         << quit << true  << false;
        QTest::newRow("退出 at the summary")                << quit << true  << true;
        // clang-format on
    }
    void closeDuringImport() {
        QFETCH(QString, press);
        QFETCH(bool, accessible);
        QFETCH(bool, late);
        QTemporaryDir download;
        const QString zip = zippedBankSet(download.path());
        QVERIFY(!zip.isEmpty());
        ProgramFixture program;
        click(program.main(), "Command2");
        QPointer<QWidget> import = program.window(Window::Import);
        QVERIFY(import);
        const QString summary = bankpdfs::bankSetSummary();
        const QString when = late ? summary : QStringLiteral("解压完成");
        bool pressed = false;
        program.dialogs.onMessage = [&](const QString& text) {
            if (pressed || text != when) return;
            pressed = true;
            if (press == QStringLiteral("close box")) {
                import->close();
                return;
            }
            QPointer<QPushButton> button = press == QStringLiteral("退出")
                                               ? control(program.main(), "Command3")
                                               : control(import, "Command2");
            if (!accessible) {
                button->click();
                return;
            }
            QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
            QTRY_VERIFY(!button || !button->isDown());
        };
        program.dialogs.chooseFile(zip);
        click(import, "Command3");
        click(import, "Command1");
        QVERIFY(pressed);
        QTRY_VERIFY(!import);
        QTRY_COMPARE(program.main()->isVisible(), press != QStringLiteral("退出"));

        QStringList shown{
            QStringLiteral("解压完成"),
            late ? summary : QStringLiteral("PDF题库导入已取消，题库文件夹未作改动。")};
        if (press == QStringLiteral("退出")) shown << Form1::FarewellText;
        QCOMPARE(program.dialogs.takeTexts(), shown);
        // The whole import or nothing of the PDFs.
        QCOMPARE(QFileInfo::exists(program.libDir() + QStringLiteral("/A类题库.txt")), late);
        QCOMPARE(QFileInfo::exists(program.libDir() + QStringLiteral("/LK0002.jpg")), late);
    }
};

QTEST_MAIN(PdfEndToEndTest)
#include "pdf_e2e_test.moc"
