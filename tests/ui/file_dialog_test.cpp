// SPDX-License-Identifier: GPL-3.0-or-later
// The program's file dialogs as Qt shows them, looked at while they are open.
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class FileDialogTest final : public QObject {
    Q_OBJECT

private slots:
    // Saving asks with a save dialog titled as its command, a 保存 button
    // and no question of its own before a file is replaced (the program asks
    // that); every dialog lists its types with each pattern once.
    void shown_data() {
        QTest::addColumn<QString>("kind");  // save, open or several
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("typed");   // the name typed before 保存; empty: cancelled
        QTest::addColumn<QString>("chosen");  // the file name given back
        const QString all = QStringLiteral("所有文件(*.*)");
        // clang-format off
        QTest::newRow("打印试卷") << "save" << "PDF文件(*.pdf)|*.pdf|所有文件(*.*)|*.*" << "打印试卷"
            << QStringList{"PDF文件(*.pdf)", all} << "试卷.pdf" << "试卷.pdf";
        QTest::newRow("导出学习进度") << "save" << "CSV 文件(*.csv)|*.csv|所有文件(*.*)|*.*"
            << "导出学习进度" << QStringList{"CSV 文件(*.csv)", all} << "进度" << "进度.csv";
        QTest::newRow("export window") << "open" << "题库文件(txt)|*.txt|所有文件(*.*)|*.*" << ""
            << QStringList{"题库文件(txt) (*.txt)", all} << "" << "";
        QTest::newRow("import window") << "several"
            << "题库包(*.zip)|*.zip|题库PDF(*.pdf)|*.pdf|所有文件(*.*)|*.*" << ""
            << QStringList{"题库包(*.zip)", "题库PDF(*.pdf)", all} << "" << "";
        // clang-format on
    }
    void shown() {
        QFETCH(QString, kind);
        QFETCH(QString, filter);
        QFETCH(QString, caption);
        QFETCH(QString, typed);
        QTemporaryDir dir;
        const QString proposed = dir.filePath(QStringLiteral("A类-1.x"));
        const bool save = kind == QStringLiteral("save");

        QFileDialog* seen = nullptr;
        QStringList shownTypes, buttons;
        QString title, name;
        bool asksBeforeReplacing = true;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QTimer look;
        look.setInterval(10);
        connect(&look, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || seen) return;
            seen = dialog;
            mode = dialog->acceptMode();
            title = dialog->windowTitle();
            asksBeforeReplacing = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; combo && i < combo->count(); ++i) shownTypes << combo->itemText(i);
            auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            for (QAbstractButton* b : box ? box->buttons() : QList<QAbstractButton*>())
                buttons << b->text();
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name = edit ? edit->text() : QString();
            if (typed.isEmpty()) {
                dialog->reject();
            } else {
                edit->setText(typed);
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
        look.start();

        QtDialogs dialogs;
        QString given;
        if (save) {
            given = dialogs.saveFile(filter, proposed, caption);
        } else if (kind == QStringLiteral("open")) {
            given = dialogs.openFile(filter, proposed, Dialogs::FileMode::Any);
        } else {
            given = dialogs.openFiles(filter, proposed).join(u'|');
        }
        QVERIFY(seen);
        QFETCH(QStringList, types);
        QCOMPARE(shownTypes, types);
        QCOMPARE(name, QStringLiteral("A类-1.x"));
        QFETCH(QString, chosen);
        QCOMPARE(given,
                 chosen.isEmpty() ? QString() : QDir::toNativeSeparators(dir.filePath(chosen)));
        if (!save) return;
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QCOMPARE(title, caption);
        QCOMPARE(buttons.size(), 2);
        QVERIFY2(buttons.contains(QtDialogs::SaveText), qPrintable(buttons.join(u'|')));
        QVERIFY2(buttons.contains(QtDialogs::CancelText), qPrintable(buttons.join(u'|')));
        QVERIFY(!asksBeforeReplacing);
    }
};

QTEST_MAIN(FileDialogTest)
#include "file_dialog_test.moc"
