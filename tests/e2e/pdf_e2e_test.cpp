// SPDX-License-Identifier: GPL-3.0-or-later
// The published PDF files zipped as a user downloads them: the import
// window, then read data and export for each level, through the real windows.
#include "app/review_tool.h"
#include "export/form4.h"
#include "main_window/form1.h"
#include "tests/import/zip_builder.h"
#include "tests/pdf/bank_pdfs.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QRadioButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using Window = WindowRegistry::Window;

class PdfEndToEndTest final : public QObject {
    Q_OBJECT

private slots:
    void zippedPdfs() {
        QTemporaryDir download;
        const QStringList pdfs = bankpdfs::writeBankSet(download.path());
        QVERIFY(!pdfs.isEmpty());
        QList<ZipItem> items;
        for (const QString& pdf : pdfs) {
            items.append({QStringLiteral("2025题库/%1").arg(QFileInfo(pdf).fileName()).toUtf8(),
                          readBytes(pdf), 8, kUtf8Flag});
        }
        const QString zip = download.filePath(QStringLiteral("2025题库.zip"));
        writeBytes(zip, buildZip(items));

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
};

QTEST_MAIN(PdfEndToEndTest)
#include "pdf_e2e_test.moc"
