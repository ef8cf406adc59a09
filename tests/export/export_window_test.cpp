// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_file.h"
#include "export/form4.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/test_values.h"
#include "tests/support/widgets.h"
#include "ui/window_registry.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Answer = Dialogs::Answer;
using Window = WindowRegistry::Window;

namespace {
const QString kAllAnswers = QStringLiteral("\n\nLK0001  问题一\n[A]甲\n[B]乙\n[C]丙\n[D]丁\n\n\n");
const QString kCorrectOnly = QStringLiteral("\n\nLK0001  问题一\n[A]甲\n\n\n");

// The file after its dated header line, which the writer's test pins down.
QByteArray body(const QString& path) {
    const QByteArray bytes = readBytes(path);
    return bytes.mid(bytes.indexOf("\r\n") + 2);
}
}  // namespace

class ExportWindowTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QuestionBank m_bank;
    SharedValues m_values;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<WindowRegistry> m_windows;
    QWidget* m_form = nullptr;

    void open() { QVERIFY((m_form = m_windows->open(Window::Export))); }
    template <typename T = QWidget>
    T* child(const char* name) {
        return control<T>(m_form, name);
    }
    void click(const char* name) {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    QString text1() { return child<QLineEdit>("Text1")->text(); }
    QString defaultPath(const char* level = "A类") {
        return m_values.AppDir + QString::fromUtf8(level) + QStringLiteral("考试题库.TXT");
    }
    void chooseFile(const QString& path) {
        m_dialogs.chooseFile(path);
        click("Command3");
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_bank = QuestionBank();
        m_values = programValues(m_dir->path());
        m_dialogs = ScriptedDialogs();
        m_windows = std::make_unique<WindowRegistry>();
        m_values.PracticeLevel = QStringLiteral("A类");
        const QStringList q1{"LK0001", "问题一", "[A]甲", "[B]乙", "[C]丙", "[D]丁"};
        TextSlots* fields[] = {&m_bank.BankId,  &m_bank.BankQuestion, &m_bank.OptionA,
                               &m_bank.OptionB, &m_bank.OptionC,      &m_bank.OptionD};
        for (int i = 0; i < 6; ++i) QVERIFY(fields[i]->set(1, q1[i]));
        QVERIFY(m_bank.PaperIds.set(0, QStringLiteral("LK0001")));
        m_bank.PaperCount = 1;
        m_windows->setFactory(Window::Export,
                              [this] { return new Form4(m_bank, m_values, m_dialogs); });
        open();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }
    void cleanup() {
        m_windows.reset();
        QVERIFY(m_dialogs.scriptDone());
    }

    void startState() {
        QCOMPARE(text1(), defaultPath());
        QVERIFY(child<QLineEdit>("Text1")->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), child("Text1"));
        auto* group = m_form->findChild<QButtonGroup*>(QStringLiteral("Option1"));
        QVERIFY(group && group->checkedId() == 0 && group->button(1) == child("Option1_1"));
        QCOMPARE(child<QPushButton>("Command1")->text(), QStringLiteral("导  出"));
        QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("返  回"));

        QStringList order{QStringLiteral("Text1")};
        for (QWidget* w = child("Text1")->nextInFocusChain(); w != child("Text1");
             w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
        }
        QCOMPARE(order, QStringList({"Text1", "Command1", "Command2", "Check1", "Command3",
                                     "Option1_0", "Option1_1"}));
    }

    // Each row flips one control, so a swapped mapping shows.
    void exportChoices_data() {
        QTest::addColumn<bool>("commas");
        QTest::addColumn<bool>("onlyCorrect");
        QTest::addColumn<QString>("expected");
        QTest::newRow("commas, all answers")
            << true << false << "\n\nLK0001,问题一,[A]甲,[B]乙,[C]丙,[D]丁\n";
        QTest::newRow("lines, correct only") << false << true << kCorrectOnly;
    }
    void exportChoices() {
        QFETCH(bool, commas);
        QFETCH(bool, onlyCorrect);
        QFETCH(QString, expected);
        if (commas) click("Option1_1");
        if (onlyCorrect) click("Check1");
        click("Command1");
        QCOMPARE(m_dialogs.takeTexts(), QStringList{Form4::DoneText});
        QVERIFY(readBytes(defaultPath()).startsWith(encodeGbk(u"A类考试题库20")));
        QCOMPARE(body(defaultPath()), gbkLines(expected));
    }

    void selectFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("kept") << "my.txt";
        QTest::newRow("cancelled") << "";
    }
    void selectFile() {
        QFETCH(QString, chosen);
        if (!chosen.isEmpty()) chosen = m_dir->filePath(chosen);
        m_values.SelectedFile = QStringLiteral("package.zip");
        chooseFile(chosen);
        const ScriptedDialogs::FileRequest request = m_dialogs.fileRequests.value(0);
        QCOMPARE(request.filter, QStringLiteral("题库文件(txt)|*.txt|所有文件(*.*)|*.*"));
        QCOMPARE(request.proposedName, QStringLiteral("A类考试题库.TXT"));
        QCOMPARE(request.mode, Dialogs::FileMode::Any);

        const QString target = chosen.isEmpty() ? defaultPath() : chosen;
        QCOMPARE(text1(), target);
        QCOMPARE(m_values.SelectedFile, chosen.isEmpty() ? QStringLiteral("package.zip") : chosen);
        click("Command1");
        QCOMPARE(body(target), gbkLines(kAllAnswers));
    }

    void overwrite_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Yes") << Answer::Yes;
        QTest::newRow("No") << Answer::No;
    }
    void overwrite() {
        QFETCH(Answer, answer);
        writeBytes(defaultPath(), "old bytes");
        click("Check1");  // also takes the focus from Text1
        m_dialogs.answer(answer);
        click("Command1");
        const bool yes = answer == Answer::Yes;
        QCOMPARE(m_dialogs.takeTexts(),
                 yes ? QStringList({Form4::OverwriteQuestion, Form4::DoneText})
                     : QStringList{Form4::OverwriteQuestion});
        if (yes) {
            QCOMPARE(body(defaultPath()), gbkLines(kCorrectOnly));
        } else {
            QCOMPARE(readBytes(defaultPath()), QByteArray("old bytes"));
            QCOMPARE(QApplication::focusWidget(), child("Text1"));
        }
    }

    void failures_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "missing/x.txt" << false << "导出失败：";
        QTest::newRow("folder of that name") << "folder" << false << "导出失败：";
        // Not even root may delete a file of /proc.
        QTest::newRow("cannot delete") << "/proc/version" << true << "无法覆盖已有文件：";
    }
    void failures() {
        QFETCH(QString, path);
        QFETCH(bool, asked);
        QFETCH(QString, message);
        if (asked && !QFileInfo(path).isFile()) QSKIP("no /proc here");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
        path = QDir(m_dir->path()).filePath(path);
        chooseFile(path);
        if (asked) m_dialogs.answer(Answer::Yes);
        click("Command1");

        QStringList texts = m_dialogs.takeTexts();
        if (asked) QCOMPARE(texts.takeFirst(), Form4::OverwriteQuestion);
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith(message + path + u'\n'), qPrintable(texts[0]));
        QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("missing"))));
        QVERIFY(QDir(m_dir->filePath(QStringLiteral("folder"))).isEmpty());
    }

    void unusableIdentifiersListed() {
        QVERIFY(m_bank.PaperIds.set(1, QStringLiteral("LKx9")));
        QVERIFY(m_bank.PaperIds.set(2, QStringLiteral("LK9999")));
        m_bank.PaperCount = 3;
        click("Command1");
        QCOMPARE(m_dialogs.takeTexts(),
                 QStringList({Form4::DoneText, "以下题号无法识别，未导出：LKx9、LK9999"}));
        QCOMPARE(body(defaultPath()), gbkLines(kAllAnswers));
    }

    void reopenAfterReturnRestoresDefaults() {
        chooseFile(m_dir->filePath(QStringLiteral("chosen.txt")));
        click("Option1_1");
        click("Check1");
        click("Command2");
        QVERIFY(!m_windows->find(Window::Export));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        m_values.PracticeLevel = QStringLiteral("C类");
        open();
        QCOMPARE(text1(), defaultPath("C类"));
        QVERIFY(child<QAbstractButton>("Option1_0")->isChecked());
        QVERIFY(!child<QCheckBox>("Check1")->isChecked());
    }

    void levelChangedWhileOpen() {
        QWidget* first = m_form;
        m_values.PracticeLevel = QStringLiteral("B类");
        open();  // only raises the open window
        QCOMPARE(m_form, first);
        QCOMPARE(text1(), defaultPath("A类"));
        click("Command1");
        QVERIFY(readBytes(defaultPath("A类")).startsWith(encodeGbk(u"B类考试题库")));
        chooseFile(QString());
        QCOMPARE(m_dialogs.fileRequests.value(0).proposedName, QStringLiteral("B类考试题库.TXT"));
        m_dialogs.takeTexts();
    }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
