// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window/form1.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_files.h"
#include "tests/support/widgets.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Answer = Dialogs::Answer;
using Window = WindowRegistry::Window;

class MainWindowTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QuestionBank m_bank;
    SharedValues m_values;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<WindowRegistry> m_windows;
    std::unique_ptr<Form1> m_form;
    QMap<Window, int> m_created;

    template <typename T>
    T* child(const char* name) {
        return control<T>(m_form.get(), name);
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    bool reviewEnabled() { return button("Command1")->isEnabled(); }
    bool exportEnabled() { return button("Command5")->isEnabled(); }
    void chooseLevel(int index) {
        auto* combo = child<QComboBox>("Combo1");
        while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_bank = QuestionBank();
        m_values = SharedValues();
        m_dialogs = ScriptedDialogs();
        m_windows = std::make_unique<WindowRegistry>();
        m_created.clear();
        for (Window w : {Window::Practice, Window::Import, Window::Export}) {
            m_windows->setFactory(w, [this, w] {
                ++m_created[w];
                return new QWidget;
            });
        }
        m_form = std::make_unique<Form1>(m_bank, m_values, m_dialogs, *m_windows, m_dir->path());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        m_form.reset();
        m_windows.reset();
        QVERIFY(m_dialogs.scriptDone());
    }

    void startState() {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(m_form->size(), QSize(450, 493));
        QCOMPARE(m_values.AppDir, m_dir->path() + u'/');
        QCOMPARE(m_values.LibDir, m_dir->path() + QStringLiteral("/lib"));
        auto* combo = child<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QStringLiteral("C类"));
        QCOMPARE(combo->currentText(), QStringLiteral("A类"));
        QVERIFY(!reviewEnabled());
        QVERIFY(!exportEnabled());
        QCOMPARE(button("Command2")->geometry(), QRect(152, 312, 153, 49));
        QCOMPARE(child<QLabel>("Label3")->text(), QStringLiteral("ZOMA 考试题库复习工具"));
        QCOMPARE(button("Command1")->text(), QStringLiteral("复  习"));
        QCOMPARE(QApplication::focusWidget(), button("Command2"));
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    void guard() {
        copySampleLib(m_values.LibDir);
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QCOMPARE(m_dialogs.takeTexts(),
                 QStringList{QStringLiteral("A类题库已读取，共%1题").arg(m_bank.PaperCount)});
        QVERIFY(m_bank.PaperCount >= 15);
        QVERIFY(reviewEnabled() && exportEnabled());

        chooseLevel(2);
        QVERIFY(!reviewEnabled() && !exportEnabled());
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QVERIFY(m_dialogs.takeTexts().first().startsWith(QStringLiteral("C类题库已读取")));
        QVERIFY(reviewEnabled() && exportEnabled());

        // Choosing the same level again still asks for a fresh read.
        emit child<QComboBox>("Combo1")->activated(2);
        QVERIFY(!reviewEnabled() && !exportEnabled());

        // A failed read leaves the buttons as they were.
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QDir(m_values.LibDir).removeRecursively();
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QCOMPARE(m_dialogs.takeTexts().last(), QStringLiteral("题库文件未找到，请先执行解压"));
        QVERIFY(reviewEnabled() && exportEnabled());
    }

    void readWithoutBank() {
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QCOMPARE(m_dialogs.takeTexts(),
                 QStringList{QStringLiteral("题库文件未找到，请先执行解压")});
        QVERIFY(!reviewEnabled());
    }

    void reviewAndExportSetLevel() {
        copySampleLib(m_values.LibDir);
        chooseLevel(1);
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(m_values.PracticeLevel, QStringLiteral("B类"));
        QCOMPARE(m_created.value(Window::Practice), 1);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(m_created.value(Window::Practice), 1);  // raised, not made again

        chooseLevel(0);
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        QCOMPARE(m_values.PracticeLevel, QStringLiteral("A类"));
        QCOMPARE(m_created.value(Window::Export), 1);

        m_windows->find(Window::Practice)->close();
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(m_created.value(Window::Practice), 2);
        QCOMPARE(m_created.value(Window::Export), 1);
    }

    // Without a bank the import window opens at once (the end-to-end test);
    // with one, the question comes first.
    void unzipAsksWhenBankPresent() {
        copySampleLib(m_values.LibDir);
        m_dialogs.answer(Answer::Yes);
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(m_dialogs.takeTexts(), QStringList{Form1::ReimportQuestion});
        QCOMPARE(m_created.value(Window::Import), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
