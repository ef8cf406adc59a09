// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/form3.h"
#include "tests/import/zip_builder.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Answer = Dialogs::Answer;

class ImportWindowTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    SharedValues m_values;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<UnzipBridge> m_bridge;
    std::unique_ptr<Form3> m_form;

    template <typename T>
    T* child(QWidget* form, const char* name) {
        return control<T>(form, name);
    }
    QPushButton* button(const char* name) { return child<QPushButton>(m_form.get(), name); }
    QString label(const char* name) { return child<QLabel>(m_form.get(), name)->text(); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void choose(const QString& path) {
        m_dialogs.chooseFile(path);
        click("Command3");
    }
    QMap<QString, QByteArray> sampleFiles() { return folderFiles(QStringLiteral(ZOMA_SAMPLE_LIB)); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_values = programValues(m_dir->path());
        m_dialogs = ScriptedDialogs();
        m_bridge = std::make_unique<UnzipBridge>(m_dialogs);
        m_form = std::make_unique<Form3>(m_values, m_dialogs, *m_bridge);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        m_form.reset();
        QVERIFY(m_dialogs.scriptDone());
    }

    void startState() {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Form3"));
        QCOMPARE(m_form->size(), QSize(566, 350));
        QCOMPARE(label("Label3"), m_values.AppDir);
        QCOMPARE(label("Label5"), QString());
        QVERIFY(!button("Command1")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), button("Command3"));

        choose(QStringLiteral("/p.zip"));
        QVERIFY(button("Command1")->isEnabled());
        QTest::keyClick(button("Command3"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button("Command1"));
        QTest::keyClick(button("Command1"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button("Command2"));
    }

    // Answers of the file dialog in turn ("" cancels it): what the window and
    // SelectedFile show afterwards, and the names the dialog proposed.
    void choose_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("proposed");
        QTest::newRow("cancelled") << QStringList{""} << QString() << QStringList{""};
        QTest::newRow("chosen") << QStringList{"/a.zip"} << "/a.zip" << QStringList{""};
        QTest::newRow("chosen again")
            << QStringList{"/a.zip", "/b.zip"} << "/b.zip" << QStringList{"", "/a.zip"};
        QTest::newRow("cancel keeps the last")
            << QStringList{"/a.zip", ""} << "/a.zip" << QStringList{"", "/a.zip"};
    }
    void choose() {
        QFETCH(QStringList, answers);
        QFETCH(QString, shown);
        QFETCH(QStringList, proposed);
        m_values.SelectedFile = QStringLiteral("/export.txt");
        for (const QString& answer : answers) choose(answer);
        QCOMPARE(label("Label5"), shown);
        QCOMPARE(m_values.SelectedFile, shown.isEmpty() ? QStringLiteral("/export.txt") : shown);
        QCOMPARE(button("Command1")->isEnabled(), !shown.isEmpty());
        QStringList proposals;
        for (const auto& request : std::as_const(m_dialogs.fileRequests)) {
            QCOMPARE(request.filter, QStringLiteral("题库包(*.zip)|*.zip|所有文件(*.*)|*.*"));
            QCOMPARE(request.mode, Dialogs::FileMode::Existing);
            proposals << request.proposedName;
        }
        QCOMPARE(proposals, proposed);
    }

    void import_data() {
        QTest::addColumn<QString>("library");     // what stands at LibDir first
        QTest::addColumn<QByteArray>("package");  // empty: the sample package
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("extracted");
        QTest::newRow("library absent")
            << "none" << QByteArray() << QStringList{"解压完成"} << true;
        QTest::newRow("library present")
            << "folder" << QByteArray() << QStringList{"解压完成"} << true;
        QTest::newRow("plain file at library")
            << "file" << QByteArray() << QStringList{"错误代码：50"} << false;
        QTest::newRow("not an archive")
            << "folder" << QByteArray("text") << QStringList{"错误代码：9"} << false;
        QTest::newRow("some entries skipped")
            << "folder" << buildZip({symlinkItem("l", "/"), {.name = "a.txt"}})
            << QStringList{"错误代码：1", "解压完成"} << false;
    }
    void import() {
        QFETCH(QString, library);
        QFETCH(QByteArray, package);
        QFETCH(QStringList, shown);
        QFETCH(bool, extracted);
        if (library == u"folder") QDir().mkdir(m_values.LibDir);
        if (library == u"file") writeBytes(m_values.LibDir, "not a folder");
        QString path = QStringLiteral(ZOMA_SAMPLE_PACKAGE);
        if (!package.isEmpty()) {
            path = m_dir->filePath(QStringLiteral("package.zip"));
            writeBytes(path, package);
        }
        choose(path);
        m_bridge->UnzipMessages = QStringLiteral("old");
        m_bridge->UnzipEntryCount = 9;
        click("Command1");
        QCOMPARE(m_dialogs.takeTexts(), shown);
        QVERIFY(!m_bridge->UnzipMessages.startsWith(QStringLiteral("old")));
        if (extracted) {
            QCOMPARE(folderFiles(m_values.LibDir), sampleFiles());
            QCOMPARE(m_bridge->UnzipEntryCount, 8);  // the folder entry and seven files
        }
        QVERIFY(button("Command1")->isEnabled());
    }

    // The import takes SelectedFile as it stands at the click, even when the
    // export window changed it after the choice here.
    void importTakesSelectedFile() {
        choose(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        m_values.SelectedFile = m_dir->filePath(QStringLiteral("other.zip"));
        writeBytes(m_values.SelectedFile, buildZip({{.name = "other.txt", .data = "o"}}));
        click("Command1");
        QCOMPARE(m_dialogs.takeTexts(), QStringList{"解压完成"});
        QCOMPARE(QDir(m_values.LibDir).entryList(QDir::Files), QStringList{"other.txt"});
        QCOMPARE(label("Label5"), QStringLiteral(ZOMA_SAMPLE_PACKAGE));
    }

    void reimportCancelled() {
        choose(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        click("Command1");
        auto before = folderFiles(m_values.LibDir);
        const QString paper = QStringLiteral("A类业余电台操作证书试卷涉及题号.txt");
        writeBytes(m_values.LibDir + u'/' + paper, "edited");
        before[paper] = "edited";
        m_dialogs.takeTexts();
        m_dialogs.answer(Answer::Cancel);
        click("Command1");
        const QStringList texts = m_dialogs.takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].startsWith(QStringLiteral("Overwrite ")));
        QCOMPARE(texts[1], QStringLiteral("解压完成"));
        QCOMPARE(folderFiles(m_values.LibDir), before);
    }

    void libDirCannotBeMade() {
        writeBytes(m_dir->filePath(QStringLiteral("plain")), "x");
        m_values.LibDir = m_dir->filePath(QStringLiteral("plain/lib"));
        choose(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        click("Command1");
        QCOMPARE(m_dialogs.takeTexts(),
                 QStringList{Form3::NoLibDirText.arg(QDir::toNativeSeparators(m_values.LibDir))});
    }
};

QTEST_MAIN(ImportWindowTest)
#include "import_window_test.moc"
