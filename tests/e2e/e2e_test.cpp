// SPDX-License-Identifier: GPL-3.0-or-later
// The typical run of a user, through the real windows: import the sample
// package, read a level, practise with the resume record, export, leave; then
// the export's targets and what a screen reader hears.
#include "app/review_tool.h"
#include "export/form4.h"
#include "import/form3.h"
#include "main_window/form1.h"
#include "practice/form2.h"
#include "tests/support/program_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using Answer = Dialogs::Answer;
using Window = WindowRegistry::Window;

namespace {

// The library holds exactly these files, each as the sample has it.
void expectLibrary(const QString& libDir, const QString& sampleDir, const QStringList& files) {
    QCOMPARE(QDir(libDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), files);
    for (const QString& name : files)
        QCOMPARE(readBytes(libDir + u'/' + name), readBytes(sampleDir + u'/' + name));
}

}  // namespace

class EndToEndTest final : public QObject {
    Q_OBJECT

private slots:
    void typicalRun() {
        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        ReviewTool tool(dialogs, programDir.path(), [] { return QDate(2013, 12, 4); });
        Form1& main = tool.mainWindow();
        main.show();
        const QString libDir = tool.values.LibDir;
        const auto window = [&](Window w) { return tool.windows.find(w); };

        // Start: A类, review and export disabled.
        QCOMPARE(control<QComboBox>(&main, "Combo1")->currentText(), QStringLiteral("A类"));
        QVERIFY(!control(&main, "Command1")->isEnabled());
        QVERIFY(!control(&main, "Command5")->isEnabled());

        // Unzip with no library yet: no question, the import window opens.
        click(&main, "Command2");
        QVERIFY(dialogs.shown.isEmpty());
        QWidget* import = window(Window::Import);
        QVERIFY(import);
        dialogs.chooseFile(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        click(import, "Command3");
        click(import, "Command1");
        QCOMPARE(dialogs.takeTexts(), QStringList{QStringLiteral("解压完成")});
        QStringList expectedFiles = {
            QStringLiteral("A类业余电台操作证书试卷涉及题号.txt"),
            QStringLiteral("B类业余电台操作证书试卷涉及题号.txt"),
            QStringLiteral("C类业余电台操作证书试卷涉及题号.txt"),
            QStringLiteral("LS0005.jpg"),
            QStringLiteral("LS0012.jpg"),
            QStringLiteral("LS0023.jpg"),
            QStringLiteral("总题库文件(样例v1).txt"),
        };
        expectLibrary(libDir, QStringLiteral(ZOMA_SAMPLE_LIB), expectedFiles);
        if (QTest::currentTestFailed()) return;
        click(import, "Command2");
        QVERIFY(!window(Window::Import));

        // Unzip again: the question, answered No, opens nothing.
        dialogs.answer(Answer::No);
        click(&main, "Command2");
        QCOMPARE(dialogs.takeTexts(), QStringList{Form1::ReimportQuestion});
        QVERIFY(!window(Window::Import));

        // Read data for B类.
        QTest::keyClick(control<QComboBox>(&main, "Combo1"), Qt::Key_Down);
        click(&main, "Command4");
        QCOMPARE(dialogs.takeTexts(), QStringList{QStringLiteral("B类题库已读取，共20题")});
        QVERIFY(control(&main, "Command1")->isEnabled());
        QVERIFY(control(&main, "Command5")->isEnabled());

        // Review: no resume question on the first opening, question 1.
        const QString record = tool.values.AppDir + QStringLiteral("record.txt");
        click(&main, "Command1");
        QWidget* practice = window(Window::Practice);
        QVERIFY(practice);
        QVERIFY(dialogs.shown.isEmpty());
        auto* field = control<QLineEdit>(practice, "Text3");
        const auto shownId = [&] { return control<QLabel>(practice, "Label5")->text(); };
        const auto idOf = [&](int sequence) {
            return QStringLiteral("试题题号：") + tool.bank.PaperIds.value(sequence - 1);
        };
        QCOMPARE(field->text(), QStringLiteral("1"));
        QCOMPARE(shownId(), idOf(1));
        QCOMPARE(readBytes(record), QByteArray("1\r\n"));

        for (int i = 0; i < 3; ++i) click(practice, "Command1");
        click(practice, "Command3");
        QCOMPARE(field->text(), QStringLiteral("3"));
        QCOMPARE(shownId(), idOf(3));
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(readBytes(record), QByteArray("\r\n"));
        QTest::keyClicks(field, QStringLiteral("12"));
        QCOMPARE(shownId(), idOf(12));
        QCOMPARE(readBytes(record), QByteArray("12\r\n"));
        QVERIFY(dialogs.shown.isEmpty());
        click(practice, "Command2");
        QVERIFY(!window(Window::Practice));

        // Review again: the resume question; Yes shows 13.
        dialogs.answer(Answer::Yes);
        click(&main, "Command1");
        practice = window(Window::Practice);
        QCOMPARE(dialogs.takeTexts(), QStringList{Form2::ResumeQuestion});
        QCOMPARE(control<QLineEdit>(practice, "Text3")->text(), QStringLiteral("13"));
        QCOMPARE(shownId(), idOf(13));
        QCOMPARE(readBytes(record), QByteArray("13\r\n"));

        // Export in both layouts, with and without the correct answer only.
        click(&main, "Command5");
        QWidget* exporter = window(Window::Export);
        QVERIFY(exporter);
        QCOMPARE(control<QLineEdit>(exporter, "Text1")->text(),
                 tool.values.AppDir + QStringLiteral("B类考试题库.TXT"));
        const struct {
            const char* file;
            const char* option;
            bool onlyCorrect;
        } exports[] = {
            {"B-lines.txt", "Option1_0", false},
            {"B-lines-correct.txt", "Option1_0", true},
            {"B-commas.txt", "Option1_1", false},
            {"B-commas-correct.txt", "Option1_1", true},
        };
        for (const auto& e : exports) {
            const QString target = tool.values.AppDir + QString::fromLatin1(e.file);
            dialogs.chooseFile(target);
            click(exporter, "Command3");
            control<QRadioButton>(exporter, e.option)->setChecked(true);
            control<QCheckBox>(exporter, "Check1")->setChecked(e.onlyCorrect);
            click(exporter, "Command1");
            QCOMPARE(dialogs.takeTexts(), QStringList{Form4::DoneText});
            QCOMPARE(readBytes(target), readBytes(QStringLiteral(ZOMA_E2E_EXPECTED "/") +
                                                  QString::fromLatin1(e.file)));
        }

        // Another level disables review and export again.
        QTest::keyClick(control<QComboBox>(&main, "Combo1"), Qt::Key_Down);
        QCOMPARE(control<QComboBox>(&main, "Combo1")->currentText(), QStringLiteral("C类"));
        QVERIFY(!control(&main, "Command1")->isEnabled());
        QVERIFY(!control(&main, "Command5")->isEnabled());

        // Exit: the farewell; the main window closes, the practice window stays.
        click(&main, "Command3");
        QCOMPARE(dialogs.takeTexts(), QStringList{Form1::FarewellText});
        QVERIFY(!main.isVisible());
        QVERIFY(window(Window::Practice));
        QVERIFY(dialogs.scriptDone());
    }

    // The 2025 edition: its level files imported from a zip with a top folder,
    // each level read, a multi-answer question practised, B类 exported.
    void edition2025() {
        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        ReviewTool tool(dialogs, programDir.path(), [] { return QDate(2025, 10, 1); });
        Form1& main = tool.mainWindow();
        main.show();
        const QString libDir = tool.values.LibDir;
        const auto window = [&](Window w) { return tool.windows.find(w); };

        click(&main, "Command2");
        QWidget* import = window(Window::Import);
        dialogs.chooseFile(QStringLiteral(ZOMA_SAMPLE_2025_PACKAGE));
        click(import, "Command3");
        click(import, "Command1");
        QCOMPARE(dialogs.takeTexts(), QStringList{QStringLiteral("解压完成")});
        const QStringList expectedFiles = {
            QStringLiteral("A类题库.txt"), QStringLiteral("B类题库.txt"),
            QStringLiteral("C类题库.txt"), QStringLiteral("LS0105.jpg"),
            QStringLiteral("LS0123.jpg"),
        };
        expectLibrary(libDir, QStringLiteral(ZOMA_SAMPLE_2025_LIB), expectedFiles);
        if (QTest::currentTestFailed()) return;
        click(import, "Command2");

        // A level file counts as a bank already there.
        dialogs.answer(Answer::No);
        click(&main, "Command2");
        QCOMPARE(dialogs.takeTexts(), QStringList{Form1::ReimportQuestion});

        auto* level = control<QComboBox>(&main, "Combo1");
        for (const QString& read :
             {QStringLiteral("A类题库已读取，共4题"), QStringLiteral("C类题库已读取，共4题"),
              QStringLiteral("B类题库已读取，共5题")}) {
            level->setCurrentText(read.left(2));
            click(&main, "Command4");
            QCOMPARE(dialogs.takeTexts(), QStringList{read});
        }

        click(&main, "Command1");
        QWidget* practice = window(Window::Practice);
        QVERIFY(practice);
        const auto answers = [&] {
            return control<QPlainTextEdit>(practice, "Text2")->toPlainText();
        };
        const auto picture = [&] { return control<QLabel>(practice, "Image1")->pixmap(); };
        QCOMPARE(control<QLabel>(practice, "Label5")->text(), QStringLiteral("试题题号：MC2-0002"));
        QCOMPARE(answers(), QStringLiteral("[A]业余无线电爱好者的自我训练\n[B]为企业传送商业信息\n"
                                           "[C]相互通信和技术研究\n[D]向公众广播音乐节目\n"
                                           "正确答案：AC"));
        QVERIFY(picture().isNull());
        control<QLineEdit>(practice, "Text3")->setText(QStringLiteral("4"));
        QCOMPARE(control<QLabel>(practice, "Label5")->text(), QStringLiteral("试题题号：MC2-0007"));
        QVERIFY(!picture().isNull());
        control<QCheckBox>(practice, "Check1")->click();
        QCOMPARE(answers(), QStringLiteral("[B]有源振子"));
        click(practice, "Command3");
        QCOMPARE(answers(), QStringLiteral("[A]在发射机输出端加装低通滤波器\n[B]降低发射功率\n"
                                           "[C]改善电台接地\n[D]让天线远离电视机的馈线"));
        QVERIFY(picture().isNull());
        click(practice, "Command2");

        click(&main, "Command5");
        QWidget* exporter = window(Window::Export);
        for (const char* file : {"2025-B-lines.txt", "2025-B-lines-correct.txt",
                                 "2025-B-commas.txt", "2025-B-commas-correct.txt"}) {
            const QString name = QString::fromLatin1(file);
            const QString target = tool.values.AppDir + name;
            dialogs.chooseFile(target);
            click(exporter, "Command3");
            control<QRadioButton>(
                exporter, name.contains(QStringLiteral("commas")) ? "Option1_1" : "Option1_0")
                ->setChecked(true);
            control<QCheckBox>(exporter, "Check1")
                ->setChecked(name.contains(QStringLiteral("correct")));
            click(exporter, "Command1");
            QCOMPARE(dialogs.takeTexts(), QStringList{Form4::DoneText});
            QCOMPARE(readBytes(target), readBytes(QStringLiteral(ZOMA_E2E_EXPECTED "/") + name));
        }
        QVERIFY(dialogs.scriptDone());
    }

    // The export window over what may stand at its target: the old file is
    // replaced only when the user says so and the new one is complete.
    void exportTargets_data() {
        QTest::addColumn<QString>("target");  // below the program folder
        QTest::addColumn<QString>("before");  // "file", "link", "folder" or "" for nothing
        QTest::addColumn<int>("answer");      // to the overwrite question, -1: not asked
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason");  // the system's, after the path
        const int yes = int(Answer::Yes);
        const QString x = QStringLiteral("x.TXT");
        const QString none;
        QTest::newRow("new file") << x << none << -1 << Form4::DoneText << none;
        QTest::newRow("replace, yes") << x << "file" << yes << Form4::DoneText << none;
        QTest::newRow("replace, no") << x << "file" << int(Answer::No) << none << none;
        QTest::newRow("through a link") << x << "link" << yes << Form4::DoneText << none;
        QTest::newRow("missing folder")
            << QStringLiteral("no/x.TXT") << none << -1 << Form4::FailedText << "文件不存在";
        QTest::newRow("a folder there")
            << x << "folder" << -1 << Form4::FailedText << "是一个文件夹";
#ifndef Q_OS_WIN
        // Nobody, root included, may replace a file of /proc (which Wine shows
        // as a drive's folder): not even a part file can be made there.
        QTest::newRow("cannot replace") << QStringLiteral("/proc/version") << none << yes
                                        << Form4::CannotReplaceText << "文件不存在";
#endif
    }
    void exportTargets() {
        QFETCH(QString, target);
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        ProgramFixture program([] { return QDate(2013, 12, 4); });
        program.readLevel(1);
        const QString path = target.startsWith(u'/') ? target : program.appDir() + target;
        const QString real = program.appDir() + QStringLiteral("real.TXT");
        if (target.startsWith(u'/') && !QFileInfo(path).isFile()) QSKIP("no /proc here");
        // A replaced file keeps its permissions.
        if (before == u"file") writeBytes(path, "old");
        if (before == u"file")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        const QFile::Permissions permissions = QFileInfo(path).permissions();
        if (before == u"link") {
            writeBytes(real, "old");
            if (!makeSymlink(real, path)) QSKIP(kNoSpecialFiles);
        }
        if (before == u"folder") QVERIFY(QDir().mkpath(path));
        const QByteArray old = readBytes(path);

        click(program.main(), "Command5");
        QWidget* exporter = program.window(Window::Export);
        program.dialogs.chooseFile(path);
        click(exporter, "Command3");
        if (answer >= 0) program.dialogs.answer(Answer(answer));
        click(exporter, "Command1");

        QStringList texts = program.dialogs.takeTexts();
        if (answer >= 0) QCOMPARE(texts.takeFirst(), Form4::OverwriteQuestion);
        QCOMPARE(texts.size(), message.isEmpty() ? 0 : 1);
        const bool written = message == Form4::DoneText;
        if (!message.isEmpty())
            QCOMPARE(texts[0], written ? message : message + path + u'\n' + reason);
        const QByteArray expected = readBytes(QStringLiteral(ZOMA_E2E_EXPECTED "/B-lines.txt"));
        QCOMPARE(readBytes(before == u"link" ? real : path), written ? expected : old);
        if (before == u"link") QVERIFY(QFileInfo(path).isSymLink());
        if (before == u"file") QCOMPARE(QFileInfo(path).permissions(), permissions);
        // No part file is left behind.
        const QStringList hidden = QDir(program.appDir()).entryList(QDir::Hidden | QDir::Files);
        QVERIFY2(!hidden.join(u'|').contains(QStringLiteral(".part")),
                 qPrintable(hidden.join(u'|')));
    }

    // Paper entries that name no question are named after the export.
    void unusableIdentifiers() {
        ProgramFixture program;
        program.readLevel(0);
        QVERIFY(program.tool.bank.PaperIds.set(1, QStringLiteral("LKx9")));
        QVERIFY(program.tool.bank.PaperIds.set(2, QStringLiteral("LK9999")));
        click(program.main(), "Command5");
        click(program.window(Window::Export), "Command1");
        QCOMPARE(program.dialogs.takeTexts(),
                 QStringList({Form4::DoneText, "以下题号无法识别，未导出：LKx9、LK9999"}));
    }

    // A screen reader announces every control of every window by a name, and
    // a label as it reads.
    void everyControlAnnounced() {
        ProgramFixture program;
        program.readLevel(2);
        click(program.main(), "Command1");
        click(program.main(), "Command5");
        program.dialogs.answer(Answer::Yes);  // unpack again over the bank
        click(program.main(), "Command2");
        program.dialogs.chooseFile(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        click(program.window(Window::Import), "Command3");
        for (QWidget* window :
             {static_cast<QWidget*>(program.main()), program.window(Window::Practice),
              program.window(Window::Import), program.window(Window::Export)}) {
            QVERIFY(window);
            QList<QWidget*> controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            controls << window;
            for (QWidget* w : std::as_const(controls)) {
                QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
                const QString name = iface ? iface->text(QAccessible::Name) : QString();
                const QString where = window->windowTitle() + u'/' + w->objectName();
                QVERIFY2(!name.trimmed().isEmpty(), qPrintable(where));
                if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
                    QString caption = label->text().remove(u' ');
                    if (caption.endsWith(u'：')) caption.chop(1);
                    QVERIFY2(QString(name).remove(u' ').contains(caption), qPrintable(where));
                }
            }
        }
    }
};

QTEST_MAIN(EndToEndTest)
#include "e2e_test.moc"
