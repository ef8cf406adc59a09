// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts in Chinese: read from real message boxes, file dialogs and
// a text box's menu, as a screen reader reads them.
#include "tests/support/test_files.h"
#include "ui/qt_dialogs.h"
#include "ui/translations.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>
#include <utility>

#ifdef Q_OS_UNIX
#endif

namespace {

// What a screen reader says for a control, without its access key and the
// colon of a label: "是(&Y)" reads 是.
QString said(const QString& text) {
    static const QRegularExpression noise(QStringLiteral("\\(&?[A-Za-z]\\)|&|：$|\\t.*$"));
    return QString(text).remove(noise);
}
QString said(QObject* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? said(accessible->text(QAccessible::Name)) : QString();
}

// Runs show(), which opens a modal dialog, reads the dialog and closes it.
void readModal(const std::function<void()>& show, const std::function<void(QDialog*)>& read) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        read(dialog);
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    show();
    QVERIFY(seen);
}

QString buttonSaid(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    const auto* box = dialog->findChild<QDialogButtonBox*>();
    return box ? said(box->button(which)) : QString();
}

// Everything Qt says in the program: a message box's buttons (OK; Yes, No,
// Cancel), the file dialog's labels and buttons, a text box's menu.
QStringList qtTexts() {
    QtDialogs qt;
    Dialogs& dialogs = qt;
    QStringList texts;
    readModal([&] { dialogs.message(QStringLiteral("问")); },
              [&](QDialog* box) { texts << buttonSaid(box, QDialogButtonBox::Ok); });
    readModal([&] { dialogs.message(QStringLiteral("问"), Dialogs::Buttons::YesNoCancel); },
              [&](QDialog* box) {
                  for (auto which :
                       {QDialogButtonBox::Yes, QDialogButtonBox::No, QDialogButtonBox::Cancel})
                      texts << buttonSaid(box, which);
              });
    readModal([&] { dialogs.openFile(QStringLiteral("文本|*.txt"), QString(), {}); },
              [&](QDialog* dialog) {
                  for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                      texts << said(dialog->findChild<QLabel*>(QLatin1String(name)));
                  texts << buttonSaid(dialog, QDialogButtonBox::Open);
              });
    QFileDialog save;
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    texts << buttonSaid(&save, QDialogButtonBox::Save);

    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        // Copy and paste, known by their keys.
        const QString text = action->text();
        if (text.endsWith(u"+C") || text.endsWith(u"+V")) texts << said(text);
    }
    return texts;
}

}  // namespace

class UiTest final : public QObject {
    Q_OBJECT

private slots:
    void language_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        // German and English have Qt translations of their own.
        for (const auto& [locale, language] : {std::pair{"zh_CN", "zh_CN"},
                                               {"zh_SG", "zh_CN"},
                                               {"zh_TW", "zh_TW"},
                                               {"zh_HK", "zh_TW"},
                                               {"en_US", "zh_CN"},
                                               {"de_DE", "zh_CN"},
                                               {"C", "zh_CN"}}) {
            QTest::newRow(locale) << QString::fromLatin1(locale) << QString::fromLatin1(language);
        }
    }
    void language() {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QCOMPARE(zoma::qtTextLanguage(QLocale(locale)), language);
    }

    void chinese_data() {
        QTest::addColumn<QString>("besideProgram");  // qtbase_zh_CN.qm there: "", "zh_TW", "fifo"
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        const QStringList simplified = {"确定",     "是",   "否",   "取消", "查找范围", "文件名称",
                                        "文件类型", "打开", "保存", "复制", "粘贴"};
        const QStringList traditional = {"確定",     "是",   "否",   "取消", "尋找於", "檔名",
                                         "檔案型態", "開啟", "儲存", "複製", "貼上"};
        const QString none;
        QTest::newRow("Qt's folder") << none << QStringLiteral("zh_CN") << simplified;
        QTest::newRow("Qt's folder, traditional") << none << QStringLiteral("zh_TW") << traditional;
        QTest::newRow("English system") << none << QStringLiteral("en_GB") << simplified;
        // Another language's file under the name shows which file was taken.
        QTest::newRow("beside the program first")
            << QStringLiteral("zh_TW") << QStringLiteral("zh_CN") << traditional;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO beside is passed by")
            << QStringLiteral("fifo") << QStringLiteral("zh_CN") << simplified;
#endif
    }
    void chinese() {
        QFETCH(QString, besideProgram);
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        QTemporaryDir program;
        const QString beside = program.filePath(QStringLiteral("translations/qtbase_zh_CN.qm"));
        if (besideProgram == u"zh_TW") {
            writeBytes(beside, readBytes(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                         QStringLiteral("/qtbase_zh_TW.qm")));
        }
        if (besideProgram == u"fifo") {
            QVERIFY(QDir().mkpath(program.filePath(QStringLiteral("translations"))));
            if (!makeFifo(beside)) QSKIP(kNoSpecialFiles);
        }
        std::unique_ptr<QTranslator> translator(
            zoma::installQtTranslations(program.path(), QLocale(locale)));
        QVERIFY(translator);
        QCOMPARE(qtTexts(), texts);

        // Gone with its translator, so that no row leaks into the next.
        translator.reset();
        QCOMPARE(qtTexts().value(0), QStringLiteral("OK"));
    }
};

QTEST_MAIN(UiTest)
#include "ui_test.moc"
